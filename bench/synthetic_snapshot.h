// A made-up TCP table shaped like a loaded server's: loopback connections in
// pairs, a few listeners, owners spread over a handful of processes.
#pragma once

#include <cstdint>

#include "listing/tcp_table_snapshot.h"

// `rows` rows; every owner is `pid` (so real path lookups find a process).
TcpTableSnapshot SyntheticSnapshot(std::int32_t rows, std::int32_t pid);
