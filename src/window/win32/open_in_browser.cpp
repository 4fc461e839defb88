#include "window/win32/open_in_browser.h"

#include <windows.h>

#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "listing/win32/unique_handle.h"

namespace {

bool ShellOpen(const char* target) {
  HINSTANCE result = ShellExecuteA(nullptr, "open", target, nullptr, nullptr, SW_SHOW);
  // Not a handle but an old-style result code: above 32 means success.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string RegisteredHtmlBrowser() {
  char path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (FAILED(
          AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, ".htm", "open", path, &size))) {
    return {};
  }
  return path;
}

bool RunBrowser(const std::string& browser, const char* target) {
  std::string commandLine = "\"" + browser + "\" \"" + target + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(browser.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return false;
  }
  UniqueHandle processHandle(process.hProcess);
  UniqueHandle threadHandle(process.hThread);
  return true;
}

}  // namespace

bool OpenInBrowser(const char* target) {
  if (target == nullptr || *target == '\0') return false;
  if (ShellOpen(target)) return true;
  const std::string browser = RegisteredHtmlBrowser();
  return !browser.empty() && RunBrowser(browser, target);
}
