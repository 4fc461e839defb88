#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPointingDevice>
#include <vector>

#include "window/qt/hyperlink.h"
#include "window/qt/qt_test_support.h"

namespace {

const QColor kHover(49, 106, 197);
const QColor kVisited(128, 0, 0);

// A window whose hyperlinks open through the test's opener, which counts
// the targets it is given and answers with `opens`.
class Hyperlinks : public testing::Test {
 protected:
  Hyperlinks()
      : window_(new MainWindow(TestWindowDescription(), [this](const QString& target) {
          targets_.push_back(target);
          return opens_;
        })) {
    window_->show();
  }

  Hyperlink& Link(const char* name) {
    auto* link = FindControlWidget<Hyperlink>(*window_.get(), name);
    EXPECT_NE(link, nullptr);
    return *link;
  }

  static void SendMouse(Hyperlink& link, QEvent::Type type, Qt::MouseButton button) {
    const QPointF inside(link.width() * 0.75, link.height() * 0.5);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, inside, link.mapToGlobal(inside), button, held, Qt::NoModifier);
    QApplication::sendEvent(&link, &event);
  }

  static void Click(Hyperlink& link, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(link, QEvent::MouseButtonPress, button);
    SendMouse(link, QEvent::MouseButtonRelease, button);
  }

  static void Enter(Hyperlink& link) {
    const QPointF inside(link.width() * 0.75, link.height() * 0.5);
    QEnterEvent event(inside, inside, link.mapToGlobal(inside));
    QApplication::sendEvent(&link, &event);
  }

  static void Leave(Hyperlink& link) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&link, &event);
  }

  bool opens_ = true;
  std::vector<QString> targets_;
  WindowGuard window_;
};

TEST_F(Hyperlinks, SetUpFromTheDescription) {
  for (const char* name : {"超级链接框1", "超级链接框2"}) {
    SCOPED_TRACE(name);
    const Hyperlink& link = Link(name);
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link.focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(link.Hovering());
    EXPECT_FALSE(link.Visited());
  }
  EXPECT_EQ(Link("超级链接框1").TextColour(), QColor(0, 0, 255));
  EXPECT_EQ(Link("超级链接框2").TextColour(), QColor(255, 0, 0));
  EXPECT_EQ(Link("超级链接框1").Target(), QString("http://www.tallowmere.example"));
  EXPECT_EQ(Link("超级链接框2").Target(), QString("http://www.tallowmere.example/"));
}

TEST_F(Hyperlinks, ColourFollowsThePointerAndTheLatestOpen) {
  struct Case {
    const char* name;
    bool opens;  // what the opener answers to the press
    QColor normal;
    QColor afterPress;
  };
  const Case cases[] = {
      {"超级链接框1", true, QColor(0, 0, 255), kVisited},
      {"超级链接框2", true, QColor(255, 0, 0), kVisited},
      {"超级链接框1", false, QColor(0, 0, 255), QColor(0, 0, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.opens ? " opens" : " fails"));
    Hyperlink& link = Link(c.name);
    opens_ = c.opens;
    Enter(link);
    EXPECT_EQ(link.TextColour(), kHover);
    EXPECT_TRUE(HasPixelNear(Grab(link), kHover, 8));
    Click(link);
    EXPECT_EQ(link.TextColour(), kHover);  // still under the pointer
    Leave(link);
    EXPECT_EQ(link.TextColour(), c.afterPress);
    EXPECT_TRUE(HasPixelNear(Grab(link), c.afterPress, 8));
    EXPECT_FALSE(HasPixelNear(Grab(link), kHover, 8));
  }
}

TEST_F(Hyperlinks, OpensOncePerPressAndOncePerDoubleClick) {
  Hyperlink& link = Link("超级链接框2");
  Click(link);
  EXPECT_EQ(targets_.size(), 1u);
  Click(link, Qt::RightButton);
  Click(link, Qt::MiddleButton);
  EXPECT_EQ(targets_.size(), 1u);
  // Qt's order for a double click: press, release, double click, release.
  targets_.clear();
  SendMouse(link, QEvent::MouseButtonPress, Qt::LeftButton);
  SendMouse(link, QEvent::MouseButtonRelease, Qt::LeftButton);
  SendMouse(link, QEvent::MouseButtonDblClick, Qt::LeftButton);
  SendMouse(link, QEvent::MouseButtonRelease, Qt::LeftButton);
  ASSERT_EQ(targets_.size(), 1u);
  EXPECT_EQ(targets_.front(), QString("http://www.tallowmere.example/"));
  Click(link);
  EXPECT_EQ(targets_.size(), 2u);
}

TEST_F(Hyperlinks, MovingOffWhileHeldClearsTheHover) {
  Hyperlink& link = Link("超级链接框1");
  Enter(link);
  const QPointF outside(-5, -5);
  QMouseEvent move(QEvent::MouseMove, outside, link.mapToGlobal(outside), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&link, &move);
  EXPECT_FALSE(link.Hovering());
}

TEST(HyperlinkTarget, AnEmptyTargetFailsWithoutAskingTheOpener) {
  HyperlinkSettings settings =
      std::get<HyperlinkSettings>(MainWindowDescription().controls[0].settings);
  settings.target = "";
  int asked = 0;
  Hyperlink link(settings, [&asked](const QString&) { return ++asked > 0; });
  link.resize(200, 20);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&link, &press);
  EXPECT_EQ(asked, 0);
  EXPECT_FALSE(link.Visited());
  EXPECT_FALSE(OpenTargetInBrowser(QString()));
}

}  // namespace
