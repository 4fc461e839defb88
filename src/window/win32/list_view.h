// The connection list: a SysListView32 report list set up from its
// description, written through the ConnectionList operations with the
// list-view's 8-bit messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "listing/connection_list.h"
#include "window/window_description.h"

// Creates and configures the list, hidden, with its columns and no rows;
// nullptr when the window can't be created.
HWND CreateConnectionListView(HWND parent, const ControlDescription& control);

class ListViewConnectionList final : public ConnectionList {
 public:
  explicit ListViewConnectionList(HWND listView) : listView_(listView) {}

  std::int32_t AppendRow(const std::string& text) override;
  void SetCellText(std::int32_t row, std::int32_t column, const std::string& text) override;

  HWND window() const { return listView_; }

 private:
  HWND listView_;
};
