#include "cli/table_output.h"

#include <algorithm>

#include "listing/escaped_text.h"

namespace {

constexpr std::size_t kColumnGap = 2;

}  // namespace

void AppendTabSeparatedLine(const TextRow& row, std::string& out) {
  for (std::size_t c = 0; c < row.size(); ++c) {
    if (c != 0) out.push_back('\t');
    AppendEscapedForTerminal(row[c], out);
  }
  out.push_back('\n');
}

std::string FormatConnectionTable(const TextRow& titles, const std::vector<TextRow>& rows,
                                  TableLayout layout) {
  if (layout == TableLayout::TabSeparated) {
    std::string out;
    AppendTabSeparatedLine(titles, out);
    for (const TextRow& row : rows) AppendTabSeparatedLine(row, out);
    return out;
  }
  std::vector<TextRow> escaped;
  escaped.reserve(rows.size() + 1);
  const auto escapeRow = [](const TextRow& row) {
    TextRow out;
    for (std::size_t c = 0; c < row.size(); ++c) out[c] = EscapeForTerminal(row[c]);
    return out;
  };
  escaped.push_back(escapeRow(titles));
  for (const TextRow& row : rows) escaped.push_back(escapeRow(row));

  std::array<std::size_t, kConnectionListColumnCount> widths{};
  for (const TextRow& row : escaped) {
    for (std::size_t c = 0; c < row.size(); ++c)
      widths[c] = std::max(widths[c], DisplayWidth(row[c]));
  }

  std::string out;
  for (const TextRow& row : escaped) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      const bool last = c + 1 == row.size();
      out += row[c];
      if (last) break;
      out.append(widths[c] - DisplayWidth(row[c]) + kColumnGap, ' ');
    }
    // No trailing blanks after an empty last cell.
    while (!out.empty() && out.back() == ' ') out.pop_back();
    out.push_back('\n');
  }
  return out;
}
