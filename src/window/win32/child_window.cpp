#include "window/win32/child_window.h"

DWORD ChildStyle(const ControlDescription& control) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (control.tabStop) style |= WS_TABSTOP;
  if (control.disabled) style |= WS_DISABLED;
  return style;
}

HWND CreateChildWindow(HWND parent, const char* className, const char* text, DWORD style,
                       const ControlDescription& control, void* parameter) {
  return CreateWindowExA(0, className, text, style, control.place.left, control.place.top,
                         control.place.width, control.place.height, parent, nullptr,
                         GetModuleHandleA(nullptr), parameter);
}

bool RegisterProgramClass(const char* className, WNDPROC procedure, UINT classStyle,
                          HCURSOR cursor) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = cursor;
  // No class brush: each class paints the button face itself, read at paint time.
  windowClass.hbrBackground = nullptr;
  windowClass.lpszClassName = className;
  return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
