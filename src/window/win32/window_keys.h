// The main window's own keys, looked at before a key-down message for the
// window or one of its controls is dispatched.
#pragma once

#include <windows.h>

enum class WindowKeyAction {
  PassOn,           // dispatch the message as usual
  Close,            // Esc alone
  NextTabStop,      // Tab
  PreviousTabStop,  // Shift+Tab
  Swallow,          // Enter and F1: no action at all
};

// What a key pressed with the given modifiers does in the main window.
WindowKeyAction KeyAction(WPARAM key, bool shift, bool ctrl, bool alt);

// Carries out the key's action when `message` is a key-down for a main
// window or one of its controls. True when the message was handled here and
// must not be dispatched.
bool HandleWindowKey(const MSG& message);
