#include "listing/platform_listing.h"
#include "listing/win32/read_tcp_table.h"

namespace {

// The table can grow between asking for its size and reading it; a busy
// machine gets a few more tries with the newer size before the snapshot is
// given up as empty.
constexpr int kReadAttempts = 4;

}  // namespace

// MIB_TCPTABLE_OWNER_PID (tcpmib.h) is already the snapshot layout.
TcpTableSnapshot TakeTcpTableSnapshot() {
  DWORD size = 0;
  ReadOwnerPidTcpTable(nullptr, &size);
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    TcpTableSnapshot snapshot;
    snapshot.bytes.assign(size, 0);
    // Any other failure leaves the buffer as it was allocated: all zero, so
    // it reads as no rows.
    if (ReadOwnerPidTcpTable(snapshot.bytes.empty() ? nullptr : snapshot.bytes.data(), &size) !=
        ERROR_INSUFFICIENT_BUFFER) {
      return snapshot;
    }
  }
  return {};
}
