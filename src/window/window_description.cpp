#include "window/window_description.h"

#include <stdexcept>

#include "listing/fill_connection_list.h"
#include "window/banner_picture.h"

namespace {

// The maker's web host: a reserved name that reaches no one.
#define CORVENNA_MAKER_HOST "www.tallowmere.example"

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kVisited{128, 0, 0};
constexpr Rgb kHover{49, 106, 197};

constexpr FontDescription kDefaultGuiFont{.defaultGuiFont = true};
constexpr FontDescription kHyperlinkFont{.face = "宋体", .height = 14, .weight = 400};
constexpr unsigned kHyperlinkFormat =
    kTextCenter | kTextVCenter | kTextSingleLine | kTextNoClip | kTextNoPrefix;

HyperlinkSettings Hyperlink(const char* text, const char* target, Rgb normal) {
  HyperlinkSettings settings;
  settings.text = text;
  settings.target = target;
  settings.normalColour = normal;
  settings.visitedColour = kVisited;
  settings.hoverColour = kHover;
  settings.font = kHyperlinkFont;
  settings.format = kHyperlinkFormat;
  return settings;
}

WindowDescription BuildMainWindowDescription() {
  WindowDescription window;
  window.caption = "Corvenna Tallowmere " CORVENNA_MAKER_HOST;
  window.outerWidth = 808;
  window.outerHeight = 502;
  window.storedLeft = 50;
  window.storedTop = 50;
  window.iconResource = "DEFAULT_ICON";

  ControlDescription link2{.name = "超级链接框2",
                           .kind = ControlKind::Hyperlink,
                           .place = {496, 34, 249, 24},
                           .settings = Hyperlink("香港空间100M 只需80元/年 不限制流量",
                                                 "http://" CORVENNA_MAKER_HOST "/", {255, 0, 0})};

  PictureBoxSettings picture;
  picture.jpeg = kBannerJpeg;
  picture.jpegSize = kBannerJpegSize;
  ControlDescription banner{.name = "图片框1",
                            .kind = ControlKind::PictureBox,
                            .place = {10, 7, 454, 60},
                            .settings = picture};

  ControlDescription link1{.name = "超级链接框1",
                           .kind = ControlKind::Hyperlink,
                           .place = {397, 13, 461, 16},
                           .settings = Hyperlink("Tallowmere 香港空间 域名注册 服务器租用 VPS主机",
                                                 "http://" CORVENNA_MAKER_HOST, {0, 0, 255})};

  LabelSettings label;
  label.text = "查看本地地址、端口号、进程、端口状态、访问的程序，远程地址、端口号";
  label.font = kDefaultGuiFont;
  label.textColour = kBlack;
  label.format = kTextLeft | kTextSingleLine | kTextVCenter | kTextNoClip;
  ControlDescription description{
      .name = "标签1", .kind = ControlKind::Label, .place = {193, 439, 416, 24}, .settings = label};

  ReportListSettings list;
  list.columns = {{{"本地地址", 100},
                   {"本地端口", 70},
                   {"远程地址", 100},
                   {"远程端口", 70},
                   {"进程号", 70},
                   {"状态", 80},
                   {"路径", 250}}};
  list.textColour = kBlack;
  list.textBackgroundColour = kWhite;
  list.backgroundColour = kWhite;
  list.font = kDefaultGuiFont;
  ControlDescription connections{.name = "超级列表框1",
                                 .kind = ControlKind::ReportList,
                                 .place = {8, 67, 784, 362},
                                 .tabStop = true,
                                 .settings = list};

  window.controls = {link2, banner, link1, description, connections};
  window.created = [](ConnectionList& rows) { FillConnectionList(rows); };
  return window;
}

}  // namespace

Point CentredWindowOrigin(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
  return {(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 2};
}

const WindowDescription& MainWindowDescription() {
  static const WindowDescription description = BuildMainWindowDescription();
  return description;
}

const ControlDescription& FindControl(const WindowDescription& window, ControlKind kind) {
  for (const ControlDescription& control : window.controls) {
    if (control.kind == kind) return control;
  }
  throw std::logic_error("window description lacks a control of the requested kind");
}
