// One snapshot of the IPv4 TCP table in the layout of the Windows
// MIB_TCPTABLE_OWNER_PID structure (iphlpapi's tcpmib.h): a little-endian
// 32-bit row count, then rows of MIB_TCPROW_OWNER_PID, 24 bytes each.
// Every platform produces these same bytes, so decoding is one code path.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr std::size_t kTcpTableHeaderSize = 4;
inline constexpr std::size_t kTcpTableRowSize = 24;

// Offsets inside one 24-byte row (MIB_TCPROW_OWNER_PID).
inline constexpr std::size_t kRowStateOffset = 0;
inline constexpr std::size_t kRowLocalAddressOffset = 4;
inline constexpr std::size_t kRowLocalPortOffset = 8;
inline constexpr std::size_t kRowRemoteAddressOffset = 12;
inline constexpr std::size_t kRowRemotePortOffset = 16;
inline constexpr std::size_t kRowOwningPidOffset = 20;

using Ipv4Address = std::array<std::uint8_t, 4>;  // network order: [0] is the first number

struct TcpTableSnapshot {
  std::vector<std::uint8_t> bytes;
};

struct ConnectionRow {
  std::int32_t state = 0;
  Ipv4Address localAddress{};
  std::uint16_t localPort = 0;  // host order
  Ipv4Address remoteAddress{};
  std::uint16_t remotePort = 0;  // host order
  std::int32_t owningPid = 0;
};

// The count stored in the first four bytes; 0 for a snapshot shorter than that.
std::int32_t TcpTableRowCount(const TcpTableSnapshot& snapshot);

// How many rows can actually be read: the stored count, limited to the rows
// the buffer holds, so a short or damaged snapshot is never read past its end.
// 0 when the stored count is 0 or negative.
std::int32_t ReadableTcpTableRowCount(const TcpTableSnapshot& snapshot);

// Row `index` counted from 1. Requires 1 <= index <= ReadableTcpTableRowCount.
ConnectionRow DecodeTcpTableRow(const TcpTableSnapshot& snapshot, std::int32_t index);

// Appends one row in the snapshot layout and bumps the stored count; used by
// the platforms that build the snapshot themselves and by tests.
void AppendTcpTableRow(TcpTableSnapshot& snapshot, const ConnectionRow& row);

// The port field holds the port in network byte order in its low 16 bits.
std::uint32_t PortFieldFromHostPort(std::uint16_t port);
