// The Linux TakeTcpTableSnapshot, in pieces that tests can drive: where the
// sockets come from, where /proc is, and how sockets and owners become rows.
#pragma once

#include <string>
#include <vector>

#include "listing/linux/kernel_tcp_socket.h"
#include "listing/linux/socket_owner_map.h"
#include "listing/tcp_table_snapshot.h"

enum class TcpSocketSource {
  kNetlinkOrProcNet,  // sock_diag, and /proc/net/tcp* for a family it refuses
  kProcNetOnly,       // /proc/net/tcp* alone
};

// All TCP sockets, the AF_INET ones first, then the AF_INET6 ones.
std::vector<KernelTcpSocket> ReadKernelTcpSockets(TcpSocketSource source,
                                                  const std::string& procRoot);

// One row per socket that carries IPv4, in the order given, owned by the pid
// that `owners` gives for its inode (0 when none does).
TcpTableSnapshot BuildTcpTableSnapshot(const std::vector<KernelTcpSocket>& sockets,
                                       const SocketOwnerMap& owners);

TcpTableSnapshot TakeTcpTableSnapshotFrom(TcpSocketSource source, const std::string& procRoot);
