// Linux terminals and pipes take UTF-8, the encoding the listing already uses.
#include "cli/console_output.h"

#include <unistd.h>

#include <cerrno>

std::string ListTextToUtf8(const std::string& text) { return text; }

bool OutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

bool WriteToOutput(std::string_view utf8) {
  while (!utf8.empty()) {
    const ssize_t written = write(STDOUT_FILENO, utf8.data(), utf8.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    utf8.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}
