#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <string>
#include <vector>

#include "window/qt/connection_list_view.h"
#include "window/qt/hyperlink.h"
#include "window/qt/picture_box.h"
#include "window/qt/qt_test_support.h"
#include "window/qt/text_label.h"

namespace {

TEST(LoadStartWindow, RunsTheCreatedHandlerWhileHiddenThenShowsTheWindowCentred) {
  int calls = 0;
  bool windowVisibleInHandler = true;
  int rowsAtStart = -1;
  WindowGuard window(LoadStartWindow(TestWindowDescription([&](ConnectionList& list) {
    ++calls;
    auto& view = dynamic_cast<ConnectionListView&>(list);
    windowVisibleInHandler = view.window()->isVisible();
    rowsAtStart = view.Rows().rowCount();
    for (const char* address : {"127.0.0.1", "0.0.0.0", "10.1.2.3"}) list.AppendRow(address);
  })));
  ASSERT_NE(window.get(), nullptr);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(windowVisibleInHandler);
  EXPECT_EQ(rowsAtStart, 0);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->List()->Rows().rowCount(), 3);

  // Offscreen windows have no frame, so the described outer size is centred.
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const Point origin = CentredWindowOrigin(screen.width(), screen.height(), 808, 502);
  EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(origin.x, origin.y));
}

TEST(LoadStartWindow, ClosingTheWindowDeletesIt) {
  QPointer<MainWindow> window = LoadStartWindow(TestWindowDescription());
  ASSERT_FALSE(window.isNull());
  EXPECT_TRUE(window->close());
  ProcessDeferredDeletes();
  EXPECT_TRUE(window.isNull());
  // With no window open the loop has nothing to run for.
  RunMessageLoop();
}

TEST(MainWindow, FixedSizeWithACloseButtonOnly) {
  WindowGuard window(new MainWindow(TestWindowDescription()));
  EXPECT_EQ(window->size(), QSize(802, 473));
  EXPECT_EQ(window->minimumSize(), QSize(802, 473));
  EXPECT_EQ(window->maximumSize(), QSize(802, 473));
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
  EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8(MainWindowDescription().caption));
  EXPECT_FALSE(window->windowIcon().isNull());
  EXPECT_FALSE(window->isVisible());
}

TEST(MainWindow, ControlsSitAtTheirPlacesInFormStackingOrder) {
  WindowGuard window(new MainWindow(TestWindowDescription()));
  window->show();
  const WindowDescription& description = MainWindowDescription();
  for (const ControlDescription& control : description.controls) {
    SCOPED_TRACE(control.name);
    const auto* widget = FindControlWidget<QWidget>(*window.get(), control.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), window.get());
    EXPECT_EQ(widget->geometry(), QRect(control.place.left, control.place.top, control.place.width,
                                        control.place.height));
    EXPECT_TRUE(widget->isVisible());
    EXPECT_TRUE(widget->isEnabled());
    EXPECT_EQ(widget->focusPolicy(), control.tabStop ? Qt::StrongFocus : Qt::NoFocus);
  }
  EXPECT_NE(FindControlWidget<ConnectionListView>(*window.get(), "超级列表框1"), nullptr);
  EXPECT_NE(FindControlWidget<PictureBox>(*window.get(), "图片框1"), nullptr);
  EXPECT_NE(FindControlWidget<TextLabel>(*window.get(), "标签1"), nullptr);
  EXPECT_NE(FindControlWidget<Hyperlink>(*window.get(), "超级链接框1"), nullptr);
  EXPECT_NE(FindControlWidget<Hyperlink>(*window.get(), "超级链接框2"), nullptr);

  // The banner lies over the left of 超级链接框1 (x 397 to 463); right of it
  // the link shows.
  const struct {
    QPoint point;
    const char* owner;
  } hits[] = {
      {{420, 20}, "图片框1"},     {{463, 20}, "图片框1"},     {{464, 20}, "超级链接框1"},
      {{800, 20}, "超级链接框1"}, {{500, 40}, "超级链接框2"}, {{400, 450}, "标签1"},
      {{20, 66}, "图片框1"},      {{20, 67}, "超级列表框1"},
  };
  for (const auto& hit : hits) {
    SCOPED_TRACE(std::to_string(hit.point.x()) + "," + std::to_string(hit.point.y()));
    QWidget* child = window->childAt(hit.point);
    // The list answers through its viewport, header or frame.
    while (child != nullptr && child->parentWidget() != window.get()) child = child->parentWidget();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->objectName(), QString::fromUtf8(hit.owner));
  }
}

// Keys reach the window's filter before the control that has the focus.
class WindowKeys : public testing::Test {
 protected:
  void SetUp() override { Open(); }
  void TearDown() override {
    if (!Closed()) WindowGuard close(window_);
  }

  void Open() {
    window_ = LoadStartWindow(TestWindowDescription([](ConnectionList& list) {
      list.AppendRow("127.0.0.1");
      list.AppendRow("0.0.0.0");
    }));
    ASSERT_NE(window_, nullptr);
    alive_ = window_;
    list_ = window_->List();
    ASSERT_NE(list_, nullptr);
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    list_->setFocus();
    list_->setCurrentIndex(list_->Rows().index(0, 0));
  }

  bool Closed() {
    ProcessDeferredDeletes();
    return alive_.isNull();
  }

  QWidget* Target(const char* name) const {
    return name[0] == '\0' ? window_ : FindControlWidget<QWidget>(*window_, name);
  }

  MainWindow* window_ = nullptr;
  ConnectionListView* list_ = nullptr;
  QPointer<MainWindow> alive_;
};

TEST_F(WindowKeys, EscapeAloneClosesTheWindowFromAnyControl) {
  struct Case {
    const char* target;  // a control's name, or "" for the window itself
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool closes;
  };
  const Case cases[] = {
      {"", Qt::Key_Escape, Qt::ShiftModifier, false},
      {"超级列表框1", Qt::Key_Escape, Qt::ShiftModifier, false},
      {"超级列表框1", Qt::Key_Escape, Qt::ControlModifier, false},
      {"超级列表框1", Qt::Key_Escape, Qt::AltModifier, false},
      {"超级列表框1", Qt::Key_Return, Qt::NoModifier, false},
      {"超级列表框1", Qt::Key_Enter, Qt::KeypadModifier, false},
      {"超级列表框1", Qt::Key_F1, Qt::NoModifier, false},
      {"超级列表框1", Qt::Key_F1, Qt::ShiftModifier, false},
      {"超级链接框1", Qt::Key_Return, Qt::NoModifier, false},
      {"超级列表框1", Qt::Key_Escape, Qt::KeypadModifier, true},
  };
  QSignalSpy activated(list_, &QAbstractItemView::activated);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.target) + " key " + std::to_string(c.key) + " modifiers " +
                 std::to_string(c.modifiers.toInt()));
    ASSERT_FALSE(alive_.isNull());
    QWidget* target = Target(c.target);
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, c.key, c.modifiers);
    EXPECT_EQ(Closed(), c.closes);
  }
  EXPECT_EQ(activated.count(), 0);
}

TEST_F(WindowKeys, EscapeClosesFromEachControl) {
  for (const char* name : {"超级链接框2", "图片框1", "超级链接框1", "标签1", "超级列表框1", ""}) {
    SCOPED_TRACE(name);
    if (alive_.isNull()) Open();
    QWidget* target = Target(name);
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, Qt::Key_Escape);
    EXPECT_TRUE(Closed());
  }
}

TEST_F(WindowKeys, TabKeepsTheFocusOnTheOnlyTabStop) {
  for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Tab}) {
    SCOPED_TRACE(key);
    QTest::keyClick(QApplication::focusWidget(), key,
                    key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
    EXPECT_EQ(QApplication::focusWidget(), list_);
  }
  EXPECT_FALSE(Closed());
}

}  // namespace
