// What each platform supplies to the listing; the build links one of
// linux/ or win32/.
#pragma once

#include <cstdint>
#include <string>

#include "listing/tcp_table_snapshot.h"

// One snapshot of the IPv4 TCP table with owners. Never fails: what the
// platform could not give reads as zero rows.
TcpTableSnapshot TakeTcpTableSnapshot();

// Full path of the executable of process `pid`; empty when it can't be had,
// and always empty for pid 0 (no owner known). One lookup per call, no cache.
std::string ProcessImagePath(std::int32_t pid);
