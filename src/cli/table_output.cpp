#include "cli/table_output.h"

#include <algorithm>

#include "cli/terminal_text.h"

namespace {

constexpr std::size_t kColumnGap = 2;

}  // namespace

std::string FormatConnectionTable(const TextRow& titles, const std::vector<TextRow>& rows,
                                  TableLayout layout) {
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
  if (layout == TableLayout::Aligned) {
    for (const TextRow& row : escaped) {
      for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    }
  }

  std::string out;
  for (const TextRow& row : escaped) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      const bool last = c + 1 == row.size();
      out += row[c];
      if (last) break;
      if (layout == TableLayout::TabSeparated) {
        out.push_back('\t');
      } else {
        out.append(widths[c] - DisplayWidth(row[c]) + kColumnGap, ' ');
      }
    }
    // The aligned layout leaves no trailing blanks after an empty last cell.
    if (layout == TableLayout::Aligned) {
      while (!out.empty() && out.back() == ' ') out.pop_back();
    }
    out.push_back('\n');
  }
  return out;
}
