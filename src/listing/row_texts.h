// The texts of one connection row, as the list shows them. All are 8-bit
// strings in the build's narrow encoding (UTF-8 on Linux, code page 936 on
// Windows builds).
#pragma once

#include <cstdint>
#include <string>

#include "listing/tcp_table_snapshot.h"

std::string DottedAddress(const Ipv4Address& address);
std::string PortText(std::uint16_t port);
std::string ProcessIdText(std::int32_t pid);
std::string TcpStateLabel(std::int32_t state);
