// The picture box, label and hyperlinks of the running window: what they
// paint, and how the hyperlinks follow the pointer and open their targets.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "window/banner_picture.h"
#include "window/jpeg_image.h"
#include "window/win32/hyperlink_control.h"
#include "window/win32/program_start.h"
#include "window_test_support.h"

namespace {

constexpr std::size_t kSecondLinkIndex = 0;
constexpr std::size_t kPictureIndex = 1;
constexpr std::size_t kFirstLinkIndex = 2;
constexpr std::size_t kLabelIndex = 3;
constexpr std::size_t kListIndex = 4;

// A 7 x 5 baseline JPEG: its rows (21 bytes) need padding to 24 in a DIB,
// which the 452-pixel banner (1356 bytes a row) never does.
const unsigned char kOddWidthJpeg[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x03, 0x02, 0x02, 0x03, 0x02, 0x02, 0x03,
    0x03, 0x03, 0x03, 0x04, 0x03, 0x03, 0x04, 0x05, 0x08, 0x05, 0x05, 0x04, 0x04, 0x05, 0x0a, 0x07,
    0x07, 0x06, 0x08, 0x0c, 0x0a, 0x0c, 0x0c, 0x0b, 0x0a, 0x0b, 0x0b, 0x0d, 0x0e, 0x12, 0x10, 0x0d,
    0x0e, 0x11, 0x0e, 0x0b, 0x0b, 0x10, 0x16, 0x10, 0x11, 0x13, 0x14, 0x15, 0x15, 0x15, 0x0c, 0x0f,
    0x17, 0x18, 0x16, 0x14, 0x18, 0x12, 0x14, 0x15, 0x14, 0xff, 0xdb, 0x00, 0x43, 0x01, 0x03, 0x04,
    0x04, 0x05, 0x04, 0x05, 0x09, 0x05, 0x05, 0x09, 0x14, 0x0d, 0x0b, 0x0d, 0x14, 0x14, 0x14, 0x14,
    0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14,
    0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14,
    0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0xff, 0xc0,
    0x00, 0x11, 0x08, 0x00, 0x05, 0x00, 0x07, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11,
    0x01, 0xff, 0xc4, 0x00, 0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0xff, 0xc4, 0x00, 0x18, 0x10, 0x00, 0x02, 0x03, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x16, 0x51,
    0xa1, 0xff, 0xc4, 0x00, 0x15, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x08, 0xff, 0xc4, 0x00, 0x1b, 0x11, 0x00, 0x00, 0x07,
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x06,
    0x17, 0x51, 0xa1, 0xd1, 0x52, 0xff, 0xda, 0x00, 0x0c, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11,
    0x00, 0x3f, 0x00, 0x3a, 0x49, 0x9b, 0xbd, 0x29, 0x66, 0x45, 0x37, 0xcd, 0x16, 0x87, 0x7c, 0x14,
    0x93, 0x67, 0x83, 0xff, 0xd9,
};

class PictureBoxTest : public StartedWindowTest {
 protected:
  void UsePicture(const unsigned char* jpeg, std::size_t size) {
    auto& settings = std::get<PictureBoxSettings>(description_.controls[kPictureIndex].settings);
    settings.jpeg = jpeg;
    settings.jpegSize = size;
  }
};

TEST_F(PictureBoxTest, PictureAtNaturalSizeFromTheCornerOnTheButtonFace) {
  struct Case {
    const char* name;
    const unsigned char* jpeg;
    std::size_t size;
  };
  const unsigned char notAPicture[] = {0xff, 0xd8, 0xff, 0x00, 0x12};
  const Case cases[] = {
      {"banner", kBannerJpeg, kBannerJpegSize},
      {"odd width", kOddWidthJpeg, sizeof kOddWidthJpeg},
      {"undecodable", notAPicture, sizeof notAPicture},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UsePicture(c.jpeg, c.size);
    ASSERT_NE(Start(), nullptr);
    HWND box = Control(kPictureIndex);
    const std::optional<RgbImage> image = DecodeJpeg(c.jpeg, c.size);
    const int width = image ? image->width : 0;
    const int height = image ? image->height : 0;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    RECT client{};
    GetClientRect(box, &client);
    ASSERT_EQ(client.right, 454);
    ASSERT_EQ(client.bottom, 60);
    int wrong = 0;
    HDC dc = GetDC(box);
    for (int y = 0; y < client.bottom; ++y) {
      for (int x = 0; x < client.right; ++x) {
        COLORREF expected = face;
        if (x < width && y < height) {
          const auto* pixel = &image->pixels[static_cast<std::size_t>((y * width + x) * 3)];
          expected = RGB(pixel[0], pixel[1], pixel[2]);
        }
        if (GetPixel(dc, x, y) != expected && ++wrong <= 5) {
          ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
        }
      }
    }
    ReleaseDC(box, dc);
    EXPECT_EQ(wrong, 0);
    DestroyWindow(window_);
  }
}

TEST_F(StartedWindowTest, TextsPaintedInTheirColoursOnTheButtonFace) {
  ASSERT_NE(Start(), nullptr);
  struct Case {
    const char* name;
    std::size_t index;
    COLORREF text;
  };
  const Case cases[] = {
      {"label", kLabelIndex, RGB(0, 0, 0)},
      {"first hyperlink", kFirstLinkIndex, RGB(0, 0, 255)},
      {"second hyperlink", kSecondLinkIndex, RGB(255, 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND control = Control(c.index);
    EXPECT_GT(CountPixels(control, c.text), 20);
    EXPECT_GT(CountPixels(control, GetSysColor(COLOR_BTNFACE)), 500);
    if (c.index != kLabelIndex) {
      EXPECT_EQ(HyperlinkTextColour(control), c.text);
    }
  }
  // The banner lies over the first hyperlink's left end.
  POINT overlap{400, 20};
  EXPECT_EQ(ChildWindowFromPointEx(window_, overlap, CWP_SKIPINVISIBLE), Control(kPictureIndex));
}

// The smallest rectangle holding every pixel of `colour` in the client area.
RECT InkBounds(HWND window, COLORREF colour) {
  RECT client{};
  GetClientRect(window, &client);
  RECT ink{client.right, client.bottom, -1, -1};
  HDC dc = GetDC(window);
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) {
      if (GetPixel(dc, x, y) != colour) continue;
      ink.left = std::min<LONG>(ink.left, x);
      ink.top = std::min<LONG>(ink.top, y);
      ink.right = std::max<LONG>(ink.right, x + 1);
      ink.bottom = std::max<LONG>(ink.bottom, y + 1);
    }
  }
  ReleaseDC(window, dc);
  return ink;
}

TEST_F(StartedWindowTest, LabelTextStartsAtTheLeftAndHyperlinkTextIsCentred) {
  ASSERT_NE(Start(), nullptr);
  struct Case {
    const char* name;
    std::size_t index;
    COLORREF text;
    bool centred;
  };
  for (const Case& c : {Case{"label", kLabelIndex, RGB(0, 0, 0), false},
                        Case{"second hyperlink", kSecondLinkIndex, RGB(255, 0, 0), true}}) {
    SCOPED_TRACE(c.name);
    HWND control = Control(c.index);
    RECT client{};
    GetClientRect(control, &client);
    const RECT ink = InkBounds(control, c.text);
    ASSERT_LT(ink.left, ink.right);
    const LONG leftMargin = ink.left;
    const LONG rightMargin = client.right - ink.right;
    if (c.centred) {
      EXPECT_LE(std::abs(leftMargin - rightMargin), 2) << leftMargin << " | " << rightMargin;
    } else {
      EXPECT_LE(leftMargin, 2);
      EXPECT_GT(rightMargin, 10);
    }
    // One line, centred vertically (glyph ink is not quite symmetric).
    EXPECT_LE(std::abs(ink.top - (client.bottom - ink.bottom)), 4)
        << ink.top << " / " << client.bottom - ink.bottom;
  }
}

// The middle of the control's visible part, in screen coordinates: the
// first hyperlink is partly under the banner and reaches past the client
// area's right edge.
POINT VisiblePointOf(HWND control, HWND coveringSibling) {
  RECT visible{};
  GetWindowRect(control, &visible);
  RECT client{};
  GetClientRect(GetParent(control), &client);
  MapWindowPoints(GetParent(control), nullptr, reinterpret_cast<POINT*>(&client), 2);
  visible.right = std::min(visible.right, client.right);
  if (coveringSibling != nullptr) {
    RECT covering{};
    GetWindowRect(coveringSibling, &covering);
    visible.left = std::max(visible.left, covering.right);
  }
  return POINT{(visible.left + visible.right) / 2, (visible.top + visible.bottom) / 2};
}

TEST_F(StartedWindowTest, HyperlinkTakesTheHoverColourUnderThePointerAndLosesItOutside) {
  ASSERT_NE(Start(), nullptr);
  const COLORREF hover = RGB(49, 106, 197);
  struct Case {
    const char* name;
    std::size_t index;
    COLORREF normal;
  };
  for (const Case& c : {Case{"first", kFirstLinkIndex, RGB(0, 0, 255)},
                        Case{"second", kSecondLinkIndex, RGB(255, 0, 0)}}) {
    SCOPED_TRACE(c.name);
    HWND link = Control(c.index);
    const POINT over =
        VisiblePointOf(link, c.index == kFirstLinkIndex ? Control(kPictureIndex) : nullptr);
    SetCursorPos(over.x, over.y);
    EXPECT_TRUE(PumpUntil([&] { return HyperlinkTextColour(link) == hover; }));
    UpdateWindow(link);
    EXPECT_GT(CountPixels(link, hover), 20);
    EXPECT_EQ(CountPixels(link, c.normal), 0);

    RECT list{};
    GetWindowRect(Control(kListIndex), &list);
    SetCursorPos((list.left + list.right) / 2, (list.top + list.bottom) / 2);
    EXPECT_TRUE(PumpUntil([&] { return HyperlinkTextColour(link) == c.normal; }));
    UpdateWindow(link);
    EXPECT_GT(CountPixels(link, c.normal), 20);
  }
}

std::vector<std::string> opened;
bool openSucceeds = true;
bool RecordingOpener(const char* target) {
  opened.emplace_back(target);
  return openSucceeds;
}

LPARAM ClientPoint(int x, int y) { return MAKELPARAM(x, y); }

TEST_F(StartedWindowTest, PressOpensTheTargetOnceAndSetsVisitedByTheOutcome) {
  ASSERT_NE(Start(), nullptr);
  SetTargetOpener(RecordingOpener);
  HWND list = Control(kListIndex);
  struct Step {
    UINT message;
    WPARAM keys;
  };
  const std::vector<Step> press = {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}};
  const std::vector<Step> doubleClick = {{WM_LBUTTONDOWN, MK_LBUTTON},
                                         {WM_LBUTTONUP, 0},
                                         {WM_LBUTTONDBLCLK, MK_LBUTTON},
                                         {WM_LBUTTONUP, 0}};
  const std::vector<Step> release = {{WM_LBUTTONUP, 0}};
  struct Case {
    const char* name;
    std::size_t index;
    const std::vector<Step>* steps;
    bool succeeds;
    int opens;
    COLORREF colourAfter;
  };
  const char* firstTarget =
      std::get<HyperlinkSettings>(description_.controls[kFirstLinkIndex].settings).target;
  const char* secondTarget =
      std::get<HyperlinkSettings>(description_.controls[kSecondLinkIndex].settings).target;
  const Case cases[] = {
      {"release alone", kFirstLinkIndex, &release, true, 0, RGB(0, 0, 255)},
      {"press, success", kFirstLinkIndex, &press, true, 1, RGB(128, 0, 0)},
      {"press, failure", kFirstLinkIndex, &press, false, 1, RGB(0, 0, 255)},
      {"double click", kSecondLinkIndex, &doubleClick, true, 1, RGB(128, 0, 0)},
      {"double click, failure", kSecondLinkIndex, &doubleClick, false, 1, RGB(255, 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND link = Control(c.index);
    SetFocus(list);
    opened.clear();
    openSucceeds = c.succeeds;
    for (const Step& step : *c.steps)
      SendMessageA(link, step.message, step.keys, ClientPoint(100, 8));
    ASSERT_EQ(static_cast<int>(opened.size()), c.opens);
    if (c.opens > 0) {
      EXPECT_EQ(opened[0], c.index == kFirstLinkIndex ? firstTarget : secondTarget);
    }
    EXPECT_EQ(HyperlinkTextColour(link), c.colourAfter);
    EXPECT_EQ(GetFocus(), list);
  }
}

TEST_F(StartedWindowTest, RealDoubleClickOnAHyperlinkOpensOnce) {
  ASSERT_NE(Start(), nullptr);
  SetTargetOpener(RecordingOpener);
  opened.clear();
  openSucceeds = true;
  HWND link = Control(kSecondLinkIndex);
  const POINT over = VisiblePointOf(link, nullptr);
  SetCursorPos(over.x, over.y);
  PumpUntil([&] { return HyperlinkTextColour(link) == RGB(49, 106, 197); });

  INPUT clicks[4] = {};
  const DWORD buttons[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                            MOUSEEVENTF_LEFTUP};
  for (int i = 0; i < 4; ++i) {
    clicks[i].type = INPUT_MOUSE;
    clicks[i].mi.dwFlags = buttons[i];
  }
  ASSERT_EQ(SendInput(4, clicks, sizeof(INPUT)), 4u);
  // Both presses are in the queue once the first has been handled.
  EXPECT_TRUE(PumpUntil([&] { return !opened.empty() && GetQueueStatus(QS_INPUT) == 0; }));
  DispatchWaitingMessages();
  EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
