#include "listing/linux/process_image_path.h"

#include <unistd.h>

#include "listing/platform_listing.h"

namespace {

constexpr std::size_t kFirstLinkBufferSize = 256;
// Far beyond PATH_MAX; only there so that a misbehaving file system can't
// make the loop below grow without end.
constexpr std::size_t kLongestLink = std::size_t{1024} * 1024;

// readlink(2) cuts the text silently at the buffer's size, so a result that
// fills the buffer may be cut: grow the buffer and read again.
std::string ReadLinkText(const std::string& path) {
  std::string text(kFirstLinkBufferSize, '\0');
  for (;;) {
    const ssize_t length = ::readlink(path.c_str(), text.data(), text.size());
    if (length <= 0) return {};
    if (static_cast<std::size_t>(length) < text.size()) {
      text.resize(static_cast<std::size_t>(length));
      return text;
    }
    if (text.size() >= kLongestLink) return {};
    text.resize(text.size() * 2);
  }
}

}  // namespace

std::string ProcessImagePathIn(const std::string& procRoot, std::int32_t pid) {
  if (pid <= 0) return {};
  return ReadLinkText(procRoot + "/" + std::to_string(pid) + "/exe");
}

std::string ProcessImagePath(std::int32_t pid) { return ProcessImagePathIn("/proc", pid); }
