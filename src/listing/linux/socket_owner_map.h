// Which process holds each socket: one pass over /proc/<pid>/fd, whose links
// read "socket:[<inode>]" for sockets (proc(5)).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

using SocketOwnerMap = std::unordered_map<std::uint32_t, std::int32_t>;  // inode -> pid

// Scans `procRoot` (normally "/proc"). Processes whose fd directory can't be
// read (other users' as an ordinary user, or gone meanwhile) are skipped. A
// socket held by several processes (inherited across fork) goes to the
// lowest pid. `expectedSockets` sizes the map up front.
SocketOwnerMap ScanSocketOwners(const std::string& procRoot, std::size_t expectedSockets);

// The inode of a link text "socket:[12345]"; nothing for any other text.
std::optional<std::uint32_t> SocketInodeFromLinkText(std::string_view text);

// The pid named by a /proc entry: decimal digits only, 1 to INT32_MAX.
std::optional<std::int32_t> PidFromEntryName(std::string_view name);
