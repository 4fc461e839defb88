// The two-call snapshot over any reader with GetExtendedTcpTable's contract,
// so that the retries can be driven by a table that grows on demand.
#pragma once

#include <windows.h>

#include <functional>

#include "listing/tcp_table_snapshot.h"

// Reads the table into `buffer` (nullptr to only ask for the size); `size` is
// the buffer's size in bytes and receives the size the table needs. Returns
// NO_ERROR, ERROR_INSUFFICIENT_BUFFER or another failure code.
using TcpTableReader = std::function<DWORD(void* buffer, DWORD* size)>;

// Reads after the size query; the table can grow in between, so a busy
// machine gets a few more reads with the newer size.
inline constexpr int kTcpTableReadAttempts = 4;

// Asks for the size, then reads into a zero-filled buffer of exactly that
// size. When the table no longer fits, reads again with the size the reader
// gave, kTcpTableReadAttempts reads in all; then the snapshot is empty. Any
// other failure leaves the buffer as allocated: all zero, no rows.
TcpTableSnapshot TakeTcpTableSnapshotFrom(const TcpTableReader& readTable);
