#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "listing/fill_connection_list.h"
#include "listing/recording_connection_list.h"
#include "listing/tcp_table_snapshot.h"

namespace {

ConnectionRow Row(std::int32_t state, std::uint8_t lastLocalByte, std::uint16_t localPort,
                  std::int32_t pid) {
  return {state, {127, 0, 0, lastLocalByte}, localPort, {10, 1, 2, 3}, 443, pid};
}

struct FillFixture {
  TcpTableSnapshot snapshot;
  std::vector<std::int32_t> lookups;
  RecordingConnectionList list;

  void Fill() {
    ListingSource source{[this] { return snapshot; },
                         [this](std::int32_t pid) {
                           lookups.push_back(pid);
                           return "/bin/p" + std::to_string(pid);
                         }};
    FillConnectionList(list, source);
  }
};

TEST(FillConnectionList, WritesEachRowInTableOrderWithColumnsInOrder) {
  FillFixture f;
  AppendTcpTableRow(f.snapshot, Row(2, 1, 80, 11));
  AppendTcpTableRow(f.snapshot, Row(5, 2, 65535, 12));
  f.Fill();

  const std::vector<std::string> expected = {
      "Append 127.0.0.1", "Set 0 1 80",       "Set 0 2 10.1.2.3", "Set 0 3 443",
      "Set 0 4 11",       "Set 0 5 正在监听", "Set 0 6 /bin/p11", "Append 127.0.0.2",
      "Set 1 1 65535",    "Set 1 2 10.1.2.3", "Set 1 3 443",      "Set 1 4 12",
      "Set 1 5 已建立",   "Set 1 6 /bin/p12",
  };
  EXPECT_EQ(f.list.calls, expected);
  EXPECT_EQ(f.lookups, (std::vector<std::int32_t>{11, 12}));
}

TEST(FillConnectionList, SnapshotsWithoutRowsLeaveTheListEmpty) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const std::vector<Case> cases = {
      {"nothing filled", {}},
      {"count 0", {0, 0, 0, 0}},
      {"negative count", {0xF6, 0xFF, 0xFF, 0xFF}},
      {"count without rows", {3, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FillFixture f;
    f.snapshot.bytes = c.bytes;
    f.Fill();
    EXPECT_TRUE(f.list.calls.empty());
    EXPECT_TRUE(f.lookups.empty());
  }
}

TEST(FillConnectionList, EveryRowOfOneProcessGetsItsOwnLookup) {
  FillFixture f;
  for (std::uint16_t port : {std::uint16_t{1000}, std::uint16_t{1001}, std::uint16_t{1002}})
    AppendTcpTableRow(f.snapshot, Row(5, 1, port, 42));
  f.Fill();
  EXPECT_EQ(f.lookups, (std::vector<std::int32_t>(3, 42)));
  for (int row = 0; row < 3; ++row) EXPECT_EQ(f.list.Cell(row, 6), "/bin/p42");
}

TEST(FillConnectionList, ProcessIdZeroHasNoOwnerAndNoLookup) {
  FillFixture f;
  AppendTcpTableRow(f.snapshot, Row(11, 1, 5000, 0));
  f.Fill();
  EXPECT_TRUE(f.lookups.empty());
  EXPECT_EQ(f.list.Cell(0, 4), "0");
  EXPECT_EQ(f.list.Cell(0, 5), "延时等待");
  EXPECT_EQ(f.list.Cell(0, 6), "");
}

TEST(FillConnectionList, UnknownStatesAreStillListed) {
  FillFixture f;
  AppendTcpTableRow(f.snapshot, Row(0, 1, 1, 7));
  AppendTcpTableRow(f.snapshot, Row(13, 2, 2, 7));
  f.Fill();
  EXPECT_EQ(f.list.Cell(0, 5), "未知");
  EXPECT_EQ(f.list.Cell(1, 5), "未知");
}

TEST(FillConnectionList, RefusedRowStillGetsItsSixWrites) {
  FillFixture f;
  f.list.refuseRows = true;
  AppendTcpTableRow(f.snapshot, Row(5, 1, 80, 9));
  f.Fill();
  ASSERT_EQ(f.list.calls.size(), 7u);
  for (std::size_t i = 1; i < 7; ++i) EXPECT_EQ(f.list.calls[i].rfind("Set -1 ", 0), 0u);
  EXPECT_EQ(f.lookups, (std::vector<std::int32_t>{9}));
}

}  // namespace
