// The program's life from start to exit: the window is made hidden, filled
// by its created event, shown centred, and the event loop runs until it is
// closed.
#pragma once

#include <cstdint>

#include "window/window_description.h"

class MainWindow;

// Starts the GUI, shows MainWindow and runs until it is closed; 0 then.
// Non-zero, with one line on standard error, when there is no display to
// show the window on.
std::int32_t ProgramStart();

// Needs a QApplication. Makes the window and its controls hidden, runs the
// description's created handler with the window's list while the window is
// still hidden, then shows it centred. The window deletes itself when
// closed; the pointer is for callers that want to look at it before then,
// and is null when the created handler closed the window.
MainWindow* LoadStartWindow(const WindowDescription& description);

// Runs the Qt event loop until the last window has closed; returns at once
// when no window of the program is open.
void RunMessageLoop();
