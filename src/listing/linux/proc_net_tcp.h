// The kernel's text tables of TCP sockets, /proc/net/tcp and /proc/net/tcp6
// (proc(5)): the way to the table where netlink sock_diag is refused.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "listing/linux/kernel_tcp_socket.h"

// Appends one entry per socket line of `text` (the contents of tcp for
// AF_INET, tcp6 for AF_INET6). The header line and any line that does not
// parse are skipped.
void ParseProcNetTcp(std::string_view text, int family, std::vector<KernelTcpSocket>& sockets);

// Reads <procRoot>/net/tcp or tcp6 and parses it; false when the file can't
// be read (no IPv6 in this kernel, no /proc).
bool ReadProcNetTcp(const std::string& procRoot, int family, std::vector<KernelTcpSocket>& sockets);

// The whole contents of a file, read to its end (proc files report size 0).
std::optional<std::string> ReadWholeFile(const std::string& path);
