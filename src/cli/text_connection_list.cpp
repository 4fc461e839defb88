#include "cli/text_connection_list.h"

#include <limits>

std::int32_t TextConnectionList::AppendRow(const std::string& text) {
  if (rows_.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return -1;
  const auto index = static_cast<std::int32_t>(rows_.size());
  rows_.emplace_back();
  rows_.back()[0] = text;
  return index;
}

void TextConnectionList::SetCellText(std::int32_t row, std::int32_t column,
                                     const std::string& text) {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
  if (column < 0 || column >= kConnectionListColumnCount) return;
  rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
}
