#include "listing/linux/take_tcp_table_snapshot.h"

#include <sys/socket.h>

#include "listing/linux/proc_net_tcp.h"
#include "listing/linux/sock_diag_dump.h"
#include "listing/platform_listing.h"

std::vector<KernelTcpSocket> ReadKernelTcpSockets(TcpSocketSource source,
                                                  const std::string& procRoot) {
  std::vector<KernelTcpSocket> sockets;
  for (const int family : {AF_INET, AF_INET6}) {
    if (source == TcpSocketSource::kNetlinkOrProcNet && DumpTcpSockets(family, sockets)) continue;
    // A family whose file is missing too (no IPv6) simply adds nothing.
    ReadProcNetTcp(procRoot, family, sockets);
  }
  return sockets;
}

TcpTableSnapshot BuildTcpTableSnapshot(const std::vector<KernelTcpSocket>& sockets,
                                       const SocketOwnerMap& owners) {
  TcpTableSnapshot snapshot;
  snapshot.bytes.reserve(kTcpTableHeaderSize + kTcpTableRowSize * sockets.size());
  snapshot.bytes.assign(kTcpTableHeaderSize, 0);
  for (const KernelTcpSocket& socket : sockets) {
    std::int32_t pid = 0;
    if (socket.inode != 0) {
      const auto owner = owners.find(socket.inode);
      if (owner != owners.end()) pid = owner->second;
    }
    if (const auto row = Ipv4RowFromSocket(socket, pid)) AppendTcpTableRow(snapshot, *row);
  }
  return snapshot;
}

TcpTableSnapshot TakeTcpTableSnapshotFrom(TcpSocketSource source, const std::string& procRoot) {
  const std::vector<KernelTcpSocket> sockets = ReadKernelTcpSockets(source, procRoot);
  // The owners are read after the table: a socket opened in between has no
  // row, one closed in between keeps its row with owner 0.
  const SocketOwnerMap owners = ScanSocketOwners(procRoot, sockets.size());
  return BuildTcpTableSnapshot(sockets, owners);
}

TcpTableSnapshot TakeTcpTableSnapshot() {
  return TakeTcpTableSnapshotFrom(TcpSocketSource::kNetlinkOrProcNet, "/proc");
}
