#include "window/win32/window_keys.h"

#include <vector>

#include "window/win32/main_window.h"

namespace {

bool KeyIsDown(int key) { return GetKeyState(key) < 0; }

void MoveFocus(HWND window, bool forward) {
  const std::vector<HWND> stops = TabStops(window);
  if (stops.empty()) return;
  // The control that holds the focus, or the one whose part does (the
  // list's header, say).
  HWND focus = GetFocus();
  while (focus != nullptr && GetParent(focus) != window) focus = GetParent(focus);
  std::size_t next = forward ? 0 : stops.size() - 1;
  for (std::size_t i = 0; i < stops.size(); ++i) {
    if (stops[i] == focus) {
      next = forward ? (i + 1) % stops.size() : (i + stops.size() - 1) % stops.size();
      break;
    }
  }
  SetFocus(stops[next]);
}

}  // namespace

WindowKeyAction KeyAction(WPARAM key, bool shift, bool ctrl, bool alt) {
  switch (key) {
    case VK_ESCAPE:
      return !shift && !ctrl && !alt ? WindowKeyAction::Close : WindowKeyAction::PassOn;
    case VK_TAB:
      if (ctrl || alt) return WindowKeyAction::PassOn;
      return shift ? WindowKeyAction::PreviousTabStop : WindowKeyAction::NextTabStop;
    case VK_RETURN:
    case VK_F1:
      return WindowKeyAction::Swallow;
    default:
      return WindowKeyAction::PassOn;
  }
}

bool HandleWindowKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.hwnd == nullptr) return false;
  HWND window = GetAncestor(message.hwnd, GA_ROOT);
  if (!IsMainWindow(window)) return false;
  switch (
      KeyAction(message.wParam, KeyIsDown(VK_SHIFT), KeyIsDown(VK_CONTROL), KeyIsDown(VK_MENU))) {
    case WindowKeyAction::PassOn:
      return false;
    case WindowKeyAction::Close:
      if (!EscapeCloses(window)) return false;
      // Nothing asks whether the window may close: the default close destroys it.
      SendMessageA(window, WM_CLOSE, 0, 0);
      return true;
    case WindowKeyAction::NextTabStop:
      MoveFocus(window, true);
      return true;
    case WindowKeyAction::PreviousTabStop:
      MoveFocus(window, false);
      return true;
    case WindowKeyAction::Swallow:
      return true;
  }
  return false;
}
