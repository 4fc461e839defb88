// MainWindow: the program's top-level window, built from its description,
// with its controls as child windows in form order.
#pragma once

#include <windows.h>

#include <vector>

#include "listing/connection_list.h"
#include "window/window_description.h"

// Creates the window hidden at its centred place, then each control in form
// order, hidden; the first control is on top of the stacking order and each
// following one directly below the one before. nullptr (and nothing left
// behind) when the window or one of its controls can't be created.
HWND CreateMainWindow(const WindowDescription& description);

// True for a window made by CreateMainWindow that still exists.
bool IsMainWindow(HWND window);

// Shows, without activating them, the controls whose descriptions mark them
// visible, and hides the others.
void ShowControls(HWND window);

// Shows the window in the normal state at its centred place on the screen.
void ShowCentred(HWND window);

// The window's report list; nullptr when it has none.
ConnectionList* MainWindowConnectionList(HWND window);

// Whether the description of `window` lets Esc close it.
bool EscapeCloses(HWND window);

// The window's visible, enabled tab stops in stacking order.
std::vector<HWND> TabStops(HWND window);

// How many main windows exist.
int MainWindowCount();

// While set, the destruction of the last main window posts the quit message
// with code 0. The message loop sets it for as long as it runs.
void SetQuitWhenLastWindowCloses(bool quit);
