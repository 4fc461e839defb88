// The lister's ConnectionList: rows of seven texts kept in memory until printed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "listing/connection_list.h"

using TextRow = std::array<std::string, kConnectionListColumnCount>;

class TextConnectionList : public ConnectionList {
 public:
  std::int32_t AppendRow(const std::string& text) override;
  void SetCellText(std::int32_t row, std::int32_t column, const std::string& text) override;

  const std::vector<TextRow>& Rows() const { return rows_; }

 private:
  std::vector<TextRow> rows_;
};
