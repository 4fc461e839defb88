// A ConnectionList that keeps nothing, so a benchmark of the list filling
// measures decoding and texts alone.
#pragma once

#include <cstdint>
#include <string>

#include "listing/connection_list.h"

class NullConnectionList : public ConnectionList {
 public:
  std::int32_t AppendRow(const std::string& text) override {
    bytes_ += text.size();
    return rows_++;
  }
  void SetCellText(std::int32_t, std::int32_t, const std::string& text) override {
    bytes_ += text.size();
  }
  std::size_t Bytes() const { return bytes_; }

 private:
  std::int32_t rows_ = 0;
  std::size_t bytes_ = 0;
};
