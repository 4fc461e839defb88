#include "listing/linux/sock_diag_parse.h"

#include <arpa/inet.h>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace {

// Netlink messages and route attributes both start on 4-byte boundaries
// (NLMSG_ALIGN, RTA_ALIGN in linux/netlink.h and linux/rtnetlink.h).
constexpr std::size_t kNetlinkAlignment = 4;

constexpr std::size_t AlignNetlink(std::size_t length) {
  return (length + kNetlinkAlignment - 1) & ~(kNetlinkAlignment - 1);
}

// The buffer may be unaligned (a recorded dump read from anywhere), so headers
// are copied out rather than read in place.
template <typename T>
T CopyOut(std::span<const std::uint8_t> bytes) {
  T value;
  std::memcpy(&value, bytes.data(), sizeof(T));
  return value;
}

// The attributes after an inet_diag_msg are not needed, but they must tile
// the rest of the message exactly as RTA_OK and RTA_NEXT walk them; a length
// that runs past the message means the message is damaged.
bool AttributesAreWhole(std::span<const std::uint8_t> attributes) {
  while (attributes.size() >= sizeof(rtattr)) {
    const auto attribute = CopyOut<rtattr>(attributes);
    if (attribute.rta_len < sizeof(rtattr) || attribute.rta_len > attributes.size()) return false;
    attributes = attributes.subspan(std::min(AlignNetlink(attribute.rta_len), attributes.size()));
  }
  // Up to three bytes of padding may be left over, never a partial header.
  return true;
}

bool ParseInetDiagMessage(std::span<const std::uint8_t> payload,
                          std::vector<KernelTcpSocket>& sockets) {
  if (payload.size() < sizeof(inet_diag_msg)) return false;
  if (!AttributesAreWhole(
          payload.subspan(std::min(AlignNetlink(sizeof(inet_diag_msg)), payload.size())))) {
    return false;
  }
  const auto message = CopyOut<inet_diag_msg>(payload);
  // A dump answers for the family it was asked for; anything else is not ours.
  if (message.idiag_family != AF_INET && message.idiag_family != AF_INET6) return true;
  KernelTcpSocket& socket = sockets.emplace_back();
  socket.family = message.idiag_family;
  socket.linuxState = message.idiag_state;
  std::memcpy(socket.localAddress.data(), message.id.idiag_src, socket.localAddress.size());
  std::memcpy(socket.remoteAddress.data(), message.id.idiag_dst, socket.remoteAddress.size());
  socket.localPort = ntohs(message.id.idiag_sport);
  socket.remotePort = ntohs(message.id.idiag_dport);
  socket.inode = message.idiag_inode;
  return true;
}

// The 32-bit error code that NLMSG_ERROR (struct nlmsgerr) and NLMSG_DONE
// both start their payload with.
bool ReadErrorCode(std::span<const std::uint8_t> payload, std::int32_t& code) {
  if (payload.size() < sizeof(code)) return false;
  code = CopyOut<std::int32_t>(payload);
  return true;
}

}  // namespace

SockDiagReply ParseSockDiagReplies(std::span<const std::uint8_t> bytes,
                                   std::vector<KernelTcpSocket>& sockets) {
  while (!bytes.empty()) {
    // NLMSG_OK: a whole header, and a length that covers it and fits the rest.
    if (bytes.size() < sizeof(nlmsghdr)) return SockDiagReply::kMalformed;
    const auto header = CopyOut<nlmsghdr>(bytes);
    if (header.nlmsg_len < sizeof(nlmsghdr) || header.nlmsg_len > bytes.size()) {
      return SockDiagReply::kMalformed;
    }
    if ((header.nlmsg_flags & NLM_F_DUMP_INTR) != 0) return SockDiagReply::kInterrupted;
    const std::span<const std::uint8_t> payload =
        bytes.subspan(sizeof(nlmsghdr), header.nlmsg_len - sizeof(nlmsghdr));
    std::int32_t code = 0;
    switch (header.nlmsg_type) {
      case NLMSG_DONE:
        // A dump that failed part way ends with its negative errno in DONE.
        if (ReadErrorCode(payload, code) && code < 0) return SockDiagReply::kKernelError;
        return SockDiagReply::kDone;
      case NLMSG_ERROR:
        // Even code 0, an acknowledgement, is out of place: a dump asks for none.
        if (!ReadErrorCode(payload, code)) return SockDiagReply::kMalformed;
        return SockDiagReply::kKernelError;
      case NLMSG_NOOP:
        break;
      case SOCK_DIAG_BY_FAMILY:
        if (!ParseInetDiagMessage(payload, sockets)) return SockDiagReply::kMalformed;
        break;
      default:
        return SockDiagReply::kMalformed;
    }
    // The last message of a datagram may lack its padding.
    bytes = bytes.subspan(std::min(AlignNetlink(header.nlmsg_len), bytes.size()));
  }
  return SockDiagReply::kNeedMore;
}
