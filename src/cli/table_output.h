// The lister's output: a header line of the seven column titles, then one
// line per row, every cell escaped.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cli/text_connection_list.h"

enum class TableLayout {
  Aligned,       // columns padded with spaces, for a person at a terminal
  TabSeparated,  // one tab between cells, for scripts
};

// `titles` and the cells are UTF-8.
std::string FormatConnectionTable(const TextRow& titles, const std::vector<TextRow>& rows,
                                  TableLayout layout);

// Appends one line of the tab-separated layout: every cell escaped, a tab
// between cells, a newline at the end.
void AppendTabSeparatedLine(const TextRow& row, std::string& out);
