#include "window/win32/label_control.h"

#include <memory>
#include <string>

#include "window/win32/child_window.h"
#include "window/win32/drawing.h"
#include "window/win32/gdi_handles.h"
#include "window/win32/window_state.h"

namespace {

constexpr char kClassName[] = "CorvennaLabel";

struct LabelState {
  std::string text;
  COLORREF textColour = 0;
  UINT format = 0;
  HFONT font = nullptr;
  UniqueFont ownedFont;
};

void Paint(HWND window, const LabelState& state) {
  PaintTextOnButtonFace(window, state.text.c_str(), state.font, state.textColour, state.format);
}

}  // namespace

HWND CreateLabel(HWND parent, const ControlDescription& control) {
  if (!RegisterProgramClass(kClassName, PaintOnlyProcedure<LabelState, Paint>, 0,
                            LoadCursorA(nullptr, IDC_ARROW))) {
    return nullptr;
  }
  const auto& settings = std::get<LabelSettings>(control.settings);
  auto state = std::make_unique<LabelState>();
  state->text = settings.text;
  state->textColour = ToColorRef(settings.textColour);
  state->format = DrawTextFlags(settings.format);
  state->font = FontFor(settings.font, state->ownedFont);
  return CreateChildWindow(parent, kClassName, settings.text, ChildStyle(control), control, &state);
}
