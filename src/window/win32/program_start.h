// The program's life: start, the main window's creation and created event,
// the message loop, the end.
#pragma once

#include <windows.h>

#include "window/window_description.h"

// The entry after the platform's own process start-up: prepares the
// program's services, loads MainWindow, runs the message loop and gives the
// exit status, 0 once the loop has ended.
int ProgramStart();

// Creates the described window hidden with its controls, shows the
// controls, runs the created handler with the window's list while the window
// is still hidden and no message is dispatched, then shows the window
// centred. Gives the window, or nullptr when it couldn't be created or no
// longer exists after its created event.
HWND LoadStartWindow(const WindowDescription& description);

// Gets, checks the window's keys, translates and dispatches messages until
// the quit message arrives. Returns at once when no main window exists.
void RunMessageLoop();

// Dispatches the messages waiting in the thread's queue, leaving a quit
// message in it.
void DispatchWaitingMessages();
