// The hyperlink: a child window that draws one line of text in its normal,
// visited or hover colour, shows the pointing hand, and opens its target in
// the user's browser when the left button is pressed on it. It never takes
// the focus.
#pragma once

#include <windows.h>

#include "window/window_description.h"

// Creates the control, hidden; nullptr when the window can't be created.
HWND CreateHyperlink(HWND parent, const ControlDescription& control);

// The colour the text is drawn in now: hover while the pointer is over the
// control, else visited after a successful open, else normal.
COLORREF HyperlinkTextColour(HWND hyperlink);

// Opens a target and tells whether that succeeded.
using TargetOpener = bool (*)(const char* target);

// Replaces how every hyperlink opens its target (tests count the opens
// instead of starting a browser); nullptr restores OpenInBrowser.
void SetTargetOpener(TargetOpener opener);
