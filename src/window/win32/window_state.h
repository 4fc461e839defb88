// Per-window state of the program's own window classes. The creator passes
// the address of a std::unique_ptr<State> as the creation parameter; the
// window takes the state out of it at WM_NCCREATE and deletes it at
// WM_NCDESTROY, its last message. A creation that fails before WM_NCCREATE
// leaves the state with the creator, so nothing leaks either way.
#pragma once

#include <windows.h>

#include <memory>

template <typename State>
State* StateOf(HWND window) {
  return reinterpret_cast<State*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// Call at WM_NCCREATE with its lParam.
template <typename State>
void AdoptState(HWND window, LPARAM createStruct) {
  const auto* create = reinterpret_cast<const CREATESTRUCTA*>(createStruct);
  auto* owner = static_cast<std::unique_ptr<State>*>(create->lpCreateParams);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner->release()));
}

// Call at WM_NCDESTROY.
template <typename State>
void DeleteState(HWND window) {
  delete StateOf<State>(window);
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
}

// Window procedure of a control that only paints itself from its state: it
// owns the state, paints every pixel in WM_PAINT and answers nothing else.
template <typename State, void (*PaintState)(HWND, const State&)>
LRESULT CALLBACK PaintOnlyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      AdoptState<State>(window, lParam);
      break;
    case WM_NCDESTROY:
      DeleteState<State>(window);
      break;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT:
      if (const State* state = StateOf<State>(window)) {
        PaintState(window, *state);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
