#include "listing/linux/socket_owner_map.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <charconv>

#include "listing/linux/unique_fd.h"

namespace {

// "socket:[" + 10 digits + "]" is 19 bytes; anything longer is no socket.
constexpr std::size_t kLinkBufferSize = 64;

template <typename T>
std::optional<T> ParseDecimal(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  T value{};
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

void ScanProcessFds(int procDirFd, const char* pidName, std::int32_t pid, std::string& fdPath,
                    SocketOwnerMap& owners) {
  fdPath.assign(pidName);
  fdPath.append("/fd");
  const UniqueDir fdDir = OpenDirectoryAt(procDirFd, fdPath.c_str());
  if (!fdDir.IsValid()) return;
  const int fdDirFd = ::dirfd(fdDir.Get());
  std::array<char, kLinkBufferSize> link{};
  while (const dirent* entry = ::readdir(fdDir.Get())) {
    if (entry->d_name[0] == '.') continue;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) continue;
    const ssize_t length = ::readlinkat(fdDirFd, entry->d_name, link.data(), link.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= link.size()) continue;
    const auto inode =
        SocketInodeFromLinkText(std::string_view(link.data(), static_cast<std::size_t>(length)));
    if (!inode) continue;
    const auto [slot, added] = owners.try_emplace(*inode, pid);
    if (!added && pid < slot->second) slot->second = pid;
  }
}

}  // namespace

std::optional<std::uint32_t> SocketInodeFromLinkText(std::string_view text) {
  constexpr std::string_view kPrefix = "socket:[";
  if (text.size() < kPrefix.size() + 2 || text.substr(0, kPrefix.size()) != kPrefix ||
      text.back() != ']') {
    return std::nullopt;
  }
  return ParseDecimal<std::uint32_t>(text.substr(kPrefix.size(), text.size() - kPrefix.size() - 1));
}

std::optional<std::int32_t> PidFromEntryName(std::string_view name) {
  const auto pid = ParseDecimal<std::int32_t>(name);
  if (!pid || *pid <= 0) return std::nullopt;
  return pid;
}

SocketOwnerMap ScanSocketOwners(const std::string& procRoot, std::size_t expectedSockets) {
  SocketOwnerMap owners;
  owners.reserve(expectedSockets);
  const UniqueDir procDir = OpenDirectoryAt(AT_FDCWD, procRoot.c_str());
  if (!procDir.IsValid()) return owners;
  const int procDirFd = ::dirfd(procDir.Get());
  std::string fdPath;
  while (const dirent* entry = ::readdir(procDir.Get())) {
    if (entry->d_type != DT_DIR && entry->d_type != DT_UNKNOWN) continue;
    const auto pid = PidFromEntryName(entry->d_name);
    if (pid) ScanProcessFds(procDirFd, entry->d_name, *pid, fdPath, owners);
  }
  return owners;
}
