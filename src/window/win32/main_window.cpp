#include "window/win32/main_window.h"

#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "window/win32/child_window.h"
#include "window/win32/drawing.h"
#include "window/win32/gdi_handles.h"
#include "window/win32/hyperlink_control.h"
#include "window/win32/label_control.h"
#include "window/win32/list_view.h"
#include "window/win32/picture_box.h"
#include "window/win32/window_state.h"

namespace {

constexpr char kClassName[] = "CorvennaMainWindow";

int mainWindowCount = 0;
bool quitWhenLastWindowCloses = false;

struct Control {
  HWND window = nullptr;
  bool visible = true;
};

struct MainWindowState {
  std::vector<Control> controls;
  std::optional<ListViewConnectionList> list;
  UniqueIcon largeIcon;
  UniqueIcon smallIcon;
  int outerWidth = 0;
  int outerHeight = 0;
  bool escapeCloses = true;
};

DWORD WindowStyle(const WindowDescription& description) {
  DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  if (description.resizable) style |= WS_THICKFRAME;
  if (description.minimiseBox) style |= WS_MINIMIZEBOX;
  if (description.maximiseBox) style |= WS_MAXIMIZEBOX;
  if (description.disabled) style |= WS_DISABLED;
  return style;
}

Point CentredOrigin(int outerWidth, int outerHeight) {
  return CentredWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                             outerWidth, outerHeight);
}

HICON LoadProgramIcon(const char* resource, int size) {
  if (resource == nullptr || *resource == '\0') return nullptr;
  // Not LR_SHARED: the window's state owns the icon and destroys it.
  return static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), resource, IMAGE_ICON, size, size, 0));
}

void SetIcons(HWND window, MainWindowState& state, const char* resource) {
  state.largeIcon.reset(LoadProgramIcon(resource, 32));
  state.smallIcon.reset(LoadProgramIcon(resource, 16));
  SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(state.largeIcon.get()));
  SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(state.smallIcon.get()));
}

HWND CreateControl(HWND parent, const ControlDescription& control) {
  switch (control.kind) {
    case ControlKind::Hyperlink:
      return CreateHyperlink(parent, control);
    case ControlKind::PictureBox:
      return CreatePictureBox(parent, control);
    case ControlKind::Label:
      return CreateLabel(parent, control);
    case ControlKind::ReportList:
      return CreateConnectionListView(parent, control);
  }
  return nullptr;
}

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      AdoptState<MainWindowState>(window, lParam);
      ++mainWindowCount;
      break;
    case WM_NCDESTROY:
      DeleteState<MainWindowState>(window);
      --mainWindowCount;
      if (mainWindowCount == 0 && quitWhenLastWindowCloses) PostQuitMessage(0);
      break;
    case WM_ERASEBKGND:
      return EraseWithButtonFace(window, reinterpret_cast<HDC>(wParam));
    case WM_SETFOCUS:
      // The window itself takes no keys: the focus goes on to its first tab
      // stop, as in a dialog.
      if (const std::vector<HWND> stops = TabStops(window); !stops.empty()) SetFocus(stops.front());
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool CreateControls(HWND window, MainWindowState& state, const WindowDescription& description) {
  for (const ControlDescription& control : description.controls) {
    HWND child = CreateControl(window, control);
    if (child == nullptr) return false;
    // A new child's place in the stacking order differs between systems;
    // putting each at the bottom as it comes makes form order the stacking order.
    SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    state.controls.push_back({child, control.visible});
    if (control.kind == ControlKind::ReportList) state.list.emplace(child);
  }
  return true;
}

}  // namespace

HWND CreateMainWindow(const WindowDescription& description) {
  if (!RegisterProgramClass(kClassName, MainWindowProcedure, 0, LoadCursorA(nullptr, IDC_ARROW))) {
    return nullptr;
  }
  auto owned = std::make_unique<MainWindowState>();
  owned->escapeCloses = description.escapeCloses;
  owned->outerWidth = description.outerWidth;
  owned->outerHeight = description.outerHeight;
  const Point origin = CentredOrigin(description.outerWidth, description.outerHeight);
  HWND window = CreateWindowExA(0, kClassName, description.caption, WindowStyle(description),
                                origin.x, origin.y, description.outerWidth, description.outerHeight,
                                nullptr, nullptr, GetModuleHandleA(nullptr), &owned);
  if (window == nullptr) return nullptr;
  MainWindowState& state = *StateOf<MainWindowState>(window);
  SetIcons(window, state, description.iconResource);
  if (!CreateControls(window, state, description)) {
    DestroyWindow(window);
    return nullptr;
  }
  return window;
}

bool IsMainWindow(HWND window) {
  if (window == nullptr || !IsWindow(window)) return false;
  char className[sizeof kClassName + 1] = {};
  GetClassNameA(window, className, sizeof className);
  return std::string_view(className) == kClassName;
}

void ShowControls(HWND window) {
  const MainWindowState* state = StateOf<MainWindowState>(window);
  if (state == nullptr) return;
  for (const Control& control : state->controls) {
    ShowWindow(control.window, control.visible ? SW_SHOWNA : SW_HIDE);
  }
}

void ShowCentred(HWND window) {
  const MainWindowState* state = StateOf<MainWindowState>(window);
  if (state == nullptr) return;
  const Point origin = CentredOrigin(state->outerWidth, state->outerHeight);
  SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
}

ConnectionList* MainWindowConnectionList(HWND window) {
  MainWindowState* state = StateOf<MainWindowState>(window);
  if (state == nullptr || !state->list) return nullptr;
  return &*state->list;
}

bool EscapeCloses(HWND window) {
  const MainWindowState* state = StateOf<MainWindowState>(window);
  return state != nullptr && state->escapeCloses;
}

std::vector<HWND> TabStops(HWND window) {
  std::vector<HWND> stops;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(child, GWL_STYLE));
    if ((style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE)) {
      stops.push_back(child);
    }
  }
  return stops;
}

int MainWindowCount() { return mainWindowCount; }

void SetQuitWhenLastWindowCloses(bool quit) { quitWhenLastWindowCloses = quit; }
