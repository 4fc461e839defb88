// The snapshot against the real kernel: sockets this test opens on loopback
// must appear with their states and this process as owner, through netlink
// and through the /proc/net/tcp fallback alike.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>

#include "listing/linux/loopback_sockets.h"
#include "listing/linux/sock_diag_dump.h"
#include "listing/linux/take_tcp_table_snapshot.h"
#include "listing/platform_listing.h"
#include "listing/row_texts.h"

namespace {

constexpr Ipv4Address kLoopback = {127, 0, 0, 1};
constexpr Ipv4Address kAny = {0, 0, 0, 0};

std::int32_t OwnPid() { return static_cast<std::int32_t>(::getpid()); }

std::vector<ConnectionRow> DecodeAll(const TcpTableSnapshot& snapshot) {
  std::vector<ConnectionRow> rows;
  const std::int32_t count = ReadableTcpTableRowCount(snapshot);
  for (std::int32_t i = 1; i <= count; ++i) rows.push_back(DecodeTcpTableRow(snapshot, i));
  return rows;
}

// Index of the one row with these ends, or nothing; several such rows fail.
std::optional<std::size_t> FindRow(const std::vector<ConnectionRow>& rows, Ipv4Address local,
                                   std::uint16_t localPort, Ipv4Address remote,
                                   std::uint16_t remotePort) {
  std::optional<std::size_t> found;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ConnectionRow& row = rows[i];
    if (row.localAddress == local && row.localPort == localPort && row.remoteAddress == remote &&
        row.remotePort == remotePort) {
      EXPECT_FALSE(found.has_value()) << "two rows for port " << localPort;
      found = i;
    }
  }
  return found;
}

bool HasListenerOnPort(const std::vector<ConnectionRow>& rows, std::uint16_t port) {
  for (const ConnectionRow& row : rows) {
    if (row.localPort == port && row.state == 2) return true;
  }
  return false;
}

// Each test runs through the public TakeTcpTableSnapshot (netlink here) and
// through the /proc/net/tcp fallback.
class KernelTableTest : public testing::TestWithParam<TcpSocketSource> {
 protected:
  TcpTableSnapshot Take() const {
    return GetParam() == TcpSocketSource::kNetlinkOrProcNet
               ? TakeTcpTableSnapshot()
               : TakeTcpTableSnapshotFrom(TcpSocketSource::kProcNetOnly, "/proc");
  }
};

TEST_P(KernelTableTest, ListenerAndConnectedPairAreOwnedByThisProcess) {
  const UniqueFd listener = Listener4();
  const std::uint16_t serverPort = LocalPort(listener);
  const UniqueFd client = Connect4(serverPort);
  const UniqueFd server = Accept(listener);
  const std::uint16_t clientPort = LocalPort(client);

  const TcpTableSnapshot snapshot = Take();
  const std::int32_t count = TcpTableRowCount(snapshot);
  ASSERT_EQ(snapshot.bytes.size(), kTcpTableHeaderSize + kTcpTableRowSize * std::size_t(count));
  const std::vector<ConnectionRow> rows = DecodeAll(snapshot);

  struct Expected {
    const char* name;
    Ipv4Address local;
    std::uint16_t localPort;
    Ipv4Address remote;
    std::uint16_t remotePort;
    std::int32_t state;
  };
  const Expected expected[] = {
      {"listener", kLoopback, serverPort, kAny, 0, 2},
      {"client end", kLoopback, clientPort, kLoopback, serverPort, 5},
      {"server end", kLoopback, serverPort, kLoopback, clientPort, 5},
  };
  const std::string ownPath = std::filesystem::read_symlink("/proc/self/exe").string();
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    const auto at = FindRow(rows, e.local, e.localPort, e.remote, e.remotePort);
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(rows[*at].state, e.state);
    EXPECT_EQ(rows[*at].owningPid, OwnPid());
    EXPECT_EQ(ProcessImagePath(rows[*at].owningPid), ownPath);
  }
}

TEST_P(KernelTableTest, TimeWaitHasNoOwner) {
  const UniqueFd listener = Listener4();
  const std::uint16_t serverPort = LocalPort(listener);
  UniqueFd client = Connect4(serverPort);
  UniqueFd server = Accept(listener);
  const std::uint16_t clientPort = LocalPort(client);
  // The side that closes first ends in TIME_WAIT, a socket no file refers to.
  client.Reset();
  char byte = 0;
  ASSERT_EQ(::read(server.Get(), &byte, 1), 0);
  server.Reset();

  // The last ACK crosses loopback at once, but let the kernel catch up.
  std::optional<ConnectionRow> row;
  for (int attempt = 0; attempt < 200 && (!row || row->state != 11); ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto rows = DecodeAll(Take());
    const auto at = FindRow(rows, kLoopback, clientPort, kLoopback, serverPort);
    row = at ? std::optional(rows[*at]) : std::nullopt;
  }
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(row->state, 11);
  EXPECT_EQ(row->owningPid, 0);
}

// Recent kernels dump such sockets (as CLOSE) when a dump asks for every state.
TEST_P(KernelTableTest, BoundSocketThatNeitherListensNorConnectsIsNotListed) {
  const UniqueFd bound = TcpSocket(AF_INET);
  Bind4(bound, kLoopback4, 0);
  const std::uint16_t port = LocalPort(bound);
  const auto rows = DecodeAll(Take());
  for (const ConnectionRow& row : rows) EXPECT_NE(row.localPort, port) << "state " << row.state;
}

TEST_P(KernelTableTest, Ipv4OnIpv6SocketsFollowTheIpv4RowsAndDualStackListenersDoNot) {
  UniqueFd probe(::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!probe.IsValid()) GTEST_SKIP() << "no IPv6 in this kernel";

  const UniqueFd listener = Listener4();
  const std::uint16_t serverPort = LocalPort(listener);
  // An IPv6 socket connected to the IPv4 listener; the accepted end is IPv4.
  const UniqueFd client6 = Connect6(MappedLoopback6(), serverPort);
  const UniqueFd server = Accept(listener);
  const std::uint16_t client6Port = LocalPort(client6);
  // An IPv6 listener bound to the v4-mapped loopback address.
  const UniqueFd mappedListener = TcpSocket(AF_INET6);
  Bind6(mappedListener, MappedLoopback6(), 0);
  ASSERT_EQ(::listen(mappedListener.Get(), 8), 0);
  const std::uint16_t mappedPort = LocalPort(mappedListener);
  // A dual-stack listener on "::": an IPv6 socket first, not an IPv4 row.
  const UniqueFd dualStack = TcpSocket(AF_INET6);
  const int off = 0;
  ASSERT_EQ(::setsockopt(dualStack.Get(), IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof(off)), 0);
  Bind6(dualStack, in6addr_any, 0);
  ASSERT_EQ(::listen(dualStack.Get(), 8), 0);
  const std::uint16_t dualStackPort = LocalPort(dualStack);

  const auto rows = DecodeAll(Take());

  const auto ipv4Listener = FindRow(rows, kLoopback, serverPort, kAny, 0);
  const auto acceptedEnd = FindRow(rows, kLoopback, serverPort, kLoopback, client6Port);
  const auto ipv6ClientEnd = FindRow(rows, kLoopback, client6Port, kLoopback, serverPort);
  const auto ipv6Listener = FindRow(rows, kLoopback, mappedPort, kAny, 0);
  ASSERT_TRUE(ipv4Listener && acceptedEnd && ipv6ClientEnd && ipv6Listener);
  EXPECT_EQ(rows[*ipv6ClientEnd].state, 5);
  EXPECT_EQ(rows[*ipv6ClientEnd].owningPid, OwnPid());
  EXPECT_EQ(rows[*ipv6Listener].state, 2);
  EXPECT_EQ(rows[*ipv6Listener].owningPid, OwnPid());
  EXPECT_GT(*ipv6ClientEnd, std::max(*ipv4Listener, *acceptedEnd));
  EXPECT_GT(*ipv6Listener, std::max(*ipv4Listener, *acceptedEnd));
  EXPECT_FALSE(HasListenerOnPort(rows, dualStackPort));
}

// What iproute2's ss shows for the sockets of this test, as comparable rows.
using Ends = std::tuple<std::string, std::uint16_t, std::string, std::uint16_t, std::int32_t>;

std::int32_t WindowsStateFromSsName(const std::string& name) {
  static const std::pair<const char*, std::int32_t> kNames[] = {
      {"UNCONN", 1},  {"LISTEN", 2},     {"SYN-SENT", 3},   {"SYN-RECV", 4},
      {"ESTAB", 5},   {"FIN-WAIT-1", 6}, {"FIN-WAIT-2", 7}, {"CLOSE-WAIT", 8},
      {"CLOSING", 9}, {"LAST-ACK", 10},  {"TIME-WAIT", 11},
  };
  for (const auto& [text, state] : kNames) {
    if (name == text) return state;
  }
  return 0;
}

// "127.0.0.1:80", "0.0.0.0:*", "127.0.0.1%lo:53".
std::pair<std::string, std::uint16_t> SplitSsAddress(const std::string& text) {
  const std::size_t colon = text.rfind(':');
  std::string address = text.substr(0, colon);
  address = address.substr(0, address.find('%'));
  const std::string port = text.substr(colon + 1);
  return {address, port == "*" ? std::uint16_t{0} : static_cast<std::uint16_t>(std::stoi(port))};
}

std::optional<std::string> RunCommand(const char* command) {
  const std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command, "r"), ::pclose);
  if (!pipe) return std::nullopt;
  std::string output;
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof(chunk), pipe.get())) > 0) output.append(chunk, got);
  return output;
}

TEST_P(KernelTableTest, AgreesWithSsOnThisTestsSockets) {
  const UniqueFd listener = Listener4();
  const std::uint16_t serverPort = LocalPort(listener);
  const UniqueFd client = Connect4(serverPort);
  const UniqueFd server = Accept(listener);
  const UniqueFd second = Connect4(serverPort);  // left in the accept queue
  const auto isOurs = [serverPort](std::uint16_t localPort, std::uint16_t remotePort) {
    return localPort == serverPort || remotePort == serverPort;
  };

  const auto output = RunCommand("ss -Htan4 2>/dev/null");
  if (!output || output->empty()) GTEST_SKIP() << "ss (iproute2) did not run";
  std::set<Ends> fromSs;
  std::istringstream lines(*output);
  std::string state, receiveQueue, sendQueue, local, remote;
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    if (!(words >> state >> receiveQueue >> sendQueue >> local >> remote)) continue;
    const auto [localAddress, localPort] = SplitSsAddress(local);
    const auto [remoteAddress, remotePort] = SplitSsAddress(remote);
    if (isOurs(localPort, remotePort)) {
      fromSs.emplace(localAddress, localPort, remoteAddress, remotePort,
                     WindowsStateFromSsName(state));
    }
  }

  std::set<Ends> fromSnapshot;
  for (const ConnectionRow& row : DecodeAll(Take())) {
    if (isOurs(row.localPort, row.remotePort)) {
      fromSnapshot.emplace(DottedAddress(row.localAddress), row.localPort,
                           DottedAddress(row.remoteAddress), row.remotePort, row.state);
    }
  }
  // Listener, two connections, both of their ends.
  EXPECT_EQ(fromSs.size(), 5u);
  EXPECT_EQ(fromSnapshot, fromSs);
}

std::string SourceName(const testing::TestParamInfo<TcpSocketSource>& source) {
  return source.param == TcpSocketSource::kNetlinkOrProcNet ? "Netlink" : "ProcNetTcp";
}

INSTANTIATE_TEST_SUITE_P(BothSources, KernelTableTest,
                         testing::Values(TcpSocketSource::kNetlinkOrProcNet,
                                         TcpSocketSource::kProcNetOnly),
                         SourceName);

// The default path must really be netlink here, not a silent fallback.
TEST(SockDiagDumpTest, NetlinkDumpListsThisProcessesListener) {
  const UniqueFd listener = Listener4();
  const std::uint16_t port = LocalPort(listener);
  std::vector<KernelTcpSocket> sockets;
  ASSERT_TRUE(DumpTcpSockets(AF_INET, sockets));
  std::size_t matches = 0;
  for (const KernelTcpSocket& socket : sockets) {
    EXPECT_EQ(socket.family, AF_INET);
    if (socket.localPort != port) continue;
    ++matches;
    EXPECT_EQ(socket.linuxState, kLinuxTcpListen);
    EXPECT_EQ(socket.inode, SocketInode(listener));
  }
  EXPECT_EQ(matches, 1u);
}

}  // namespace
