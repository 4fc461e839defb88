#include "window/win32/drawing.h"

UINT DrawTextFlags(unsigned format) {
  struct Pair {
    unsigned bit;
    UINT flag;
  };
  constexpr Pair pairs[] = {
      {kTextLeft, DT_LEFT},       {kTextCenter, DT_CENTER},
      {kTextVCenter, DT_VCENTER}, {kTextSingleLine, DT_SINGLELINE},
      {kTextNoClip, DT_NOCLIP},   {kTextNoPrefix, DT_NOPREFIX},
  };
  UINT flags = 0;
  for (const Pair& pair : pairs) {
    if ((format & pair.bit) != 0) flags |= pair.flag;
  }
  return flags;
}

void FillButtonFace(HDC dc, const RECT& area) {
  // The DC brush takes the colour read just now, so a changed system colour
  // shows at the next paint, and there is no brush to free.
  SetDCBrushColor(dc, GetSysColor(COLOR_BTNFACE));
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

LRESULT EraseWithButtonFace(HWND window, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  FillButtonFace(dc, client);
  return 1;
}

HFONT FontFor(const FontDescription& font, UniqueFont& owned) {
  if (font.defaultGuiFont) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  // A negative height asks for that character height, without the internal leading.
  owned.reset(CreateFontA(-font.height, 0, 0, 0, font.weight, font.italic ? TRUE : FALSE,
                          font.underline ? TRUE : FALSE, font.strikeOut ? TRUE : FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, font.face));
  if (owned == nullptr) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  return owned.get();
}

void PaintTextOnButtonFace(HWND window, const char* text, HFONT font, COLORREF colour,
                           UINT format) {
  PaintScope paint(window);
  RECT client{};
  GetClientRect(window, &client);
  FillButtonFace(paint.dc(), client);
  SelectedObject selected(paint.dc(), font);
  SetTextColor(paint.dc(), colour);
  SetBkMode(paint.dc(), TRANSPARENT);
  DrawTextA(paint.dc(), text, -1, &client, format);
}
