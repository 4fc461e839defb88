#include "window/win32/program_start.h"

#include <objbase.h>

#include <string>

#include "listing/win32/platform_function.h"
#include "window/win32/main_window.h"
#include "window/win32/window_keys.h"

namespace {

constexpr char kMessageCaption[] = "Corvenna";

// The shell may hand the opening of a hyperlink to COM components, which
// want a single-threaded apartment on this thread.
class ComApartment {
 public:
  ComApartment()
      : initialised_(
            SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
  }
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

[[noreturn]] void ShowUnboundFunctionAndExit(const char* library, const char* function) {
  MessageBoxA(nullptr, UnboundFunctionMessage(library, function).c_str(), kMessageCaption,
              MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  ExitProcess(kUnboundFunctionExitCode);
}

void Dispatch(const MSG& message) {
  if (HandleWindowKey(message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

}  // namespace

void DispatchWaitingMessages() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Put back for the message loop, which it ends at once.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Dispatch(message);
  }
}

HWND LoadStartWindow(const WindowDescription& description) {
  DispatchWaitingMessages();
  HWND window = CreateMainWindow(description);
  if (window == nullptr) return nullptr;
  ShowControls(window);
  DispatchWaitingMessages();
  if (description.created) {
    if (ConnectionList* list = MainWindowConnectionList(window)) description.created(*list);
  }
  if (!IsMainWindow(window)) return nullptr;
  if (description.visible) ShowCentred(window);
  return window;
}

void RunMessageLoop() {
  if (MainWindowCount() == 0) return;
  SetQuitWhenLastWindowCloses(true);
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) Dispatch(message);
  SetQuitWhenLastWindowCloses(false);
}

int ProgramStart() {
  SetUnboundFunctionHandler(ShowUnboundFunctionAndExit);
  ComApartment com;
  if (LoadStartWindow(MainWindowDescription()) == nullptr) {
    MessageBoxA(nullptr, "无法创建主窗口，程序即将退出。", kMessageCaption,
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    return 1;
  }
  RunMessageLoop();
  return 0;
}
