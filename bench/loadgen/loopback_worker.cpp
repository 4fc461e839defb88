#include "loadgen/loopback_worker.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace {

// listen() silently takes the smaller of this and net.core.somaxconn.
constexpr int kListenBacklog = 4096;

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

sockaddr_in LoopbackAddress(std::uint32_t hostOrderAddress, std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(hostOrderAddress);
  address.sin_port = htons(port);
  return address;
}

const sockaddr* AsSockaddr(const sockaddr_in& address) {
  return reinterpret_cast<const sockaddr*>(&address);
}

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 60'000));
}

bool SetLingerZero(int fd) {
  const linger reset{1, 0};
  return ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof(reset)) == 0;
}

bool OpenListener(UniqueFd& listener, sockaddr_in& address, std::string& error) {
  listener.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!listener.IsValid()) {
    error = ErrnoText("listener socket");
    return false;
  }
  // Port 0: the kernel picks a free one, so several runs never collide.
  address = LoopbackAddress(INADDR_LOOPBACK, 0);
  socklen_t length = sizeof(address);
  if (::bind(listener.Get(), AsSockaddr(address), sizeof(address)) != 0 ||
      ::listen(listener.Get(), kListenBacklog) != 0 ||
      ::getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    error = ErrnoText("listener on 127.0.0.1");
    return false;
  }
  return true;
}

// Starts one non-blocking connect; on loopback it is usually complete on return.
bool StartClient(std::uint32_t source, const sockaddr_in& target, UniqueFd& client,
                 std::string& error) {
  client.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!client.IsValid()) {
    error = ErrnoText("client socket");
    return false;
  }
  // The port is chosen at connect(), per whole address pair, instead of at
  // bind(), where each port could serve only one socket of the address.
  const int one = 1;
  ::setsockopt(client.Get(), IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &one, sizeof(one));
  const sockaddr_in from = LoopbackAddress(source, 0);
  if (::bind(client.Get(), AsSockaddr(from), sizeof(from)) != 0) {
    error = ErrnoText("bind to a 127.x.y.z source");
    return false;
  }
  if (::connect(client.Get(), AsSockaddr(target), sizeof(target)) != 0 && errno != EINPROGRESS) {
    error = ErrnoText("connect on loopback");
    return false;
  }
  return true;
}

bool AcceptAll(int listener, std::size_t count, Clock::time_point deadline,
               std::vector<UniqueFd>& accepted, std::string& error) {
  while (accepted.size() < count) {
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) {
      accepted.emplace_back(fd);
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      error = ErrnoText("accept");
      return false;
    }
    const int left = MillisecondsLeft(deadline);
    if (left == 0) {
      error = "timed out after accepting " + std::to_string(accepted.size()) + " of " +
              std::to_string(count) + " connections of a batch";
      return false;
    }
    pollfd ready{listener, POLLIN, 0};
    ::poll(&ready, 1, left);
  }
  return true;
}

// One batch: `count` clients connect, the listener accepts them all. A batch
// for TIME_WAIT then closes the client ends first and the server ends after,
// so each client end waits out TIME_WAIT; a held batch is kept.
bool RunBatch(const WorkerPlan& plan, int listener, const sockaddr_in& target, int first, int count,
              bool timeWait, std::vector<UniqueFd>& held, std::string& error) {
  std::vector<UniqueFd> clients(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::uint32_t source = ClientSourceAddress(plan.index, first + i, timeWait);
    if (!StartClient(source, target, clients[static_cast<std::size_t>(i)], error)) return false;
  }
  std::vector<UniqueFd> servers;
  servers.reserve(clients.size());
  // Accepted means the handshake is over: the client end is established too.
  if (!AcceptAll(listener, clients.size(), plan.setupDeadline, servers, error)) return false;
  if (timeWait) {
    clients.clear();
    servers.clear();
    return true;
  }
  for (std::vector<UniqueFd>* ends : {&clients, &servers}) {
    for (UniqueFd& end : *ends) {
      if (!SetLingerZero(end.Get())) {
        error = ErrnoText("SO_LINGER");
        return false;
      }
      held.push_back(std::move(end));
    }
  }
  return true;
}

}  // namespace

std::uint32_t ClientSourceAddress(int worker, int connection, bool timeWait) {
  const auto group = static_cast<std::uint32_t>(connection / kConnectionsPerSource);
  // x.y from the group, never .0 or .255 in the last byte.
  const std::uint32_t low = ((group / 254u) % 256u) << 8 | (group % 254u + 1u);
  const std::uint32_t second = timeWait ? 255u : static_cast<std::uint32_t>(worker + 1);
  return (127u << 24) | (second << 16) | low;
}

bool OpenWorkerConnections(const WorkerPlan& plan, std::vector<UniqueFd>& held,
                           std::string& error) {
  UniqueFd listener;
  sockaddr_in target{};
  if (!OpenListener(listener, target, error)) return false;
  held.reserve(held.size() + 2 * static_cast<std::size_t>(plan.connections) + 1);
  for (const bool timeWait : {true, false}) {
    const int total = timeWait ? plan.timeWait : plan.connections;
    for (int first = 0; first < total; first += kConnectBatch) {
      const int count = std::min(kConnectBatch, total - first);
      if (!RunBatch(plan, listener.Get(), target, first, count, timeWait, held, error)) {
        return false;
      }
    }
  }
  held.push_back(std::move(listener));
  return true;
}
