// Reads the replies of a NETLINK_SOCK_DIAG dump from a byte buffer, so the
// same code serves the live socket, recorded dumps, tests and fuzzing.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "listing/linux/kernel_tcp_socket.h"

enum class SockDiagReply {
  kNeedMore,     // every message was whole and none ended the dump
  kDone,         // NLMSG_DONE reached; bytes after it are ignored
  kInterrupted,  // a message carried NLM_F_DUMP_INTR: the dump may be inconsistent
  kKernelError,  // NLMSG_ERROR, or a DONE carrying a negative errno
  kMalformed,    // a truncated or nonsensical message or attribute
};

// Parses the netlink messages in `bytes` (one datagram, or several laid end
// to end as a recorded dump) and appends one entry per inet_diag_msg to
// `sockets`. On any result but kNeedMore and kDone, what was appended is a
// partial dump that the caller throws away.
SockDiagReply ParseSockDiagReplies(std::span<const std::uint8_t> bytes,
                                   std::vector<KernelTcpSocket>& sockets);
