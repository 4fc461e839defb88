// The lister's ConnectionList for the tab-separated layout: each row is
// written out as soon as the next one starts, so the table never has to be
// held whole. Lines go to the sink in chunks of whole lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "cli/text_connection_list.h"
#include "listing/connection_list.h"

class StreamingConnectionTable : public ConnectionList {
 public:
  // The sink takes UTF-8 text and says whether it could write it; after its
  // first failure nothing more is sent to it.
  using Sink = std::function<bool(std::string_view utf8)>;

  // Lines are collected up to about `chunkSize` bytes before each write.
  static constexpr std::size_t kDefaultChunkSize = 256 * 1024;

  StreamingConnectionTable(const TextRow& titles, Sink sink,
                           std::size_t chunkSize = kDefaultChunkSize);

  // Cells arrive in the list's 8-bit texts and are written as UTF-8.
  std::int32_t AppendRow(const std::string& text) override;
  // Only the newest row can still change: an earlier row is already written,
  // so a write to it changes nothing, like one to a row that does not exist.
  void SetCellText(std::int32_t row, std::int32_t column, const std::string& text) override;

  // Writes the last row and whatever is still collected. False when any
  // write failed.
  bool Finish();

 private:
  void EndRow();
  void Write();

  Sink sink_;
  std::size_t chunkSize_;
  std::string pending_;
  TextRow row_;
  std::int32_t rows_ = 0;
  bool rowOpen_ = false;
  bool failed_ = false;
};
