// One GetExtendedTcpTable call for the IPv4 table with owner pids. Apart from
// the snapshot code because iphlpapi.h's own Ipv4Address would clash with
// the listing's.
#pragma once

#include <windows.h>

// Fills `buffer` (nullptr to only ask for the size) with a
// MIB_TCPTABLE_OWNER_PID, unsorted; `size` is the buffer's size in bytes and
// receives the size the table needs. Returns the platform's result code.
DWORD ReadOwnerPidTcpTable(void* buffer, DWORD* size);
