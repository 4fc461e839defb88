#include "listing/linux/socket_owner_map.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
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

// Reads one descriptor's link and records its socket, if it is one. False
// when there is no such descriptor (or it can't be read).
bool RecordDescriptor(int fdDirFd, const char* name, std::int32_t pid, SocketOwnerMap& owners) {
  std::array<char, kLinkBufferSize> link{};
  const ssize_t length = ::readlinkat(fdDirFd, name, link.data(), link.size());
  if (length <= 0) return false;
  if (static_cast<std::size_t>(length) >= link.size()) return true;
  const auto inode =
      SocketInodeFromLinkText(std::string_view(link.data(), static_cast<std::size_t>(length)));
  if (!inode) return true;
  const auto [slot, added] = owners.try_emplace(*inode, pid);
  if (!added && pid < slot->second) slot->second = pid;
  return true;
}

// On procfs (Linux 6.2 on) /proc/<pid>/fd gives the number of open
// descriptors as its size. Descriptors are mostly numbered densely from 0,
// so reading the links by number until that many are read spares listing
// the directory, which costs the kernel a dentry lookup per entry, a third
// of the whole scan. False when the table proves sparse, or changes
// meanwhile, or the size is not given: then the directory is listed.
bool ScanDescriptorsByNumber(int fdDirFd, std::int32_t pid, SocketOwnerMap& owners) {
  struct stat status {};
  if (::fstat(fdDirFd, &status) != 0 || status.st_size <= 0) return false;
  const auto open = static_cast<std::uint64_t>(status.st_size);
  const std::uint64_t missesAllowed = 8 + open / 8;
  std::uint64_t found = 0;
  std::uint64_t misses = 0;
  std::array<char, 16> name{};
  for (std::uint32_t fd = 0; found < open; ++fd) {
    char* const end = std::to_chars(name.data(), name.data() + name.size() - 1, fd).ptr;
    *end = '\0';
    if (RecordDescriptor(fdDirFd, name.data(), pid, owners)) {
      ++found;
    } else if (++misses > missesAllowed) {
      return false;
    }
  }
  return true;
}

void ScanProcessFds(int procDirFd, const char* pidName, std::int32_t pid, bool onProcfs,
                    std::string& fdPath, SocketOwnerMap& owners) {
  fdPath.assign(pidName);
  fdPath.append("/fd");
  const UniqueDir fdDir = OpenDirectoryAt(procDirFd, fdPath.c_str());
  if (!fdDir.IsValid()) return;
  const int fdDirFd = ::dirfd(fdDir.Get());
  if (onProcfs && ScanDescriptorsByNumber(fdDirFd, pid, owners)) return;
  // A descriptor read above is read again here, to the same result.
  while (const dirent* entry = ::readdir(fdDir.Get())) {
    if (entry->d_name[0] == '.') continue;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) continue;
    RecordDescriptor(fdDirFd, entry->d_name, pid, owners);
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
  // Only procfs gives a descriptor count as the fd directory's size.
  struct statfs fileSystem {};
  const bool onProcfs =
      ::fstatfs(procDirFd, &fileSystem) == 0 && fileSystem.f_type == PROC_SUPER_MAGIC;
  std::string fdPath;
  while (const dirent* entry = ::readdir(procDir.Get())) {
    if (entry->d_type != DT_DIR && entry->d_type != DT_UNKNOWN) continue;
    const auto pid = PidFromEntryName(entry->d_name);
    if (pid) ScanProcessFds(procDirFd, entry->d_name, *pid, onProcfs, fdPath, owners);
  }
  return owners;
}
