#include <gtest/gtest.h>

#include <set>
#include <string>

#include "window/jpeg_image.h"
#include "window/window_description.h"

namespace {

TEST(CentredWindowOrigin, TruncatesTowardZeroWithoutClamping) {
  struct Case {
    int screenWidth, screenHeight;
    Point origin;
  };
  const Case cases[] = {
      {1024, 768, {108, 133}}, {1920, 1080, {556, 289}},
      {808, 502, {0, 0}},      {799, 502, {-4, 0}},  // -9 / 2 is -4, not -5
      {640, 480, {-84, -11}},  {809, 503, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.screenWidth) + "x" + std::to_string(c.screenHeight));
    EXPECT_EQ(CentredWindowOrigin(c.screenWidth, c.screenHeight, 808, 502), c.origin);
  }
}

TEST(MainWindowDescription, ControlsInFormOrder) {
  const WindowDescription& window = MainWindowDescription();
  EXPECT_EQ(window.outerWidth, 808);
  EXPECT_EQ(window.outerHeight, 502);
  EXPECT_STREQ(window.caption, "Corvenna Tallowmere www.tallowmere.example");
  struct Expected {
    const char* name;
    ControlKind kind;
    Place place;
    bool tabStop;
  };
  const Expected expected[] = {
      {"超级链接框2", ControlKind::Hyperlink, {496, 34, 249, 24}, false},
      {"图片框1", ControlKind::PictureBox, {10, 7, 454, 60}, false},
      {"超级链接框1", ControlKind::Hyperlink, {397, 13, 461, 16}, false},
      {"标签1", ControlKind::Label, {193, 439, 416, 24}, false},
      {"超级列表框1", ControlKind::ReportList, {8, 67, 784, 362}, true},
  };
  for (std::size_t i = 0; i < window.controls.size(); ++i) {
    const ControlDescription& control = window.controls[i];
    SCOPED_TRACE(expected[i].name);
    EXPECT_STREQ(control.name, expected[i].name);
    EXPECT_EQ(control.kind, expected[i].kind);
    EXPECT_EQ(control.place.left, expected[i].place.left);
    EXPECT_EQ(control.place.top, expected[i].place.top);
    EXPECT_EQ(control.place.width, expected[i].place.width);
    EXPECT_EQ(control.place.height, expected[i].place.height);
    EXPECT_EQ(control.tabStop, expected[i].tabStop);
    EXPECT_TRUE(control.visible);
    EXPECT_FALSE(control.disabled);
  }
}

TEST(MainWindowDescription, HyperlinkTargetsAndColours) {
  const WindowDescription& window = MainWindowDescription();
  const auto& second = std::get<HyperlinkSettings>(window.controls[0].settings);
  const auto& first = std::get<HyperlinkSettings>(window.controls[2].settings);
  EXPECT_STREQ(first.target, "http://www.tallowmere.example");
  EXPECT_STREQ(second.target, "http://www.tallowmere.example/");
  EXPECT_EQ(first.normalColour, (Rgb{0, 0, 255}));
  EXPECT_EQ(second.normalColour, (Rgb{255, 0, 0}));
  for (const HyperlinkSettings* link : {&first, &second}) {
    EXPECT_EQ(link->visitedColour, (Rgb{128, 0, 0}));
    EXPECT_EQ(link->hoverColour, (Rgb{49, 106, 197}));
    EXPECT_STREQ(link->font.face, "宋体");
    EXPECT_EQ(link->font.height, 14);
  }
}

TEST(MainWindowDescription, ListColumnsFitTheList) {
  const auto& list = std::get<ReportListSettings>(
      FindControl(MainWindowDescription(), ControlKind::ReportList).settings);
  int total = 0;
  std::set<std::string> titles;
  for (const ListColumnDescription& column : list.columns) {
    total += column.width;
    titles.insert(column.title);
    EXPECT_TRUE(column.leftAligned);
  }
  EXPECT_EQ(total, 740);
  EXPECT_EQ(titles.size(), 7u);
  EXPECT_STREQ(list.columns[0].title, "本地地址");
  EXPECT_STREQ(list.columns[6].title, "路径");
}

TEST(Banner, DecodesAtItsNaturalSize) {
  const auto& picture = std::get<PictureBoxSettings>(
      FindControl(MainWindowDescription(), ControlKind::PictureBox).settings);
  const auto image = DecodeJpeg(picture.jpeg, picture.jpegSize);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 452);
  EXPECT_EQ(image->height, 56);
  EXPECT_EQ(image->pixels.size(), 452u * 56u * 3u);
}

TEST(Banner, DamagedPicturesDecodeToNothing) {
  const auto& picture = std::get<PictureBoxSettings>(
      FindControl(MainWindowDescription(), ControlKind::PictureBox).settings);
  const unsigned char notJpeg[] = {'h', 'e', 'l', 'l', 'o'};
  EXPECT_FALSE(DecodeJpeg(nullptr, 0).has_value());
  EXPECT_FALSE(DecodeJpeg(notJpeg, sizeof notJpeg).has_value());
  // Only the headers: libjpeg gives up before the first scan.
  EXPECT_FALSE(DecodeJpeg(picture.jpeg, 200).has_value());
}

}  // namespace
