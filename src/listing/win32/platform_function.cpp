#include "listing/win32/platform_function.h"

#include <windows.h>

#include <cstdio>

namespace {

void WriteMessageAndExit(const char* library, const char* function) {
  const std::string message = UnboundFunctionMessage(library, function) + "\n";
  std::fputs(message.c_str(), stderr);
  std::fflush(stderr);
  ExitProcess(kUnboundFunctionExitCode);
}

std::atomic<UnboundFunctionHandler> unboundFunctionHandler{WriteMessageAndExit};

HMODULE LoadSystemLibrary(const char* library) {
  // Only the system directory: a library of the same name planted beside
  // the exe must not be picked up.
  HMODULE module = LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Windows 7 without KB2533623 rejects the flag; there the ordinary search
  // is all there is.
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
    module = LoadLibraryA(library);
  }
  return module;
}

}  // namespace

void SetUnboundFunctionHandler(UnboundFunctionHandler handler) {
  unboundFunctionHandler.store(handler != nullptr ? handler : WriteMessageAndExit);
}

std::string UnboundFunctionMessage(const char* library, const char* function) {
  return std::string("无法使用系统函数 ") + function + "（" + library +
         "）：找不到该库或该函数，程序无法列出连接，即将退出。";
}

PlatformFunctionAddress BindPlatformFunctionOrStop(const char* library, const char* function) {
  if (HMODULE module = LoadSystemLibrary(library); module != nullptr) {
    if (FARPROC address = GetProcAddress(module, function); address != nullptr) {
      return std::bit_cast<PlatformFunctionAddress>(address);
    }
  }
  unboundFunctionHandler.load()(library, function);
  ExitProcess(kUnboundFunctionExitCode);
}
