#include "cli/streaming_connection_table.h"

#include <limits>
#include <utility>

#include "cli/console_output.h"
#include "cli/table_output.h"

StreamingConnectionTable::StreamingConnectionTable(const TextRow& titles, Sink sink,
                                                   std::size_t chunkSize)
    : sink_(std::move(sink)), chunkSize_(chunkSize) {
  pending_.reserve(chunkSize_ + 4096);
  AppendTabSeparatedLine(titles, pending_);
}

std::int32_t StreamingConnectionTable::AppendRow(const std::string& text) {
  if (rows_ == std::numeric_limits<std::int32_t>::max()) return -1;
  EndRow();
  row_[0] = ListTextToUtf8(text);
  for (std::size_t c = 1; c < row_.size(); ++c) row_[c].clear();
  rowOpen_ = true;
  return rows_++;
}

void StreamingConnectionTable::SetCellText(std::int32_t row, std::int32_t column,
                                           const std::string& text) {
  if (!rowOpen_ || row != rows_ - 1) return;
  if (column < 0 || column >= kConnectionListColumnCount) return;
  row_[static_cast<std::size_t>(column)] = ListTextToUtf8(text);
}

void StreamingConnectionTable::EndRow() {
  if (!rowOpen_) return;
  rowOpen_ = false;
  AppendTabSeparatedLine(row_, pending_);
  if (pending_.size() >= chunkSize_) Write();
}

void StreamingConnectionTable::Write() {
  if (!failed_ && !pending_.empty()) failed_ = !sink_(pending_);
  pending_.clear();
}

bool StreamingConnectionTable::Finish() {
  EndRow();
  Write();
  return !failed_;
}
