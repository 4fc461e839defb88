#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/console_output.h"
#include "cli/streaming_connection_table.h"
#include "cli/table_output.h"

namespace {

const TextRow kTitles = {"本地地址", "本地端口", "远程地址", "远程端口", "进程号", "状态", "路径"};

// What the sink was handed, one entry per write.
struct SinkRecord {
  std::vector<std::string> writes;
  int failAfter = -1;  // the write with this index fails, and any after it

  StreamingConnectionTable::Sink Sink() {
    return [this](std::string_view text) {
      writes.emplace_back(text);
      return failAfter < 0 || static_cast<int>(writes.size()) <= failAfter;
    };
  }
  std::string All() const {
    std::string all;
    for (const std::string& w : writes) all += w;
    return all;
  }
};

void Fill(ConnectionList& list, const std::vector<TextRow>& rows) {
  for (const TextRow& row : rows) {
    const std::int32_t index = list.AppendRow(row[0]);
    for (std::int32_t c = 1; c < kConnectionListColumnCount; ++c) {
      list.SetCellText(index, c, row[static_cast<std::size_t>(c)]);
    }
  }
}

TEST(StreamingConnectionTable, WritesWhatTheWholeTableWouldInChunksOfWholeLines) {
  std::vector<TextRow> rows = {
      {"127.0.0.1", "22", "0.0.0.0", "0", "1", "正在监听", "/usr/sbin/sshd"},
      {"10.0.0.1", "5000", "10.0.0.2", "80", "7", "已建立", "/tmp/evil\nname\twith tab\x1b[2J"},
      {"10.0.0.1", "5001", "10.0.0.2", "80", "0", "未知", ""},
      {"10.0.0.1", "5002", "10.0.0.2", "80", "9", "延时等待", "/opt/\xff\\bad\xe2\x80\xae"},
  };
  for (int i = 0; i < 200; ++i) rows.push_back(rows[static_cast<std::size_t>(i % 4)]);
  // The cells arrive in the list's 8-bit texts; the whole table is made of UTF-8 ones.
  std::vector<TextRow> utf8Rows = rows;
  for (TextRow& row : utf8Rows) {
    for (std::string& cell : row) cell = ListTextToUtf8(cell);
  }
  const std::string expected = FormatConnectionTable(kTitles, utf8Rows, TableLayout::TabSeparated);

  for (const std::size_t chunk : {std::size_t{1}, std::size_t{100}, std::size_t{4096},
                                  StreamingConnectionTable::kDefaultChunkSize}) {
    SCOPED_TRACE(chunk);
    SinkRecord sink;
    StreamingConnectionTable table(kTitles, sink.Sink(), chunk);
    Fill(table, rows);
    EXPECT_TRUE(table.Finish());
    EXPECT_EQ(sink.All(), expected);
    for (const std::string& write : sink.writes) {
      ASSERT_FALSE(write.empty());
      EXPECT_EQ(write.back(), '\n');
    }
    // The header goes out with the first row.
    if (chunk == 1) {
      EXPECT_EQ(sink.writes.size(), rows.size());
    }
  }
}

TEST(StreamingConnectionTable, OnlyTheNewestRowTakesCells) {
  SinkRecord sink;
  StreamingConnectionTable table(kTitles, sink.Sink(), 1);
  EXPECT_EQ(table.AppendRow("a"), 0);
  table.SetCellText(0, 6, "/bin/a");
  EXPECT_EQ(table.AppendRow("b"), 1);
  table.SetCellText(0, 1, "too late");
  table.SetCellText(2, 1, "no such row");
  table.SetCellText(-1, 1, "refused row");
  table.SetCellText(1, 7, "no such column");
  table.SetCellText(1, -1, "no such column");
  table.SetCellText(1, 2, "b2");
  EXPECT_TRUE(table.Finish());
  std::string expected;
  AppendTabSeparatedLine(kTitles, expected);
  expected += "a\t\t\t\t\t\t/bin/a\nb\t\tb2\t\t\t\t\n";
  EXPECT_EQ(sink.All(), expected);
}

TEST(StreamingConnectionTable, AFailedWriteIsReportedAndEndsTheWriting) {
  SinkRecord sink;
  sink.failAfter = 1;
  StreamingConnectionTable table(kTitles, sink.Sink(), 1);
  for (const char* address : {"a", "b", "c"}) table.AppendRow(address);
  EXPECT_FALSE(table.Finish());
  EXPECT_EQ(sink.writes.size(), 2u);
}

TEST(StreamingConnectionTable, NoRowsGivesTheHeaderOnly) {
  SinkRecord sink;
  StreamingConnectionTable table(kTitles, sink.Sink());
  EXPECT_TRUE(table.Finish());
  EXPECT_EQ(sink.All(), FormatConnectionTable(kTitles, {}, TableLayout::TabSeparated));
}

}  // namespace
