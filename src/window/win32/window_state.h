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
