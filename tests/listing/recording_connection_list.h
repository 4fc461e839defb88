// A ConnectionList that records every call, for checking call order.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "listing/connection_list.h"

class RecordingConnectionList : public ConnectionList {
 public:
  std::vector<std::string> calls;
  bool refuseRows = false;

  std::int32_t AppendRow(const std::string& text) override {
    calls.push_back("Append " + text);
    if (refuseRows) return -1;
    cells_[{rows_, 0}] = text;
    return rows_++;
  }

  void SetCellText(std::int32_t row, std::int32_t column, const std::string& text) override {
    calls.push_back("Set " + std::to_string(row) + " " + std::to_string(column) + " " + text);
    if (row >= 0 && row < rows_ && column >= 0 && column < kConnectionListColumnCount) {
      cells_[{row, column}] = text;
    }
  }

  std::string Cell(std::int32_t row, std::int32_t column) const {
    const auto it = cells_.find({row, column});
    return it == cells_.end() ? std::string() : it->second;
  }

 private:
  std::int32_t rows_ = 0;
  std::map<std::pair<std::int32_t, std::int32_t>, std::string> cells_;
};
