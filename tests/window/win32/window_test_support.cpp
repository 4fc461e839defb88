#include "window_test_support.h"

#include "window/win32/hyperlink_control.h"
#include "window/win32/program_start.h"

std::vector<HWND> ChildrenInStackingOrder(HWND window) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

std::string ClassNameOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

RECT PlaceInParent(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool PumpUntil(const std::function<bool()>& done) {
  for (int round = 0; round < 400; ++round) {
    DispatchWaitingMessages();
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
  }
  return done();
}

int CountPixels(HWND window, COLORREF colour) {
  RECT client{};
  GetClientRect(window, &client);
  HDC dc = GetDC(window);
  int count = 0;
  for (int y = client.top; y < client.bottom; ++y) {
    for (int x = client.left; x < client.right; ++x) {
      if (GetPixel(dc, x, y) == colour) ++count;
    }
  }
  ReleaseDC(window, dc);
  return count;
}

StartedWindowTest::StartedWindowTest() : description_(MainWindowDescription()) {
  description_.created = [](ConnectionList&) {};
}

StartedWindowTest::~StartedWindowTest() {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
  DispatchWaitingMessages();
  SetTargetOpener(nullptr);
}

HWND StartedWindowTest::Start() {
  window_ = LoadStartWindow(description_);
  if (window_ != nullptr) {
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DispatchWaitingMessages();
  }
  return window_;
}

HWND StartedWindowTest::Control(std::size_t formIndex) const {
  const std::vector<HWND> children = ChildrenInStackingOrder(window_);
  return formIndex < children.size() ? children[formIndex] : nullptr;
}
