// One worker process's share of the load: a listener on 127.0.0.1 and
// `connections` established connections to it, both ends held open.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "listing/linux/unique_fd.h"

using Clock = std::chrono::steady_clock;

struct WorkerPlan {
  int index = 0;        // 0-based; picks the worker's client source addresses
  int connections = 0;  // held open until the end
  int timeWait = 0;     // made and closed at once, left in TIME_WAIT
  Clock::time_point setupDeadline;
};

// Connections per batch: every client of a batch connects, then the listener
// accepts them all. Far below the listen backlog (net.core.somaxconn caps it,
// 4096 by default) so no SYN is ever dropped.
inline constexpr int kConnectBatch = 512;

// Descriptors a worker needs besides its connections: the listener, a batch
// in flight, stdio and the supervisor's pipes.
inline constexpr int kWorkerSpareDescriptors = 2 * kConnectBatch + 64;

// A new client source address every this many connections, so the kernel's
// search for a free ephemeral port towards one listener stays short.
inline constexpr int kConnectionsPerSource = 1024;

// Client source address (host order) of connection `connection` of worker
// `worker`: 127.<worker + 1>.x.y for held connections, 127.255.x.y for the
// TIME_WAIT ones, which then never block a port of the others.
std::uint32_t ClientSourceAddress(int worker, int connection, bool timeWait);

// Opens the plan's listener and connections. Every held socket is set to
// SO_LINGER 0, so closing it, or the process ending, resets the connection
// instead of leaving TIME_WAIT. False with a one-line reason on any failure.
bool OpenWorkerConnections(const WorkerPlan& plan, std::vector<UniqueFd>& held, std::string& error);
