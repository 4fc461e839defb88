#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>

#include "window/jpeg_image.h"
#include "window/qt/hyperlink.h"
#include "window/qt/picture_box.h"
#include "window/qt/qt_conversions.h"
#include "window/qt/qt_test_support.h"
#include "window/qt/text_label.h"

namespace {

class PaintedControls : public testing::Test {
 protected:
  PaintedControls() { window_->show(); }

  QColor ButtonFace() const { return ButtonFaceColour(window_->palette()); }

  WindowGuard window_{new MainWindow(TestWindowDescription())};
};

// Rows and columns of the image where some pixel is darker than `limit`.
QRect DarkArea(const QImage& image, int limit) {
  QRect area;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < limit) area |= QRect(x, y, 1, 1);
    }
  }
  return area;
}

TEST_F(PaintedControls, BannerAtNaturalSizeWithButtonFaceStrips) {
  auto* box = FindControlWidget<PictureBox>(*window_.get(), "图片框1");
  ASSERT_NE(box, nullptr);
  const auto& settings = std::get<PictureBoxSettings>(
      FindControl(MainWindowDescription(), ControlKind::PictureBox).settings);
  const std::optional<RgbImage> banner = DecodeJpeg(settings.jpeg, settings.jpegSize);
  ASSERT_TRUE(banner.has_value());
  ASSERT_EQ(box->Picture().size(), QSize(452, 56));

  const QImage shot = Grab(*box);
  ASSERT_EQ(shot.size(), QSize(454, 60));
  // Pixels across the picture, including its last row and column, come out
  // where the decoder put them.
  const QPoint samples[] = {{0, 0}, {2, 2}, {100, 30}, {451, 0}, {300, 55}, {451, 55}};
  for (const QPoint& p : samples) {
    SCOPED_TRACE(std::to_string(p.x()) + "," + std::to_string(p.y()));
    const std::size_t at = (std::size_t(p.y()) * 452 + std::size_t(p.x())) * 3;
    EXPECT_EQ(PixelAt(shot, p.x(), p.y()),
              QColor(banner->pixels[at], banner->pixels[at + 1], banner->pixels[at + 2]));
  }
  for (const QPoint& p : {QPoint(452, 0), QPoint(453, 59), QPoint(0, 56), QPoint(200, 59)}) {
    SCOPED_TRACE(std::to_string(p.x()) + "," + std::to_string(p.y()));
    EXPECT_EQ(PixelAt(shot, p.x(), p.y()), ButtonFace());
  }
}

TEST_F(PaintedControls, BannerThatCannotBeDecodedLeavesTheBackground) {
  PictureBoxSettings broken;
  const unsigned char notAPicture[] = {0xFF, 0xD8, 0x00, 0x01};
  broken.jpeg = notAPicture;
  broken.jpegSize = sizeof notAPicture;
  PictureBox box(broken);
  box.resize(40, 20);
  EXPECT_TRUE(box.Picture().isNull());
  const QImage shot = Grab(box);
  EXPECT_EQ(PixelAt(shot, 5, 5), ButtonFaceColour(box.palette()));
}

TEST_F(PaintedControls, LabelTextIsBlackLeftAlignedOnOneCentredLine) {
  auto* label = FindControlWidget<TextLabel>(*window_.get(), "标签1");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(
      label->Text(),
      QString::fromUtf8("查看本地地址、端口号、进程、端口状态、访问的程序，远程地址、端口号"));
  const QImage shot = Grab(*label);
  EXPECT_EQ(PixelAt(shot, shot.width() - 1, 0), ButtonFace());
  const QRect text = DarkArea(shot, 96);
  ASSERT_FALSE(text.isEmpty());
  EXPECT_TRUE(HasPixelNear(shot, QColor(0, 0, 0), 16));
  EXPECT_LE(text.left(), 2);
  EXPECT_LT(text.right(), shot.width() - 1);  // the whole line fits
  EXPECT_LE(text.height(), 16);               // one line
  EXPECT_NEAR(text.center().y(), shot.height() / 2.0, 3);
}

TEST_F(PaintedControls, HyperlinkTextIsCentredInASongFace) {
  for (const char* name : {"超级链接框1", "超级链接框2"}) {
    SCOPED_TRACE(name);
    auto* link = FindControlWidget<Hyperlink>(*window_.get(), name);
    ASSERT_NE(link, nullptr);
    const QFontInfo face(link->font());
    EXPECT_EQ(face.pixelSize(), 14);
    EXPECT_FALSE(face.italic());
    EXPECT_TRUE(face.family().contains(QStringLiteral("UMing")) ||
                face.family().contains(QStringLiteral("SimSun")))
        << face.family().toStdString();
    EXPECT_TRUE(QFontMetrics(link->font()).inFontUcs4(U'香'));

    const QImage shot = Grab(*link);
    const QRect text = DarkArea(shot, 200);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_NEAR(text.center().y(), shot.height() / 2.0, 3);
    EXPECT_NEAR(text.center().x(), shot.width() / 2.0, 3);
  }
}

TEST_F(PaintedControls, WindowBackgroundIsTheButtonFace) {
  const QImage shot = Grab(*window_.get());
  // Left of the label and right of the banner, above the hyperlinks.
  for (const QPoint& p : {QPoint(100, 450), QPoint(3, 3), QPoint(470, 60), QPoint(800, 470)}) {
    SCOPED_TRACE(std::to_string(p.x()) + "," + std::to_string(p.y()));
    EXPECT_EQ(PixelAt(shot, p.x(), p.y()), ButtonFace());
  }
}

}  // namespace
