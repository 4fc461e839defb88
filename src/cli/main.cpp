// corvenna-list: prints the connection table with each connection's owner,
// the same seven columns the window shows, for terminals and scripts.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/console_output.h"
#include "cli/streaming_connection_table.h"
#include "cli/table_output.h"
#include "cli/text_connection_list.h"
#include "listing/fill_connection_list.h"
#include "window/window_description.h"

namespace {

constexpr const char* kUsage =
    "usage: corvenna-list\n"
    "Prints this machine's IPv4 TCP connections, one per line: local address and port,\n"
    "remote address and port, process id, state and the owning executable's path.\n"
    "Columns are aligned on a terminal and separated by tabs otherwise. Control\n"
    "characters and invalid bytes in texts are written as backslash escapes.\n";

TextRow ColumnTitles() {
  const auto& list = std::get<ReportListSettings>(
      FindControl(MainWindowDescription(), ControlKind::ReportList).settings);
  TextRow titles;
  for (std::size_t c = 0; c < titles.size(); ++c) titles[c] = ListTextToUtf8(list.columns[c].title);
  return titles;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    if (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0) {
      return WriteToOutput(kUsage) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
      return WriteToOutput("corvenna-list 1.0.0\n") ? 0 : 1;
    }
    std::fprintf(stderr, "corvenna-list: unknown argument '%s' (try --help)\n", argv[1]);
    return 2;
  }

  // Into a pipe or file the rows go out as they come, so the table is never
  // held whole; aligned columns need every width first.
  if (!OutputIsTerminal()) {
    StreamingConnectionTable table(ColumnTitles(), WriteToOutput);
    FillConnectionList(table);
    if (!table.Finish()) {
      std::fprintf(stderr, "corvenna-list: could not write the table\n");
      return 1;
    }
    return 0;
  }

  TextConnectionList list;
  FillConnectionList(list);

  std::vector<TextRow> rows;
  rows.reserve(list.Rows().size());
  for (const TextRow& row : list.Rows()) {
    TextRow utf8;
    for (std::size_t c = 0; c < row.size(); ++c) utf8[c] = ListTextToUtf8(row[c]);
    rows.push_back(std::move(utf8));
  }
  if (!WriteToOutput(FormatConnectionTable(ColumnTitles(), rows, TableLayout::Aligned))) {
    std::fprintf(stderr, "corvenna-list: could not write the table\n");
    return 1;
  }
  return 0;
}
