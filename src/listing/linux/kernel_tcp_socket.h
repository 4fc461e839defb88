// One TCP socket as the Linux kernel reports it (sock_diag or /proc/net/tcp*),
// before it becomes a row of the Windows-layout table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "listing/tcp_table_snapshot.h"

using Ipv6Address = std::array<std::uint8_t, 16>;  // network order

struct KernelTcpSocket {
  std::uint8_t family = 0;      // AF_INET or AF_INET6
  std::int32_t linuxState = 0;  // TCP_ESTABLISHED.. of the kernel's net/tcp_states.h
  Ipv6Address localAddress{};   // an IPv4 address fills the first 4 bytes
  std::uint16_t localPort = 0;  // host order
  Ipv6Address remoteAddress{};
  std::uint16_t remotePort = 0;  // host order
  std::uint32_t inode = 0;       // 0 for sockets no file refers to (TIME_WAIT, requests)
};

// The kernel's TCP states, from include/net/tcp_states.h.
enum LinuxTcpState : std::int32_t {
  kLinuxTcpEstablished = 1,
  kLinuxTcpSynSent = 2,
  kLinuxTcpSynRecv = 3,
  kLinuxTcpFinWait1 = 4,
  kLinuxTcpFinWait2 = 5,
  kLinuxTcpTimeWait = 6,
  kLinuxTcpClose = 7,
  kLinuxTcpCloseWait = 8,
  kLinuxTcpLastAck = 9,
  kLinuxTcpListen = 10,
  kLinuxTcpClosing = 11,
  kLinuxTcpNewSynRecv = 12,
};

// The idiag_states mask of a dump: bits 1 to 12, the states above. Not all
// bits: recent kernels take bit 13 (TCP_BOUND_INACTIVE) as a request
// for sockets that are merely bound, reported as CLOSE, which neither
// /proc/net/tcp nor the Windows table lists.
inline constexpr std::uint32_t kTableTcpStatesMask = ((1u << (kLinuxTcpNewSynRecv + 1)) - 1) & ~1u;

// The MIB_TCP_STATE number (1 CLOSED .. 12 DELETE_TCB) for a Linux state;
// 0 for a state that has none.
std::int32_t WindowsTcpStateFromLinux(std::int32_t linuxState);

// The IPv4 row for `socket`: an AF_INET socket always; an AF_INET6 socket only
// when it carries IPv4 (local address v4-mapped, remote v4-mapped or all zero).
// Dual-stack listeners on "::" and real IPv6 sockets give no row.
std::optional<ConnectionRow> Ipv4RowFromSocket(const KernelTcpSocket& socket, std::int32_t pid);
