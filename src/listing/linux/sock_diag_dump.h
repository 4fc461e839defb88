// Dumps the kernel's TCP sockets of one address family over NETLINK_SOCK_DIAG.
#pragma once

#include <functional>
#include <vector>

#include "listing/linux/kernel_tcp_socket.h"

enum class DumpResult { kComplete, kInterrupted, kFailed };

// One dump on a fresh socket; appends to `sockets`. kFailed when netlink is
// refused, the kernel reports an error or a reply is damaged or cut short.
DumpResult DumpTcpSocketsOnce(int family, std::vector<KernelTcpSocket>& sockets);

inline constexpr int kMaxDumpAttempts = 3;

using DumpAttempt = std::function<DumpResult(std::vector<KernelTcpSocket>&)>;

// Runs `attempt` until one completes, at most kMaxDumpAttempts times; an
// interrupted dump is thrown away and taken again. Only a complete dump is
// left in `sockets` (appended after what it held); false when none completed.
bool TakeCompleteDump(const DumpAttempt& attempt, std::vector<KernelTcpSocket>& sockets);

// The complete dump of `family` (AF_INET or AF_INET6), or false.
bool DumpTcpSockets(int family, std::vector<KernelTcpSocket>& sockets);
