#include "listing/linux/proc_net_tcp.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <bit>
#include <fstream>

#include "listing/linux/temp_dir.h"

namespace {

// As a little-endian machine prints them: each 32-bit address word is the
// network-order word read as a host integer.
constexpr const char* kTcpSample =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
    "timeout inode                                                     \n"
    "   0: 00000000:07E8 00000000:0000 0A 00000000:00000000 00:00000000 00000000     0        0 "
    "1193 1 00000000eb97fe37 100 0 0 10 0                      \n"
    "   1: 0100007F:8E7D 0201A8C0:01BB 01 00000000:00000000 00:00000000 00000000  1000        0 "
    "23087 1 00000000bcf63dd8 20 4 30 10 -1                     \n"
    "   2: 0100007F:E5B2 0100007F:8E7D 06 00000000:00000000 03:0000175B 00000000     0        0 "
    "0 3 00000000e7096e0d                                      \n"
    "   3: 0100007F:E5B2 0100007F 01 00000000:00000000 00:00000000 00000000     0        0 55\n"
    "   4: 0100007G:E5B2 0100007F:8E7D 01 00000000:00000000 00:00000000 00000000     0        0 "
    "66\n"
    "   5: 0100007F:E5B2 0100007F:8E7D 01 00000000:00000000\n"
    "   6: 0100007F:FFFF 0100007F:0050 0B 00000000:00000000 00:00000000 00000000     0        0 "
    "4294967295 1 0000000000000000 20 4 30 10 -1";  // last line without its newline

constexpr const char* kTcp6Sample =
    "  sl  local_address                         remote_address                        st "
    "tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n"
    "   0: 00000000000000000000000001000000:9361 00000000000000000000000000000000:0000 0A "
    "00000000:00000000 00:00000000 00000000     0        0 23085 1 000000008681e713 100 0 0 10 "
    "0\n"
    "   1: 0000000000000000FFFF00000100007F:C2E4 0000000000000000FFFF00000100007F:AC3B 01 "
    "00000000:00000000 00:00000000 00000000     0        0 23083 2 000000000374025e 20 0 0 10 "
    "-1\n"
    "   2: 0000000000000000FFFF00000100007F:C2E4 0100007F:AC3B 01 "
    "00000000:00000000 00:00000000 00000000     0        0 23084 2 000000000374025e 20 0 0 10 "
    "-1\n";

class ProcNetTcpTest : public testing::Test {
 protected:
  void SetUp() override {
    if constexpr (std::endian::native != std::endian::little) {
      GTEST_SKIP() << "the samples are printed as a little-endian machine prints them";
    }
  }
};

TEST_F(ProcNetTcpTest, Ipv4LinesParseAndBadLinesAreSkipped) {
  std::vector<KernelTcpSocket> sockets;
  ParseProcNetTcp(kTcpSample, AF_INET, sockets);
  struct Expected {
    std::int32_t state;
    Ipv6Address local;
    std::uint16_t localPort;
    Ipv6Address remote;
    std::uint16_t remotePort;
    std::uint32_t inode;
  };
  const Expected expected[] = {
      {10, {0, 0, 0, 0}, 2024, {0, 0, 0, 0}, 0, 1193},
      {1, {127, 0, 0, 1}, 0x8E7D, {192, 168, 1, 2}, 443, 23087},
      {6, {127, 0, 0, 1}, 0xE5B2, {127, 0, 0, 1}, 0x8E7D, 0},
      {11, {127, 0, 0, 1}, 65535, {127, 0, 0, 1}, 80, 4294967295u},
  };
  ASSERT_EQ(sockets.size(), std::size(expected));
  for (std::size_t i = 0; i < sockets.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(sockets[i].family, AF_INET);
    EXPECT_EQ(sockets[i].linuxState, expected[i].state);
    EXPECT_EQ(sockets[i].localAddress, expected[i].local);
    EXPECT_EQ(sockets[i].localPort, expected[i].localPort);
    EXPECT_EQ(sockets[i].remoteAddress, expected[i].remote);
    EXPECT_EQ(sockets[i].remotePort, expected[i].remotePort);
    EXPECT_EQ(sockets[i].inode, expected[i].inode);
  }
}

TEST_F(ProcNetTcpTest, Ipv6LinesKeepTheirSixteenBytes) {
  std::vector<KernelTcpSocket> sockets;
  ParseProcNetTcp(kTcp6Sample, AF_INET6, sockets);
  // The third line has an IPv4-sized remote address and is skipped.
  ASSERT_EQ(sockets.size(), 2u);
  EXPECT_EQ(sockets[0].family, AF_INET6);
  EXPECT_EQ(sockets[0].localAddress, (Ipv6Address{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(sockets[0].localPort, 0x9361);
  EXPECT_EQ(sockets[0].linuxState, 10);
  const Ipv6Address mappedLoopback = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 127, 0, 0, 1};
  EXPECT_EQ(sockets[1].localAddress, mappedLoopback);
  EXPECT_EQ(sockets[1].localPort, 0xC2E4);
  EXPECT_EQ(sockets[1].remoteAddress, mappedLoopback);
  EXPECT_EQ(sockets[1].remotePort, 0xAC3B);
  EXPECT_EQ(sockets[1].linuxState, 1);
  EXPECT_EQ(sockets[1].inode, 23083u);
}

TEST_F(ProcNetTcpTest, EmptyAndHeaderOnlyTextsGiveNothing) {
  for (const char* text : {"", "\n\n", "  sl  local_address rem_address   st\n"}) {
    SCOPED_TRACE(text);
    std::vector<KernelTcpSocket> sockets;
    ParseProcNetTcp(text, AF_INET, sockets);
    EXPECT_TRUE(sockets.empty());
  }
}

TEST_F(ProcNetTcpTest, ReadsTheFilesUnderAProcRoot) {
  const TempDir root;
  root.MakeDirectory("net");
  root.WriteFile("net/tcp", kTcpSample);
  std::vector<KernelTcpSocket> sockets;
  EXPECT_TRUE(ReadProcNetTcp(root.Path(), AF_INET, sockets));
  EXPECT_EQ(sockets.size(), 4u);
  // No tcp6 (a kernel without IPv6): nothing added, and it says so.
  EXPECT_FALSE(ReadProcNetTcp(root.Path(), AF_INET6, sockets));
  EXPECT_EQ(sockets.size(), 4u);
}

TEST(ReadWholeFileTest, ReadsPastOneChunk) {
  const TempDir root;
  std::string big(200'000, 'x');
  big.back() = 'y';
  root.WriteFile("big", big);
  EXPECT_EQ(ReadWholeFile(root.Path() + "/big"), big);
  EXPECT_EQ(ReadWholeFile(root.Path() + "/missing"), std::nullopt);
  // A proc file says its size is 0 and still has contents.
  const auto self = ReadWholeFile("/proc/self/status");
  ASSERT_TRUE(self.has_value());
  EXPECT_NE(self->find("Pid:"), std::string::npos);
}

}  // namespace
