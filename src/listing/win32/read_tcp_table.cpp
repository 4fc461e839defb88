#include "listing/win32/read_tcp_table.h"

#include <winsock2.h>
// winsock2.h first: iphlpapi.h needs its types.
#include <iphlpapi.h>

#include "listing/win32/platform_function.h"

namespace {

constinit PlatformFunction<decltype(&::GetExtendedTcpTable)> getExtendedTcpTable{
    "iphlpapi.dll", "GetExtendedTcpTable"};

}  // namespace

DWORD ReadOwnerPidTcpTable(void* buffer, DWORD* size) {
  return getExtendedTcpTable(buffer, size, FALSE, AF_INET, TCP_TABLE_OWNER_PID_ALL, 0);
}
