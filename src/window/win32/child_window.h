// Creating the main window's controls as child windows.
#pragma once

#include <windows.h>

#include "window/window_description.h"

// WS_CHILD and WS_CLIPSIBLINGS, with WS_TABSTOP and WS_DISABLED as the
// description says. Never WS_VISIBLE: the window shows its controls itself
// once they all exist.
DWORD ChildStyle(const ControlDescription& control);

// A child of `parent` at the control's place (client pixels), hidden, with
// `text` as its window text and `parameter` as its creation parameter;
// nullptr when it can't be created.
HWND CreateChildWindow(HWND parent, const char* className, const char* text, DWORD style,
                       const ControlDescription& control, void* parameter);

// Registers one of the program's window classes once per process; false
// when the system refuses it.
bool RegisterProgramClass(const char* className, WNDPROC procedure, UINT classStyle,
                          HCURSOR cursor);
