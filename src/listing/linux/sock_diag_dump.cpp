#include "listing/linux/sock_diag_dump.h"

#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>
#include <cstdint>
#include <span>

#include "listing/linux/sock_diag_parse.h"
#include "listing/linux/unique_fd.h"

namespace {

// The kernel fills one dump datagram up to what the reader's buffer took
// before, capped near 32 KiB (net/netlink/af_netlink.c); twice that leaves
// room, and a datagram that still does not fit is caught by MSG_TRUNC.
constexpr std::size_t kReceiveBufferSize = std::size_t{64} * 1024;

// A safety net only: the kernel always answers a dump request.
constexpr time_t kReceiveTimeoutSeconds = 5;

// linux/inet_diag.h: the request is a netlink header and an inet_diag_req_v2.
struct SockDiagRequest {
  nlmsghdr header;
  inet_diag_req_v2 body;
};

UniqueFd OpenSockDiagSocket() {
  UniqueFd fd(::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG));
  if (!fd.IsValid()) return fd;
  const timeval timeout{kReceiveTimeoutSeconds, 0};
  ::setsockopt(fd.Get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
  return fd;
}

bool SendDumpRequest(int fd, int family) {
  SockDiagRequest request{};
  request.header.nlmsg_len = sizeof(request);
  request.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
  request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.header.nlmsg_seq = 1;
  request.body.sdiag_family = static_cast<std::uint8_t>(family);
  request.body.sdiag_protocol = IPPROTO_TCP;
  request.body.idiag_states = kTableTcpStatesMask;
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  for (;;) {
    const ssize_t sent = ::sendto(fd, &request, sizeof(request), 0,
                                  reinterpret_cast<const sockaddr*>(&kernel), sizeof(kernel));
    if (sent == static_cast<ssize_t>(sizeof(request))) return true;
    if (sent < 0 && errno == EINTR) continue;
    return false;
  }
}

}  // namespace

DumpResult DumpTcpSocketsOnce(int family, std::vector<KernelTcpSocket>& sockets) {
  const UniqueFd fd = OpenSockDiagSocket();
  if (!fd.IsValid() || !SendDumpRequest(fd.Get(), family)) return DumpResult::kFailed;
  std::vector<std::uint8_t> buffer(kReceiveBufferSize);
  for (;;) {
    sockaddr_nl sender{};
    iovec part{buffer.data(), buffer.size()};
    msghdr message{};
    message.msg_name = &sender;
    message.msg_namelen = sizeof(sender);
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    const ssize_t received = ::recvmsg(fd.Get(), &message, 0);
    if (received < 0 && errno == EINTR) continue;
    // ENOBUFS (replies lost), a timeout, or a datagram larger than the buffer.
    if (received <= 0 || (message.msg_flags & MSG_TRUNC) != 0) return DumpResult::kFailed;
    if (sender.nl_pid != 0) continue;  // only the kernel answers a dump
    const std::span<const std::uint8_t> bytes(buffer.data(), static_cast<std::size_t>(received));
    switch (ParseSockDiagReplies(bytes, sockets)) {
      case SockDiagReply::kNeedMore:
        continue;
      case SockDiagReply::kDone:
        return DumpResult::kComplete;
      case SockDiagReply::kInterrupted:
        return DumpResult::kInterrupted;
      case SockDiagReply::kKernelError:
      case SockDiagReply::kMalformed:
        return DumpResult::kFailed;
    }
    return DumpResult::kFailed;
  }
}

bool TakeCompleteDump(const DumpAttempt& attempt, std::vector<KernelTcpSocket>& sockets) {
  const std::size_t keep = sockets.size();
  for (int i = 0; i < kMaxDumpAttempts; ++i) {
    const DumpResult result = attempt(sockets);
    if (result == DumpResult::kComplete) return true;
    sockets.resize(keep);
    if (result == DumpResult::kFailed) return false;
  }
  return false;
}

bool DumpTcpSockets(int family, std::vector<KernelTcpSocket>& sockets) {
  return TakeCompleteDump(
      [family](std::vector<KernelTcpSocket>& into) { return DumpTcpSocketsOnce(family, into); },
      sockets);
}
