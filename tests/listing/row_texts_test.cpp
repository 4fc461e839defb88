#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "listing/row_texts.h"
#include "listing/tcp_table_snapshot.h"

namespace {

TcpTableSnapshot SnapshotFromBytes(std::vector<std::uint8_t> bytes) { return {std::move(bytes)}; }

std::vector<std::uint8_t> OneRowBytes(const std::vector<std::uint8_t>& row) {
  std::vector<std::uint8_t> bytes = {1, 0, 0, 0};
  bytes.insert(bytes.end(), row.begin(), row.end());
  return bytes;
}

TEST(RowDecoding, FieldsComeFromTheirOffsets) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> row;  // 24 bytes
    std::int32_t state;
    std::string local, localPort, remote, remotePort, pid;
  };
  const std::vector<Case> cases = {
      {"listener",
       {2, 0, 0, 0, 127, 0, 0, 1, 0x00, 0x50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x39, 0x30, 0, 0},
       2,
       "127.0.0.1",
       "80",
       "0.0.0.0",
       "0",
       "12345"},
      {"highest port and address bytes",
       {5,   0,   0,   0,   0xC0, 0xA8, 1, 2, 0xFF, 0xFF, 0,    0,
        255, 255, 255, 255, 0x01, 0xBB, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F},
       5,
       "192.168.1.2",
       "65535",
       "255.255.255.255",
       "443",
       "2147483647"},
      {"upper bytes of a port field are ignored",
       {11, 0, 0, 0, 10,   0,    0,    1,    0x1F, 0x90, 0xAB, 0xCD,
        10, 0, 0, 2, 0x00, 0x16, 0xFF, 0xFF, 0,    0,    0,    0},
       11,
       "10.0.0.1",
       "8080",
       "10.0.0.2",
       "22",
       "0"},
      {"negative process id",
       {1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF},
       1,
       "0.0.0.0",
       "1",
       "0.0.0.0",
       "256",
       "-2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TcpTableSnapshot snapshot = SnapshotFromBytes(OneRowBytes(c.row));
    ASSERT_EQ(ReadableTcpTableRowCount(snapshot), 1);
    const ConnectionRow row = DecodeTcpTableRow(snapshot, 1);
    EXPECT_EQ(row.state, c.state);
    EXPECT_EQ(DottedAddress(row.localAddress), c.local);
    EXPECT_EQ(PortText(row.localPort), c.localPort);
    EXPECT_EQ(DottedAddress(row.remoteAddress), c.remote);
    EXPECT_EQ(PortText(row.remotePort), c.remotePort);
    EXPECT_EQ(ProcessIdText(row.owningPid), c.pid);
  }
}

TEST(RowDecoding, RowCountNeverReachesPastTheBuffer) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::int32_t stored, readable;
  };
  std::vector<std::uint8_t> twoRows(4 + 2 * 24, 0);
  twoRows[0] = 2;
  std::vector<std::uint8_t> claimsThree = twoRows;
  claimsThree[0] = 3;
  std::vector<std::uint8_t> largerBuffer(4 + 5 * 24, 0);
  largerBuffer[0] = 2;
  const std::vector<Case> cases = {
      {"empty buffer", {}, 0, 0},
      {"shorter than the count", {7, 0}, 0, 0},
      {"count of zero", {0, 0, 0, 0}, 0, 0},
      {"negative count", {0xFF, 0xFF, 0xFF, 0xFF}, -1, 0},
      {"two rows", twoRows, 2, 2},
      {"count larger than the rows held", claimsThree, 3, 2},
      {"buffer larger than the rows counted", largerBuffer, 2, 2},
      {"huge count in a header only", {0xFF, 0xFF, 0xFF, 0x7F}, 0x7FFFFFFF, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TcpTableSnapshot snapshot = SnapshotFromBytes(c.bytes);
    EXPECT_EQ(TcpTableRowCount(snapshot), c.stored);
    EXPECT_EQ(ReadableTcpTableRowCount(snapshot), c.readable);
  }
}

TEST(RowDecoding, AppendedRowsDecodeToTheSameValues) {
  TcpTableSnapshot snapshot;
  const ConnectionRow rows[] = {
      {5, {127, 0, 0, 1}, 40000, {127, 0, 0, 2}, 443, 77},
      {2, {0, 0, 0, 0}, 65535, {0, 0, 0, 0}, 0, 0},
  };
  for (const ConnectionRow& row : rows) AppendTcpTableRow(snapshot, row);
  ASSERT_EQ(ReadableTcpTableRowCount(snapshot), 2);
  for (std::int32_t i = 1; i <= 2; ++i) {
    const ConnectionRow& want = rows[i - 1];
    const ConnectionRow got = DecodeTcpTableRow(snapshot, i);
    EXPECT_EQ(got.state, want.state);
    EXPECT_EQ(got.localAddress, want.localAddress);
    EXPECT_EQ(got.localPort, want.localPort);
    EXPECT_EQ(got.remoteAddress, want.remoteAddress);
    EXPECT_EQ(got.remotePort, want.remotePort);
    EXPECT_EQ(got.owningPid, want.owningPid);
  }
  // Network byte order in memory: port 40000 = 0x9C40 is stored 9C 40.
  EXPECT_EQ(snapshot.bytes[4 + 8], 0x9C);
  EXPECT_EQ(snapshot.bytes[4 + 9], 0x40);
}

TEST(TcpStateLabel, EveryStateHasItsLabel) {
  const std::pair<std::int32_t, std::string> cases[] = {
      {1, "已关闭"},   {2, "正在监听"},  {3, "同步发送"},  {4, "同步接收"},
      {5, "已建立"},   {6, "FIN_WAIT1"}, {7, "FIN_WAIT2"}, {8, "关闭等待"},
      {9, "正在关闭"}, {10, "最后确认"}, {11, "延时等待"}, {12, "删除"},
      {0, "未知"},     {13, "未知"},     {-1, "未知"},     {INT32_MIN, "未知"},
  };
  for (const auto& [state, label] : cases) {
    SCOPED_TRACE(state);
    EXPECT_EQ(TcpStateLabel(state), label);
  }
}

}  // namespace
