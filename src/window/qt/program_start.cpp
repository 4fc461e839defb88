#include "window/qt/program_start.h"

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "window/qt/main_window.h"
#include "window/qt/program_icon.h"

namespace {

constexpr const char* kNoDisplayLine =
    "corvenna: 没有图形显示 (no graphical display); run corvenna-list, or: xvfb-run -a corvenna\n";

[[noreturn]] void ExitForLackOfDisplay() {
  std::fputs(kNoDisplayLine, stderr);
  std::fflush(stderr);
  std::_Exit(1);
}

bool HasEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

// Qt ends the process with abort() when its platform plugin can't reach a
// display. While the application is being made, messages are held back; a
// fatal one is replaced by the program's own one line and a plain exit.
struct HeldMessage {
  QtMsgType type;
  QByteArray category;
  QString text;
};
std::vector<HeldMessage>* heldMessages = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) ExitForLackOfDisplay();
  if (heldMessages != nullptr) heldMessages->push_back({type, QByteArray(context.category), text});
}

// The program reads no command-line arguments, and none of Qt's own.
int fakeArgumentCount = 1;
char programName[] = "corvenna";
char* fakeArguments[] = {programName, nullptr};

}  // namespace

std::int32_t ProgramStart() {
  // The platform plugin names its own display variable when it is asked for.
  if (!HasEnvironment("DISPLAY") && !HasEnvironment("WAYLAND_DISPLAY") &&
      !HasEnvironment("QT_QPA_PLATFORM")) {
    ExitForLackOfDisplay();
  }
  std::vector<HeldMessage> held;
  heldMessages = &held;
  const QtMessageHandler previous = qInstallMessageHandler(HoldMessage);
  QApplication application(fakeArgumentCount, fakeArguments);
  qInstallMessageHandler(previous);
  heldMessages = nullptr;
  for (const HeldMessage& message : held) {
    const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
    qt_message_output(message.type, context, message.text);
  }

  QGuiApplication::setDesktopFileName(QStringLiteral("corvenna"));
  QApplication::setWindowIcon(ProgramIcon());

  const QPointer<MainWindow> window = LoadStartWindow(MainWindowDescription());
  RunMessageLoop();
  // Closing deletes the window; a loop that ended otherwise leaves it here.
  delete window.data();
  return 0;
}

// The analyzer can't see that Qt deletes the window when it is closed
// (WA_DeleteOnClose).
// NOLINTBEGIN(clang-analyzer-cplusplus.NewDeleteLeaks)
MainWindow* LoadStartWindow(const WindowDescription& description) {
  QCoreApplication::processEvents();
  auto* made = new MainWindow(description);
  ConnectionListView* list = made->List();
  QCoreApplication::processEvents();
  // The handler may close the window; that deletes it.
  const QPointer<MainWindow> window = made;
  if (description.created && list != nullptr) {
    // Nothing is dispatched while the handler runs: the window is first
    // seen with its list full.
    description.created(*list);
  }
  if (window.isNull()) return nullptr;
  if (description.visible) {
    if (description.centred) {
      made->MoveToCentre();
    } else {
      made->move(description.storedLeft, description.storedTop);
    }
    made->show();
  }
  return made;
}
// NOLINTEND(clang-analyzer-cplusplus.NewDeleteLeaks)

void RunMessageLoop() {
  bool anyOpen = false;
  for (const QWidget* widget : QApplication::topLevelWidgets()) {
    anyOpen = anyOpen || widget->isVisible();
  }
  if (!anyOpen) return;
  QApplication::exec();
}
