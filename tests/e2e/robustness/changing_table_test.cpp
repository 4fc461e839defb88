// The lister against a table that changes while it reads: connections open
// and close and short-lived processes that own sockets come and go. Every run
// must end well and print only well-formed rows.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "e2e/lister_run.h"

extern char** environ;

namespace {

constexpr int kListerRuns = 200;
constexpr int kMaxChurnRounds = 200000;  // a bound on each churn loop, whatever the speed

// Opens and closes loopback connections until told to stop; one in ten ends
// in TIME_WAIT, the rest are reset so the table does not fill with them.
void ChurnConnections(const std::atomic<bool>& stop) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listener, 64);
  socklen_t length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  for (int round = 0; round < kMaxChurnRounds && !stop; ++round) {
    const int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      const int server = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
      if (round % 10 != 0) {
        const linger reset{1, 0};
        setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        if (server >= 0) setsockopt(server, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
      }
      if (server >= 0) close(server);
    }
    close(client);
  }
  close(listener);
}

// Starts processes that open a listener and exit at once, one after another.
void ChurnProcesses(const std::atomic<bool>& stop) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  char* argv[] = {const_cast<char*>("holder"), nullptr};
  for (int round = 0; round < kMaxChurnRounds && !stop; ++round) {
    pid_t pid = -1;
    if (posix_spawn(&pid, SOCKET_HOLDER_PATH, &actions, nullptr, argv, environ) == 0) {
      waitpid(pid, nullptr, 0);
    }
  }
  posix_spawn_file_actions_destroy(&actions);
}

TEST(ChangingTable, EveryRunEndsWellWithWellFormedRows) {
  std::atomic<bool> stop{false};
  std::thread connections(ChurnConnections, std::cref(stop));
  std::thread processes(ChurnProcesses, std::cref(stop));
  int failures = 0;
  for (int run = 0; run < kListerRuns && failures < 5; ++run) {
    const ListerRun result = RunLister();
    if (result.status != 0 || result.lines.empty()) {
      ADD_FAILURE() << "run " << run << " ended with status " << result.status;
      ++failures;
      continue;
    }
    for (std::size_t i = 1; i < result.lines.size(); ++i) {
      if (!IsWellFormedRow(result.lines[i])) {
        std::string line;
        for (const auto& cell : result.lines[i]) line += cell + "|";
        ADD_FAILURE() << "run " << run << " printed a malformed row: " << line;
        ++failures;
        break;
      }
    }
  }
  stop = true;
  connections.join();
  processes.join();
}

}  // namespace
