// Starting the real main window in-process, and reading what it shows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "window/window_description.h"

// Direct children of `window` in stacking order, the top one first.
std::vector<HWND> ChildrenInStackingOrder(HWND window);

std::string ClassNameOf(HWND window);

// The window's outer rectangle in its parent's client coordinates.
RECT PlaceInParent(HWND child);

// Dispatches messages (through the program's own key check) until `done`
// holds; false if it still doesn't after a generous number of rounds. A
// guard against hanging, not a measure of time.
bool PumpUntil(const std::function<bool()>& done);

// Pixels of the window's client area equal to `colour`, read from the screen.
int CountPixels(HWND window, COLORREF colour);

// The main window's description with a created handler that does nothing;
// a test changes what it needs and starts the window.
class StartedWindowTest : public ::testing::Test {
 protected:
  StartedWindowTest();
  ~StartedWindowTest() override;

  // LoadStartWindow with description_, then waits until the window has painted.
  HWND Start();

  // The control at `formIndex` in form order (= stacking order).
  HWND Control(std::size_t formIndex) const;

  WindowDescription description_;
  HWND window_ = nullptr;
};
