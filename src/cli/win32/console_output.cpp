// Windows: the list's texts are in the ANSI code page (936 on Chinese
// systems). A console gets UTF-16 through WriteConsoleW; a pipe or file gets
// the console's output code page, or the ANSI code page without a console.
#include "cli/console_output.h"

#include <windows.h>

#include <algorithm>

namespace {

std::wstring ToWide(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string FromWide(std::wstring_view wide, UINT codePage) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

bool IsConsole(HANDLE output) {
  DWORD mode = 0;
  return GetConsoleMode(output, &mode) != 0;
}

}  // namespace

std::string ListTextToUtf8(const std::string& text) {
  return FromWide(ToWide(text, CP_ACP), CP_UTF8);
}

bool OutputIsTerminal() { return IsConsole(GetStdHandle(STD_OUTPUT_HANDLE)); }

bool WriteToOutput(std::string_view utf8) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return false;
  const std::wstring wide = ToWide(utf8, CP_UTF8);
  if (IsConsole(output)) {
    // Older consoles refuse very long writes: send pieces, never splitting a surrogate pair.
    constexpr std::size_t kPiece = 8192;
    std::size_t done = 0;
    while (done < wide.size()) {
      std::size_t piece = std::min(kPiece, wide.size() - done);
      if (done + piece < wide.size() && IS_HIGH_SURROGATE(wide[done + piece - 1])) --piece;
      DWORD written = 0;
      if (WriteConsoleW(output, wide.data() + done, static_cast<DWORD>(piece), &written, nullptr) ==
          0) {
        return false;
      }
      done += piece;
    }
    return true;
  }
  const UINT consoleCodePage = GetConsoleOutputCP();
  const std::string bytes = FromWide(wide, consoleCodePage != 0 ? consoleCodePage : GetACP());
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    if (WriteFile(output, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written,
                  nullptr) == 0) {
      return false;
    }
    done += written;
  }
  return true;
}
