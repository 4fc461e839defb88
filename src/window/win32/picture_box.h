// The picture box: a borderless child window that shows a JPEG picture at its
// natural size from its top-left corner, on the button face.
#pragma once

#include <windows.h>

#include "window/window_description.h"

// Creates the control, hidden, decoding its picture once; a picture that
// can't be decoded leaves only the background. nullptr when the window can't
// be created.
HWND CreatePictureBox(HWND parent, const ControlDescription& control);
