// Drawing pieces shared by the program's own controls.
#pragma once

#include <windows.h>

#include "window/win32/gdi_handles.h"
#include "window/window_description.h"

constexpr COLORREF ToColorRef(Rgb colour) {
  return static_cast<COLORREF>(colour.red) | (static_cast<COLORREF>(colour.green) << 8) |
         (static_cast<COLORREF>(colour.blue) << 16);
}

// The DT_ flags for a description's TextFormat bits.
UINT DrawTextFlags(unsigned format);

// Fills `area` with the button-face colour as the system has it now.
void FillButtonFace(HDC dc, const RECT& area);

// Fills the window's whole client area with the button-face colour; the
// WM_ERASEBKGND answer of every window class of the program.
LRESULT EraseWithButtonFace(HWND window, HDC dc);

// Paints a text control: the button face over the whole client area, then
// `text` in `font` and `colour` on a transparent background, laid out by the
// DT_ flags `format`. Call from WM_PAINT.
void PaintTextOnButtonFace(HWND window, const char* text, HFONT font, COLORREF colour, UINT format);

// The font a description asks for: the stock DEFAULT_GUI_FONT (not owned),
// or a new one that `owned` keeps.
HFONT FontFor(const FontDescription& font, UniqueFont& owned);
