#include "listing/fill_connection_list.h"

#include "listing/row_texts.h"

void FillConnectionList(ConnectionList& list, const ListingSource& source) {
  const TcpTableSnapshot snapshot = source.takeSnapshot();
  const std::int32_t count = ReadableTcpTableRowCount(snapshot);
  for (std::int32_t i = 1; i <= count; ++i) {
    const ConnectionRow row = DecodeTcpTableRow(snapshot, i);
    // The index is used as given: a refused row (-1) still gets its six
    // writes, which the list ignores.
    const std::int32_t index = list.AppendRow(DottedAddress(row.localAddress));
    list.SetCellText(index, 1, PortText(row.localPort));
    list.SetCellText(index, 2, DottedAddress(row.remoteAddress));
    list.SetCellText(index, 3, PortText(row.remotePort));
    list.SetCellText(index, 4, ProcessIdText(row.owningPid));
    list.SetCellText(index, 5, TcpStateLabel(row.state));
    // Process id 0 means "no owner known" (TIME_WAIT rows, other users'
    // sockets); looking it up would name the viewer itself.
    list.SetCellText(index, 6,
                     row.owningPid == 0 ? std::string() : source.processImagePath(row.owningPid));
  }
}
