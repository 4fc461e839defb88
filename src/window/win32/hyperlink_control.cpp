#include "window/win32/hyperlink_control.h"

#include <memory>
#include <string>
#include <string_view>

#include "window/win32/child_window.h"
#include "window/win32/drawing.h"
#include "window/win32/gdi_handles.h"
#include "window/win32/open_in_browser.h"
#include "window/win32/window_state.h"

namespace {

constexpr char kClassName[] = "CorvennaHyperlink";

TargetOpener targetOpener = OpenInBrowser;

struct HyperlinkState {
  std::string text;
  std::string target;
  COLORREF normalColour = 0;
  COLORREF visitedColour = 0;
  COLORREF hoverColour = 0;
  UINT format = 0;
  bool handPointer = true;
  HFONT font = nullptr;
  UniqueFont ownedFont;
  // Both live only as long as the control.
  bool hovering = false;
  bool visited = false;
};

COLORREF CurrentColour(const HyperlinkState& state) {
  if (state.hovering) return state.hoverColour;
  if (state.visited) return state.visitedColour;
  return state.normalColour;
}

void Paint(HWND window, const HyperlinkState& state) {
  PaintTextOnButtonFace(window, state.text.c_str(), state.font, CurrentColour(state), state.format);
}

void StartHovering(HWND window, HyperlinkState& state) {
  if (state.hovering) return;
  state.hovering = true;
  // Asks for WM_MOUSELEAVE at the first move outside the control.
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = window;
  TrackMouseEvent(&track);
  InvalidateRect(window, nullptr, TRUE);
}

void StopHovering(HWND window, HyperlinkState& state) {
  if (!state.hovering) return;
  state.hovering = false;
  InvalidateRect(window, nullptr, TRUE);
}

void OpenTarget(HWND window, HyperlinkState& state) {
  state.visited = targetOpener(state.target.c_str());
  if (state.visited) InvalidateRect(window, nullptr, TRUE);
}

LRESULT CALLBACK HyperlinkProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) AdoptState<HyperlinkState>(window, lParam);
  HyperlinkState* state = StateOf<HyperlinkState>(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_NCDESTROY:
      DeleteState<HyperlinkState>(window);
      break;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the background itself
    case WM_PAINT:
      Paint(window, *state);
      return 0;
    case WM_SETCURSOR:
      if (state->handPointer && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      StartHovering(window, *state);
      return 0;
    case WM_MOUSELEAVE:
      StopHovering(window, *state);
      return 0;
    case WM_LBUTTONDOWN:
      // The press opens, not the release; the focus stays where it was.
      OpenTarget(window, *state);
      return 0;
    case WM_LBUTTONDBLCLK:
      // The class has CS_DBLCLKS, so the second press of a double click
      // arrives as this message, not as a press, and opens nothing.
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND CreateHyperlink(HWND parent, const ControlDescription& control) {
  if (!RegisterProgramClass(kClassName, HyperlinkProcedure, CS_DBLCLKS,
                            LoadCursorA(nullptr, IDC_ARROW))) {
    return nullptr;
  }
  const auto& settings = std::get<HyperlinkSettings>(control.settings);
  auto state = std::make_unique<HyperlinkState>();
  state->text = settings.text;
  state->target = settings.target;
  state->normalColour = ToColorRef(settings.normalColour);
  state->visitedColour = ToColorRef(settings.visitedColour);
  state->hoverColour = ToColorRef(settings.hoverColour);
  state->format = DrawTextFlags(settings.format);
  state->handPointer = settings.handPointer;
  state->font = FontFor(settings.font, state->ownedFont);
  // A tab stop never: the hyperlinks take no keyboard input.
  const DWORD style = ChildStyle(control) & ~static_cast<DWORD>(WS_TABSTOP);
  return CreateChildWindow(parent, kClassName, settings.text, style, control, &state);
}

COLORREF HyperlinkTextColour(HWND hyperlink) {
  char className[sizeof kClassName + 1] = {};
  GetClassNameA(hyperlink, className, sizeof className);
  if (std::string_view(className) != kClassName) return CLR_INVALID;
  const HyperlinkState* state = StateOf<HyperlinkState>(hyperlink);
  return state != nullptr ? CurrentColour(*state) : CLR_INVALID;
}

void SetTargetOpener(TargetOpener opener) {
  targetOpener = opener != nullptr ? opener : OpenInBrowser;
}
