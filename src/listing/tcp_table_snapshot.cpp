#include "listing/tcp_table_snapshot.h"

#include <algorithm>

namespace {

std::int32_t ReadInt32LittleEndian(const std::uint8_t* p) {
  const std::uint32_t value = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) |
                              (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
  return static_cast<std::int32_t>(value);
}

void WriteUint32LittleEndian(std::uint8_t* p, std::uint32_t value) {
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
  p[2] = static_cast<std::uint8_t>(value >> 16);
  p[3] = static_cast<std::uint8_t>(value >> 24);
}

// The low 16 bits of the field hold the port in network byte order, so its
// first byte in memory is the high byte of the port (what htons undoes).
std::uint16_t PortFromField(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

Ipv4Address AddressAt(const std::uint8_t* p) { return {p[0], p[1], p[2], p[3]}; }

}  // namespace

std::int32_t TcpTableRowCount(const TcpTableSnapshot& snapshot) {
  if (snapshot.bytes.size() < kTcpTableHeaderSize) return 0;
  return ReadInt32LittleEndian(snapshot.bytes.data());
}

std::int32_t ReadableTcpTableRowCount(const TcpTableSnapshot& snapshot) {
  const std::int32_t stored = TcpTableRowCount(snapshot);
  if (stored <= 0) return 0;
  const std::size_t fits = (snapshot.bytes.size() - kTcpTableHeaderSize) / kTcpTableRowSize;
  return static_cast<std::int32_t>(std::min<std::size_t>(static_cast<std::size_t>(stored), fits));
}

ConnectionRow DecodeTcpTableRow(const TcpTableSnapshot& snapshot, std::int32_t index) {
  const std::uint8_t* row = snapshot.bytes.data() + kTcpTableHeaderSize +
                            kTcpTableRowSize * static_cast<std::size_t>(index - 1);
  ConnectionRow decoded;
  decoded.state = ReadInt32LittleEndian(row + kRowStateOffset);
  decoded.localAddress = AddressAt(row + kRowLocalAddressOffset);
  decoded.localPort = PortFromField(row + kRowLocalPortOffset);
  decoded.remoteAddress = AddressAt(row + kRowRemoteAddressOffset);
  decoded.remotePort = PortFromField(row + kRowRemotePortOffset);
  decoded.owningPid = ReadInt32LittleEndian(row + kRowOwningPidOffset);
  return decoded;
}

std::uint32_t PortFieldFromHostPort(std::uint16_t port) {
  // Memory bytes [high, low, 0, 0] read as a little-endian integer.
  return static_cast<std::uint32_t>((port >> 8) | ((port & 0xFF) << 8));
}

void AppendTcpTableRow(TcpTableSnapshot& snapshot, const ConnectionRow& row) {
  if (snapshot.bytes.size() < kTcpTableHeaderSize) snapshot.bytes.assign(kTcpTableHeaderSize, 0);
  const std::int32_t count = TcpTableRowCount(snapshot);
  const std::size_t at = kTcpTableHeaderSize + kTcpTableRowSize * static_cast<std::size_t>(count);
  snapshot.bytes.resize(at + kTcpTableRowSize, 0);
  std::uint8_t* p = snapshot.bytes.data() + at;
  WriteUint32LittleEndian(p + kRowStateOffset, static_cast<std::uint32_t>(row.state));
  std::copy(row.localAddress.begin(), row.localAddress.end(), p + kRowLocalAddressOffset);
  WriteUint32LittleEndian(p + kRowLocalPortOffset, PortFieldFromHostPort(row.localPort));
  std::copy(row.remoteAddress.begin(), row.remoteAddress.end(), p + kRowRemoteAddressOffset);
  WriteUint32LittleEndian(p + kRowRemotePortOffset, PortFieldFromHostPort(row.remotePort));
  WriteUint32LittleEndian(p + kRowOwningPidOffset, static_cast<std::uint32_t>(row.owningPid));
  WriteUint32LittleEndian(snapshot.bytes.data(), static_cast<std::uint32_t>(count + 1));
}
