#include "listing/linux/kernel_tcp_socket.h"

#include <sys/socket.h>

#include <algorithm>

namespace {

// MIB_TCP_STATE numbers (iphlpapi's tcpmib.h).
enum WindowsTcpState : std::int32_t {
  kWindowsTcpClosed = 1,
  kWindowsTcpListen = 2,
  kWindowsTcpSynSent = 3,
  kWindowsTcpSynRcvd = 4,
  kWindowsTcpEstab = 5,
  kWindowsTcpFinWait1 = 6,
  kWindowsTcpFinWait2 = 7,
  kWindowsTcpCloseWait = 8,
  kWindowsTcpClosing = 9,
  kWindowsTcpLastAck = 10,
  kWindowsTcpTimeWait = 11,
};

bool IsV4Mapped(const Ipv6Address& address) {
  static constexpr std::array<std::uint8_t, 12> kPrefix = {0, 0, 0, 0, 0,    0,
                                                           0, 0, 0, 0, 0xFF, 0xFF};
  return std::equal(kPrefix.begin(), kPrefix.end(), address.begin());
}

bool IsAllZero(const Ipv6Address& address) {
  return std::all_of(address.begin(), address.end(), [](std::uint8_t b) { return b == 0; });
}

Ipv4Address FirstFour(const Ipv6Address& address) {
  return {address[0], address[1], address[2], address[3]};
}

Ipv4Address LastFour(const Ipv6Address& address) {
  return {address[12], address[13], address[14], address[15]};
}

}  // namespace

std::int32_t WindowsTcpStateFromLinux(std::int32_t linuxState) {
  switch (linuxState) {
    case kLinuxTcpEstablished:
      return kWindowsTcpEstab;
    case kLinuxTcpSynSent:
      return kWindowsTcpSynSent;
    case kLinuxTcpSynRecv:
      return kWindowsTcpSynRcvd;
    case kLinuxTcpFinWait1:
      return kWindowsTcpFinWait1;
    case kLinuxTcpFinWait2:
      return kWindowsTcpFinWait2;
    case kLinuxTcpTimeWait:
      return kWindowsTcpTimeWait;
    case kLinuxTcpClose:
      return kWindowsTcpClosed;
    case kLinuxTcpCloseWait:
      return kWindowsTcpCloseWait;
    case kLinuxTcpLastAck:
      return kWindowsTcpLastAck;
    case kLinuxTcpListen:
      return kWindowsTcpListen;
    case kLinuxTcpClosing:
      return kWindowsTcpClosing;
    // A connection request not yet accepted: the half-open SYN_RCVD of the table.
    case kLinuxTcpNewSynRecv:
      return kWindowsTcpSynRcvd;
    default:
      return 0;
  }
}

std::optional<ConnectionRow> Ipv4RowFromSocket(const KernelTcpSocket& socket, std::int32_t pid) {
  ConnectionRow row;
  row.state = WindowsTcpStateFromLinux(socket.linuxState);
  row.localPort = socket.localPort;
  row.remotePort = socket.remotePort;
  row.owningPid = pid;
  if (socket.family == AF_INET) {
    row.localAddress = FirstFour(socket.localAddress);
    row.remoteAddress = FirstFour(socket.remoteAddress);
    return row;
  }
  if (socket.family != AF_INET6 || !IsV4Mapped(socket.localAddress)) return std::nullopt;
  if (IsV4Mapped(socket.remoteAddress)) {
    row.remoteAddress = LastFour(socket.remoteAddress);
  } else if (!IsAllZero(socket.remoteAddress)) {
    return std::nullopt;
  }
  row.localAddress = LastFour(socket.localAddress);
  return row;
}
