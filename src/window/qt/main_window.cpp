#include "window/qt/main_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <vector>

#include "window/qt/hyperlink.h"
#include "window/qt/picture_box.h"
#include "window/qt/program_icon.h"
#include "window/qt/qt_conversions.h"
#include "window/qt/text_label.h"

namespace {

// GetSystemMetrics at 96 DPI: SM_CXFIXEDFRAME and SM_CYFIXEDFRAME (3) for
// the frame of a window with WS_CAPTION but no WS_THICKFRAME, and
// SM_CYCAPTION (23) for its caption bar.
constexpr int kFixedFrame = 3;
constexpr int kCaptionBar = 23;

Qt::WindowFlags WindowFlagsFor(const WindowDescription& description) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (description.minimiseBox) flags |= Qt::WindowMinimizeButtonHint;
  if (description.maximiseBox) flags |= Qt::WindowMaximizeButtonHint;
  return flags;
}

}  // namespace

QSize ClientSizeOfCaptionedWindow(int outerWidth, int outerHeight) {
  return {outerWidth - 2 * kFixedFrame, outerHeight - 2 * kFixedFrame - kCaptionBar};
}

MainWindow::MainWindow(const WindowDescription& description, const TargetOpener& opener)
    : QWidget(nullptr, WindowFlagsFor(description)),
      describedOuterSize_(description.outerWidth, description.outerHeight),
      escapeCloses_(description.escapeCloses) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(FromUtf8Text(description.caption));
  setWindowIcon(ProgramIcon());
  setFocusPolicy(Qt::NoFocus);
  const QSize client = ClientSizeOfCaptionedWindow(description.outerWidth, description.outerHeight);
  if (description.resizable) {
    resize(client);
  } else {
    setFixedSize(client);
  }
  setEnabled(!description.disabled);

  std::vector<QWidget*> controls;
  for (const ControlDescription& control : description.controls) {
    QWidget* widget = MakeControl(control, opener);
    widget->setObjectName(FromUtf8Text(control.name));
    widget->setGeometry(control.place.left, control.place.top, control.place.width,
                        control.place.height);
    widget->setEnabled(!control.disabled);
    widget->setFocusPolicy(control.tabStop ? Qt::StrongFocus : Qt::NoFocus);
    // Shown with the window, not before: the window itself is still hidden.
    widget->setVisible(control.visible);
    controls.push_back(widget);
  }
  // Form order is stacking order, the first control on top.
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) (*it)->raise();

  // Keys are looked at before any control sees them.
  qApp->installEventFilter(this);
}

MainWindow::~MainWindow() { qApp->removeEventFilter(this); }

QWidget* MainWindow::MakeControl(const ControlDescription& control, const TargetOpener& opener) {
  switch (control.kind) {
    case ControlKind::Hyperlink:
      return new Hyperlink(std::get<HyperlinkSettings>(control.settings), opener, this);
    case ControlKind::PictureBox:
      return new PictureBox(std::get<PictureBoxSettings>(control.settings), this);
    case ControlKind::Label:
      return new TextLabel(std::get<LabelSettings>(control.settings), this);
    case ControlKind::ReportList:
      list_ = new ConnectionListView(std::get<ReportListSettings>(control.settings), this);
      return list_;
  }
  return new QWidget(this);
}

void MainWindow::MoveToCentre() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // Before the window manager has framed the window its frame is unknown;
  // the described outer size stands in for it then.
  const QRect frame = frameGeometry();
  const QSize outer = frame.size() != size() ? frame.size() : describedOuterSize_;
  const QRect area = screen->geometry();
  const Point origin =
      CentredWindowOrigin(area.width(), area.height(), outer.width(), outer.height());
  move(area.left() + origin.x, area.top() + origin.y);
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ButtonFaceColour(palette()));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    return HandleKey(*static_cast<QKeyEvent*>(event));
  }
  return QWidget::eventFilter(watched, event);
}

// True when the key is the window's: Esc alone closes, Enter and F1 do nothing.
bool MainWindow::HandleKey(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers =
      key.modifiers() &
      (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  switch (key.key()) {
    case Qt::Key_Escape:
      if (!escapeCloses_ || modifiers != Qt::NoModifier) return false;
      close();
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F1:
      return true;
    default:
      return false;
  }
}
