#include "listing/win32/take_tcp_table_snapshot.h"

#include "listing/platform_listing.h"
#include "listing/win32/read_tcp_table.h"

TcpTableSnapshot TakeTcpTableSnapshotFrom(const TcpTableReader& readTable) {
  DWORD size = 0;
  readTable(nullptr, &size);
  for (int attempt = 0; attempt < kTcpTableReadAttempts; ++attempt) {
    TcpTableSnapshot snapshot;
    snapshot.bytes.assign(size, 0);
    void* buffer = snapshot.bytes.empty() ? nullptr : snapshot.bytes.data();
    if (readTable(buffer, &size) != ERROR_INSUFFICIENT_BUFFER) return snapshot;
  }
  return {};
}

// MIB_TCPTABLE_OWNER_PID (tcpmib.h) is already the snapshot layout.
TcpTableSnapshot TakeTcpTableSnapshot() { return TakeTcpTableSnapshotFrom(ReadOwnerPidTcpTable); }
