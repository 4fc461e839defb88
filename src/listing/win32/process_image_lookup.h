// The two ways a process id becomes the path of its executable on Windows,
// and the step that reads a module record. ProcessImagePath tries them in
// order; they are apart so that each can be tested on its own.
#pragma once

#include <windows.h>
// tlhelp32.h needs windows.h first.
#include <tlhelp32.h>

#include <optional>
#include <string>

// The ANSI record that Module32First fills, whatever UNICODE says.
using AnsiModuleEntry = tagMODULEENTRY32;

// szExePath up to its first NUL, or all of its MAX_PATH bytes when it holds
// none; never reads past the array.
std::string ExePathFromModuleEntry(const AnsiModuleEntry& entry);

// szExePath of the first module in a module snapshot of `pid`; nullopt when
// the snapshot is refused or holds no module record. Processes of the other
// word size refuse a 32-bit caller on 64-bit Windows.
std::optional<std::string> FirstModuleExePath(DWORD pid);

// The image path the process itself reports (QueryFullProcessImageNameA);
// empty when it can't be opened or asked.
std::string QueriedProcessImagePath(DWORD pid);
