#include "listing/linux/proc_net_tcp.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "listing/linux/unique_fd.h"

namespace {

// Columns of a socket line: "sl local_address rem_address st tx_queue:rx_queue
// tr:tm->when retrnsmt uid timeout inode ..." (net/ipv4/tcp_ipv4.c, get_tcp4_sock;
// net/ipv6/tcp_ipv6.c, get_tcp6_sock).
constexpr std::size_t kLocalColumn = 1;
constexpr std::size_t kRemoteColumn = 2;
constexpr std::size_t kStateColumn = 3;
constexpr std::size_t kInodeColumn = 9;
constexpr std::size_t kColumnsNeeded = kInodeColumn + 1;

constexpr std::size_t kReadChunkSize = std::size_t{64} * 1024;

template <typename T>
bool ParseWhole(std::string_view text, int base, T& value) {
  if (text.empty()) return false;
  for (const char c : text) {
    const bool digit = (c >= '0' && c <= '9');
    const bool hexLetter = base == 16 && ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'));
    if (!digit && !hexLetter) return false;
  }
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc() && end == text.data() + text.size();
}

// An address is printed as its 32-bit words, each the raw network-order word
// read as a host integer and printed in %08X; copying each word back to memory
// gives the network-order bytes on any byte order.
bool ParseAddressAndPort(std::string_view text, std::size_t addressBytes, Ipv6Address& address,
                         std::uint16_t& port) {
  const std::size_t hexDigits = addressBytes * 2;
  if (text.size() != hexDigits + 5 || text[hexDigits] != ':') return false;
  for (std::size_t word = 0; word < addressBytes / 4; ++word) {
    std::uint32_t value = 0;
    if (!ParseWhole(text.substr(word * 8, 8), 16, value)) return false;
    std::memcpy(address.data() + word * 4, &value, sizeof(value));
  }
  return ParseWhole(text.substr(hexDigits + 1), 16, port);
}

std::size_t SplitColumns(std::string_view line,
                         std::array<std::string_view, kColumnsNeeded>& columns) {
  std::size_t count = 0;
  std::size_t at = 0;
  while (count < columns.size()) {
    at = line.find_first_not_of(' ', at);
    if (at == std::string_view::npos) break;
    const std::size_t end = std::min(line.find(' ', at), line.size());
    columns[count++] = line.substr(at, end - at);
    at = end;
  }
  return count;
}

bool ParseSocketLine(std::string_view line, int family, KernelTcpSocket& socket) {
  std::array<std::string_view, kColumnsNeeded> columns;
  if (SplitColumns(line, columns) < kColumnsNeeded) return false;
  // "  12:" is a socket line; the header's "sl" is not.
  const std::string_view slot = columns[0];
  std::uint32_t slotNumber = 0;
  if (slot.size() < 2 || slot.back() != ':' ||
      !ParseWhole(slot.substr(0, slot.size() - 1), 10, slotNumber)) {
    return false;
  }
  const std::size_t addressBytes = family == AF_INET ? 4 : 16;
  socket.family = static_cast<std::uint8_t>(family);
  std::uint8_t state = 0;
  if (!ParseAddressAndPort(columns[kLocalColumn], addressBytes, socket.localAddress,
                           socket.localPort) ||
      !ParseAddressAndPort(columns[kRemoteColumn], addressBytes, socket.remoteAddress,
                           socket.remotePort) ||
      !ParseWhole(columns[kStateColumn], 16, state) ||
      !ParseWhole(columns[kInodeColumn], 10, socket.inode)) {
    return false;
  }
  socket.linuxState = state;
  return true;
}

}  // namespace

void ParseProcNetTcp(std::string_view text, int family, std::vector<KernelTcpSocket>& sockets) {
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    KernelTcpSocket socket;
    if (ParseSocketLine(text.substr(0, end), family, socket)) sockets.push_back(socket);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
}

bool ReadProcNetTcp(const std::string& procRoot, int family,
                    std::vector<KernelTcpSocket>& sockets) {
  const auto text = ReadWholeFile(procRoot + (family == AF_INET ? "/net/tcp" : "/net/tcp6"));
  if (!text) return false;
  ParseProcNetTcp(*text, family, sockets);
  return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsValid()) return std::nullopt;
  std::string contents;
  std::size_t used = 0;
  for (;;) {
    contents.resize(used + kReadChunkSize);
    const ssize_t got = ::read(fd.Get(), contents.data() + used, kReadChunkSize);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  contents.resize(used);
  return contents;
}
