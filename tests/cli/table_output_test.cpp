#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/table_output.h"
#include "cli/text_connection_list.h"

namespace {

const TextRow kTitles = {"本地地址", "本地端口", "远程地址", "远程端口", "进程号", "状态", "路径"};

TEST(TextConnectionList, AppendsInOrderAndIgnoresCellsThatDoNotExist) {
  TextConnectionList list;
  EXPECT_EQ(list.AppendRow("a"), 0);
  EXPECT_EQ(list.AppendRow(""), 1);
  EXPECT_EQ(list.AppendRow("c"), 2);
  list.SetCellText(1, 6, "/bin/x");
  list.SetCellText(-1, 1, "lost");
  list.SetCellText(3, 1, "lost");
  list.SetCellText(0, 7, "lost");
  list.SetCellText(0, -1, "lost");
  ASSERT_EQ(list.Rows().size(), 3u);
  EXPECT_EQ(list.Rows()[0], (TextRow{"a", "", "", "", "", "", ""}));
  EXPECT_EQ(list.Rows()[1], (TextRow{"", "", "", "", "", "", "/bin/x"}));
}

TEST(FormatConnectionTable, TabSeparatedKeepsOneLinePerRow) {
  const std::vector<TextRow> rows = {
      {"127.0.0.1", "22", "0.0.0.0", "0", "1", "正在监听", "/usr/sbin/sshd"},
      {"10.0.0.1", "5000", "10.0.0.2", "80", "7", "已建立", "/tmp/evil\nname\twith tab"},
  };
  EXPECT_EQ(FormatConnectionTable(kTitles, rows, TableLayout::TabSeparated),
            "本地地址\t本地端口\t远程地址\t远程端口\t进程号\t状态\t路径\n"
            "127.0.0.1\t22\t0.0.0.0\t0\t1\t正在监听\t/usr/sbin/sshd\n"
            "10.0.0.1\t5000\t10.0.0.2\t80\t7\t已建立\t/tmp/evil\\nname\\twith tab\n");
}

TEST(FormatConnectionTable, AlignedPadsByDisplayWidth) {
  const std::vector<TextRow> rows = {
      {"127.0.0.1", "22", "0.0.0.0", "0", "1", "正在监听", ""},
  };
  const std::string out = FormatConnectionTable(kTitles, rows, TableLayout::Aligned);
  EXPECT_EQ(out,
            "本地地址   本地端口  远程地址  远程端口  进程号  状态      路径\n"
            "127.0.0.1  22        0.0.0.0   0         1       正在监听\n");
}

TEST(FormatConnectionTable, NoRowsGivesTheHeaderOnly) {
  EXPECT_EQ(FormatConnectionTable(kTitles, {}, TableLayout::TabSeparated),
            "本地地址\t本地端口\t远程地址\t远程端口\t进程号\t状态\t路径\n");
}

}  // namespace
