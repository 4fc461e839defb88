// The label: a child window that draws one text in its font and colour on
// the button face, and does nothing else.
#pragma once

#include <windows.h>

#include "window/window_description.h"

// Creates the control, hidden; nullptr when the window can't be created.
HWND CreateLabel(HWND parent, const ControlDescription& control);
