// The report list the connection rows are written into. Implemented by the
// Win32 list view, the Qt list, the lister's text table and test fakes.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int kConnectionListColumnCount = 7;

class ConnectionList {
 public:
  virtual ~ConnectionList() = default;

  // Adds a row after all others with `text` in column 0; returns its index
  // counted from 0, or -1 when the list refuses the row.
  virtual std::int32_t AppendRow(const std::string& text) = 0;

  // Replaces one cell's text; a row or column that does not exist changes nothing.
  virtual void SetCellText(std::int32_t row, std::int32_t column, const std::string& text) = 0;
};
