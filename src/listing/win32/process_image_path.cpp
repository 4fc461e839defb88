#include <windows.h>
// tlhelp32.h needs windows.h first.
#include <tlhelp32.h>

#include <algorithm>
#include <array>
#include <iterator>

#include "listing/platform_listing.h"
#include "listing/win32/platform_function.h"
#include "listing/win32/process_image_lookup.h"
#include "listing/win32/unique_handle.h"

namespace {

using Module32FirstPointer = BOOL(WINAPI*)(HANDLE, AnsiModuleEntry*);

constinit PlatformFunction<decltype(&::CreateToolhelp32Snapshot)> createToolhelp32Snapshot{
    "kernel32.dll", "CreateToolhelp32Snapshot"};
constinit PlatformFunction<Module32FirstPointer> module32First{"kernel32.dll", "Module32First"};
constinit PlatformFunction<decltype(&::OpenProcess)> openProcess{"kernel32.dll", "OpenProcess"};
constinit PlatformFunction<decltype(&::QueryFullProcessImageNameA)> queryFullProcessImageNameA{
    "kernel32.dll", "QueryFullProcessImageNameA"};

// Room for the longest path the platform knows (32767 UTF-16 units), each of
// which takes at most two bytes in code page 936.
constexpr DWORD kLongestImagePath = 2 * 32767 + 1;

}  // namespace

std::string ExePathFromModuleEntry(const AnsiModuleEntry& entry) {
  const auto begin = std::begin(entry.szExePath);
  return std::string(begin, std::find(begin, std::end(entry.szExePath), '\0'));
}

std::optional<std::string> FirstModuleExePath(DWORD pid) {
  const UniqueHandle snapshot(createToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
  if (!snapshot.valid()) return std::nullopt;
  AnsiModuleEntry entry{};
  entry.dwSize = sizeof entry;
  if (module32First(snapshot.get(), &entry) == FALSE) return std::nullopt;
  return ExePathFromModuleEntry(entry);
}

std::string QueriedProcessImagePath(DWORD pid) {
  const UniqueHandle process(openProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process.valid()) return {};
  std::string path(kLongestImagePath, '\0');
  DWORD size = kLongestImagePath;
  if (queryFullProcessImageNameA(process.get(), 0, path.data(), &size) == FALSE) return {};
  path.resize(std::min(size, kLongestImagePath));
  return path;
}

std::string ProcessImagePath(std::int32_t pid) {
  // The table gives 0 for every connection it can't attribute; that is no
  // process to look up (and toolhelp would read it as this very process).
  if (pid == 0) return {};
  const DWORD processId = static_cast<DWORD>(pid);
  if (std::optional<std::string> path = FirstModuleExePath(processId)) return *std::move(path);
  return QueriedProcessImagePath(processId);
}
