#include "synthetic_snapshot.h"

TcpTableSnapshot SyntheticSnapshot(std::int32_t rows, std::int32_t pid) {
  TcpTableSnapshot snapshot;
  snapshot.bytes.reserve(kTcpTableHeaderSize + kTcpTableRowSize * static_cast<std::size_t>(rows));
  for (std::int32_t i = 0; i < rows; ++i) {
    ConnectionRow row;
    const auto n = static_cast<std::uint32_t>(i);
    // Every 1000th row a listener, the rest established, as the load generator leaves them.
    row.state = i % 1000 == 0 ? 2 : 5;
    row.localAddress = {127, static_cast<std::uint8_t>(1 + n % 13),
                        static_cast<std::uint8_t>(n >> 18), static_cast<std::uint8_t>(1 + n % 7)};
    row.localPort = static_cast<std::uint16_t>(32768 + n % 28000);
    row.remoteAddress = {127, 0, 0, 1};
    row.remotePort = static_cast<std::uint16_t>(40000 + n % 13);
    row.owningPid = pid;
    AppendTcpTableRow(snapshot, row);
  }
  return snapshot;
}
