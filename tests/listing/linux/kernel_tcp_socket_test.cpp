#include "listing/linux/kernel_tcp_socket.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <string>

#include "listing/linux/sock_diag_dump.h"
#include "listing/linux/take_tcp_table_snapshot.h"

namespace {

TEST(WindowsTcpStateFromLinuxTest, MapsEveryKernelState) {
  struct Case {
    std::int32_t linuxState;
    std::int32_t windowsState;
    const char* name;
  };
  const Case cases[] = {
      {1, 5, "ESTABLISHED -> ESTAB"},
      {2, 3, "SYN_SENT -> SYN_SENT"},
      {3, 4, "SYN_RECV -> SYN_RCVD"},
      {4, 6, "FIN_WAIT1 -> FIN_WAIT1"},
      {5, 7, "FIN_WAIT2 -> FIN_WAIT2"},
      {6, 11, "TIME_WAIT -> TIME_WAIT"},
      {7, 1, "CLOSE -> CLOSED"},
      {8, 8, "CLOSE_WAIT -> CLOSE_WAIT"},
      {9, 10, "LAST_ACK -> LAST_ACK"},
      {10, 2, "LISTEN -> LISTEN"},
      {11, 9, "CLOSING -> CLOSING"},
      {12, 4, "NEW_SYN_RECV -> SYN_RCVD"},
      {0, 0, "no state 0"},
      {13, 0, "BOUND_INACTIVE has no table number"},
      {255, 0, "unknown"},
      {-1, 0, "negative"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WindowsTcpStateFromLinux(c.linuxState), c.windowsState);
  }
}

constexpr Ipv6Address kMappedLoopback = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 127, 0, 0, 1};
constexpr Ipv6Address kMappedOther = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 10, 9, 8, 7};
constexpr Ipv6Address kIpv6Loopback = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
// ::ffff:0:0/96 lookalike with the FFFF in the wrong place.
constexpr Ipv6Address kNotMapped = {0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 127, 0, 0, 1};

KernelTcpSocket Socket(std::uint8_t family, const Ipv6Address& local, const Ipv6Address& remote) {
  KernelTcpSocket socket;
  socket.family = family;
  socket.linuxState = 1;
  socket.localAddress = local;
  socket.localPort = 5000;
  socket.remoteAddress = remote;
  socket.remotePort = 6000;
  socket.inode = 77;
  return socket;
}

TEST(Ipv4RowFromSocketTest, KeepsIpv4AndIpv4OverIpv6Only) {
  struct Case {
    const char* name;
    KernelTcpSocket socket;
    bool isRow;
    Ipv4Address local;
    Ipv4Address remote;
  };
  const Case cases[] = {
      {"AF_INET",
       Socket(AF_INET, {192, 168, 1, 2}, {10, 0, 0, 1}),
       true,
       {192, 168, 1, 2},
       {10, 0, 0, 1}},
      {"v4-mapped both ends",
       Socket(AF_INET6, kMappedLoopback, kMappedOther),
       true,
       {127, 0, 0, 1},
       {10, 9, 8, 7}},
      {"v4-mapped listener, remote ::",
       Socket(AF_INET6, kMappedLoopback, {}),
       true,
       {127, 0, 0, 1},
       {0, 0, 0, 0}},
      {"dual-stack listener on ::", Socket(AF_INET6, {}, {}), false, {}, {}},
      {"real IPv6", Socket(AF_INET6, kIpv6Loopback, kIpv6Loopback), false, {}, {}},
      {"v4-mapped local, real IPv6 remote",
       Socket(AF_INET6, kMappedLoopback, kIpv6Loopback),
       false,
       {},
       {}},
      {"FFFF in the wrong place", Socket(AF_INET6, kNotMapped, {}), false, {}, {}},
      {"unknown family", Socket(AF_UNIX, {127, 0, 0, 1}, {}), false, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto row = Ipv4RowFromSocket(c.socket, 1234);
    ASSERT_EQ(row.has_value(), c.isRow);
    if (!row) continue;
    EXPECT_EQ(row->state, 5);
    EXPECT_EQ(row->localAddress, c.local);
    EXPECT_EQ(row->localPort, 5000);
    EXPECT_EQ(row->remoteAddress, c.remote);
    EXPECT_EQ(row->remotePort, 6000);
    EXPECT_EQ(row->owningPid, 1234);
  }
}

TEST(BuildTcpTableSnapshotTest, RowsInOrderWithOwnersAndWindowsLayout) {
  KernelTcpSocket listener = Socket(AF_INET, {127, 0, 0, 1}, {});
  listener.linuxState = 10;
  listener.localPort = 0x1F90;
  listener.remotePort = 0;
  listener.inode = 11;
  KernelTcpSocket timeWait = Socket(AF_INET, {127, 0, 0, 1}, {127, 0, 0, 1});
  timeWait.linuxState = 6;
  timeWait.inode = 0;
  KernelTcpSocket dualStack = Socket(AF_INET6, {}, {});
  KernelTcpSocket mapped = Socket(AF_INET6, kMappedLoopback, kMappedOther);
  mapped.inode = 33;
  KernelTcpSocket unowned = Socket(AF_INET, {10, 0, 0, 1}, {10, 0, 0, 2});
  unowned.inode = 44;
  // Inode 0 must never pick up an owner, even one the map (wrongly) holds.
  const SocketOwnerMap owners = {{0, 999}, {11, 100}, {33, 300}, {77, 700}};

  const TcpTableSnapshot snapshot =
      BuildTcpTableSnapshot({listener, timeWait, unowned, dualStack, mapped}, owners);

  ASSERT_EQ(TcpTableRowCount(snapshot), 4);
  ASSERT_EQ(snapshot.bytes.size(), kTcpTableHeaderSize + 4 * kTcpTableRowSize);
  // Listener: state 2, port 8080 stored as bytes 1F 90 in the low half.
  const std::uint8_t* first = snapshot.bytes.data() + kTcpTableHeaderSize;
  EXPECT_EQ(std::vector<std::uint8_t>(first, first + kTcpTableRowSize),
            (std::vector<std::uint8_t>{2, 0, 0, 0, 127, 0, 0, 1, 0x1F, 0x90, 0, 0,
                                       0, 0, 0, 0, 0,   0, 0, 0, 100,  0,    0, 0}));
  struct Expected {
    std::int32_t state;
    Ipv4Address local;
    Ipv4Address remote;
    std::int32_t pid;
  };
  const Expected expected[] = {
      {2, {127, 0, 0, 1}, {0, 0, 0, 0}, 100},
      {11, {127, 0, 0, 1}, {127, 0, 0, 1}, 0},
      {5, {10, 0, 0, 1}, {10, 0, 0, 2}, 0},
      {5, {127, 0, 0, 1}, {10, 9, 8, 7}, 300},
  };
  for (std::int32_t i = 1; i <= 4; ++i) {
    SCOPED_TRACE(i);
    const ConnectionRow row = DecodeTcpTableRow(snapshot, i);
    const Expected& e = expected[i - 1];
    EXPECT_EQ(row.state, e.state);
    EXPECT_EQ(row.localAddress, e.local);
    EXPECT_EQ(row.remoteAddress, e.remote);
    EXPECT_EQ(row.owningPid, e.pid);
  }
}

TEST(BuildTcpTableSnapshotTest, NoSocketsGiveACountOfZero) {
  const TcpTableSnapshot snapshot = BuildTcpTableSnapshot({}, {});
  EXPECT_EQ(snapshot.bytes, (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(TakeCompleteDumpTest, InterruptedDumpsAreThrownAwayAndTakenAgain) {
  struct Case {
    const char* name;
    std::vector<DumpResult> results;  // what each attempt reports
    bool complete;
    int attemptsMade;
  };
  const Case cases[] = {
      {"first complete", {DumpResult::kComplete}, true, 1},
      {"complete on the last try",
       {DumpResult::kInterrupted, DumpResult::kInterrupted, DumpResult::kComplete},
       true,
       3},
      {"always interrupted",
       {DumpResult::kInterrupted, DumpResult::kInterrupted, DumpResult::kInterrupted,
        DumpResult::kComplete},
       false,
       kMaxDumpAttempts},
      {"failure is not retried", {DumpResult::kFailed, DumpResult::kComplete}, false, 1},
      {"interrupted, then failed", {DumpResult::kInterrupted, DumpResult::kFailed}, false, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int attempts = 0;
    const DumpAttempt attempt = [&](std::vector<KernelTcpSocket>& sockets) {
      // Each attempt leaves one socket marked with its number.
      KernelTcpSocket socket;
      socket.inode = static_cast<std::uint32_t>(100 + attempts);
      sockets.push_back(socket);
      return c.results[static_cast<std::size_t>(attempts++)];
    };
    std::vector<KernelTcpSocket> sockets(1);  // held before: kept as it is
    EXPECT_EQ(TakeCompleteDump(attempt, sockets), c.complete);
    EXPECT_EQ(attempts, c.attemptsMade);
    ASSERT_EQ(sockets.size(), c.complete ? 2u : 1u);
    EXPECT_EQ(sockets[0].inode, 0u);
    if (c.complete) {
      EXPECT_EQ(sockets[1].inode, static_cast<std::uint32_t>(100 + attempts - 1));
    }
  }
}

}  // namespace
