#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "listing/connection_list.h"
#include "listing/tcp_table_snapshot.h"

// Where the rows and paths come from; the platform's by default, replaceable in tests.
struct ListingSource {
  std::function<TcpTableSnapshot()> takeSnapshot;
  std::function<std::string(std::int32_t pid)> processImagePath;
};

ListingSource PlatformListingSource();

// Takes one snapshot and writes every row, in table order, into `list`:
// AppendRow with column 0, then SetCellText for columns 1 to 6 in order.
void FillConnectionList(ConnectionList& list, const ListingSource& source);
void FillConnectionList(ConnectionList& list);
