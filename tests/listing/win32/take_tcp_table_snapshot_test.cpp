#include "listing/win32/take_tcp_table_snapshot.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A table with GetExtendedTcpTable's contract whose row count changes by a
// scheduled amount just before each call, as a busy machine's does.
struct GrowingTable {
  std::int32_t rows = 0;
  std::vector<std::int32_t> growthBeforeCall;  // indexed by call, 0 = size query
  DWORD failWith = NO_ERROR;                   // returned instead, size untouched
  std::vector<DWORD> sizesAtCall;

  DWORD Read(void* buffer, DWORD* size) {
    const std::size_t call = sizesAtCall.size();
    sizesAtCall.push_back(*size);
    if (call < growthBeforeCall.size()) rows += growthBeforeCall[call];
    if (failWith != NO_ERROR) return failWith;
    const auto needed =
        static_cast<DWORD>(kTcpTableHeaderSize + kTcpTableRowSize * static_cast<std::size_t>(rows));
    if (buffer == nullptr || *size < needed) {
      *size = needed;
      return ERROR_INSUFFICIENT_BUFFER;
    }
    std::memcpy(buffer, &rows, sizeof rows);
    std::memset(static_cast<std::uint8_t*>(buffer) + kTcpTableHeaderSize, 0xAB,
                needed - kTcpTableHeaderSize);
    *size = needed;
    return NO_ERROR;
  }
};

constexpr DWORD TableSize(std::int32_t rows) {
  return static_cast<DWORD>(kTcpTableHeaderSize +
                            kTcpTableRowSize * static_cast<std::size_t>(rows));
}

TEST(TakeTcpTableSnapshotFrom, ReadsAgainWhileTheTableOutgrowsTheBuffer) {
  struct Case {
    const char* name;
    std::int32_t rows;
    std::vector<std::int32_t> growth;
    DWORD failWith;
    std::vector<DWORD> sizesAtCall;  // the size each call was handed
    std::size_t snapshotSize;
    std::int32_t rowCount;
  };
  const Case cases[] = {
      {"steady table", 3, {}, NO_ERROR, {0, TableSize(3)}, TableSize(3), 3},
      {"empty table", 0, {}, NO_ERROR, {0, TableSize(0)}, TableSize(0), 0},
      {"grows once between the calls",
       3,
       {0, 2},
       NO_ERROR,
       {0, TableSize(3), TableSize(5)},
       TableSize(5),
       5},
      {"fits on the last read",
       1,
       {0, 1, 1, 1},
       NO_ERROR,
       {0, TableSize(1), TableSize(2), TableSize(3), TableSize(4)},
       TableSize(4),
       4},
      {"grows before every read",
       1,
       {0, 1, 1, 1, 1, 1},
       NO_ERROR,
       {0, TableSize(1), TableSize(2), TableSize(3), TableSize(4)},
       0,
       0},
      {"size query fails", 3, {}, ERROR_NOT_SUPPORTED, {0, 0}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GrowingTable table{c.rows, c.growth, c.failWith, {}};
    const TcpTableSnapshot snapshot = TakeTcpTableSnapshotFrom(
        [&table](void* buffer, DWORD* size) { return table.Read(buffer, size); });
    EXPECT_EQ(table.sizesAtCall, c.sizesAtCall);
    EXPECT_EQ(snapshot.bytes.size(), c.snapshotSize);
    EXPECT_EQ(TcpTableRowCount(snapshot), c.rowCount);
    EXPECT_EQ(ReadableTcpTableRowCount(snapshot), c.rowCount);
  }
}

TEST(TakeTcpTableSnapshotFrom, FailedReadLeavesTheZeroFilledBuffer) {
  int calls = 0;
  const TcpTableSnapshot snapshot =
      TakeTcpTableSnapshotFrom([&calls](void* buffer, DWORD* size) -> DWORD {
        if (calls++ == 0) {
          *size = TableSize(2);
          return ERROR_INSUFFICIENT_BUFFER;
        }
        EXPECT_NE(buffer, nullptr);
        return ERROR_INVALID_PARAMETER;
      });
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(snapshot.bytes, std::vector<std::uint8_t>(TableSize(2), 0));
  EXPECT_EQ(ReadableTcpTableRowCount(snapshot), 0);
}

}  // namespace
