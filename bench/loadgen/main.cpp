// corvenna-loadgen: holds N established loopback TCP connections, both ends,
// for the benchmarks. A supervisor forks workers, each within the per-process
// descriptor limit; every worker reports once, the supervisor prints "ready",
// holds for the given time and ends them all. It stops by itself.
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "listing/linux/proc_net_tcp.h"
#include "loadgen/load_options.h"
#include "loadgen/loopback_worker.h"

namespace {

// How long the supervisor waits for workers to end after telling them to.
constexpr auto kStopGrace = std::chrono::seconds(20);

struct Worker {
  pid_t pid = -1;
  UniqueFd report;  // the worker writes one line: "ok" or "error: ..."
  std::string line;
  bool reported = false;
};

int DescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1024;
  if (limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    ::getrlimit(RLIMIT_NOFILE, &limit);
  }
  return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 1 << 30));
}

long long ReadKernelNumber(const char* path, int field = 0) {
  const auto text = ReadWholeFile(path);
  if (!text) return -1;
  const char* at = text->c_str();
  for (int i = 0; i <= field; ++i) {
    char* end = nullptr;
    const long long value = std::strtoll(at, &end, 10);
    if (end == at) return -1;
    if (i == field) return value;
    at = end;
  }
  return -1;
}

// Says which kernel setting would stop the load; false for those that must.
bool CheckKernelLimits(const LoadOptions& options) {
  const long long sockets = 2LL * options.connections + options.timeWait;
  const long long somaxconn = ReadKernelNumber("/proc/sys/net/core/somaxconn");
  if (somaxconn >= 0 && somaxconn < kConnectBatch) {
    std::fprintf(stderr, "corvenna-loadgen: net.core.somaxconn is %lld, below the batch of %d\n",
                 somaxconn, kConnectBatch);
    return false;
  }
  const long long low = ReadKernelNumber("/proc/sys/net/ipv4/ip_local_port_range", 0);
  const long long high = ReadKernelNumber("/proc/sys/net/ipv4/ip_local_port_range", 1);
  if (low >= 0 && high >= low && high - low + 1 < 2 * kConnectionsPerSource) {
    std::fprintf(stderr, "corvenna-loadgen: net.ipv4.ip_local_port_range has only %lld ports\n",
                 high - low + 1);
    return false;
  }
  const long long fileMax = ReadKernelNumber("/proc/sys/fs/file-max");
  if (fileMax >= 0 && fileMax < sockets + 10'000) {
    std::fprintf(stderr, "corvenna-loadgen: fs.file-max %lld leaves no room for %lld sockets\n",
                 fileMax, sockets);
    return false;
  }
  const long long buckets = ReadKernelNumber("/proc/sys/net/ipv4/tcp_max_tw_buckets");
  if (buckets >= 0 && options.timeWait > buckets) {
    std::fprintf(stderr,
                 "corvenna-loadgen: note: net.ipv4.tcp_max_tw_buckets %lld keeps fewer than the "
                 "%d TIME_WAIT sockets asked for\n",
                 buckets, options.timeWait);
  }
  return true;
}

// The worker's life: set up, report one line, hold until the supervisor's
// pipe closes (it ended or told us to stop) or the hold time has passed.
[[noreturn]] void RunWorker(const WorkerPlan& plan, int reportFd, int aliveFd,
                            Clock::time_point holdUntil) {
  std::vector<UniqueFd> held;
  std::string error;
  const bool ok = OpenWorkerConnections(plan, held, error);
  const std::string line =
      ok ? "ok\n" : "error: worker " + std::to_string(plan.index) + ": " + error + "\n";
  if (::write(reportFd, line.data(), line.size()) < 0) _exit(1);
  ::close(reportFd);
  while (ok) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(holdUntil - Clock::now());
    if (left.count() <= 0) break;
    pollfd alive{aliveFd, POLLIN, 0};
    const int got = ::poll(&alive, 1, static_cast<int>(std::min<long long>(left.count(), 60'000)));
    if (got > 0) break;  // POLLHUP: the supervisor's end is closed
  }
  // Exiting closes every socket; SO_LINGER 0 turns each close into a reset.
  _exit(ok ? 0 : 1);
}

bool CollectReports(std::vector<Worker>& workers, Clock::time_point deadline) {
  std::size_t waiting = workers.size();
  while (waiting > 0) {
    std::vector<pollfd> fds;
    std::vector<Worker*> owners;
    for (Worker& worker : workers) {
      if (worker.reported) continue;
      fds.push_back({worker.report.Get(), POLLIN, 0});
      owners.push_back(&worker);
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      std::fprintf(stderr, "corvenna-loadgen: %zu workers not ready in time\n", waiting);
      return false;
    }
    if (::poll(fds.data(), fds.size(), static_cast<int>(std::min<long long>(left.count(), 1000))) <
        0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].revents == 0) continue;
      char buffer[512];
      const ssize_t got = ::read(fds[i].fd, buffer, sizeof(buffer));
      if (got > 0) owners[i]->line.append(buffer, static_cast<std::size_t>(got));
      if (got <= 0 || owners[i]->line.find('\n') != std::string::npos) {
        owners[i]->reported = true;
        --waiting;
      }
    }
  }
  bool allOk = true;
  for (const Worker& worker : workers) {
    if (worker.line == "ok\n") continue;
    allOk = false;
    std::fprintf(stderr, "corvenna-loadgen: %s",
                 worker.line.empty() ? "a worker ended early\n" : worker.line.c_str());
  }
  return allOk;
}

// Waits for a stop signal, a worker's early end, or the end of the hold time.
void Hold(const sigset_t& signals, int seconds) {
  const auto until = Clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(until - Clock::now());
    if (left.count() <= 0) return;
    const auto wait = std::min<long long>(left.count(), 1'000'000'000LL);
    const timespec timeout{static_cast<time_t>(wait / 1'000'000'000LL),
                           static_cast<long>(wait % 1'000'000'000LL)};
    const int got = ::sigtimedwait(&signals, nullptr, &timeout);
    if (got == SIGCHLD) {
      std::fprintf(stderr, "corvenna-loadgen: a worker ended early\n");
      return;
    }
    if (got > 0) return;
  }
}

void StopWorkers(std::vector<Worker>& workers) {
  const auto deadline = Clock::now() + kStopGrace;
  for (Worker& worker : workers) {
    while (worker.pid > 0) {
      const pid_t done = ::waitpid(worker.pid, nullptr, WNOHANG);
      if (done == worker.pid || (done < 0 && errno != EINTR)) {
        worker.pid = -1;
      } else if (Clock::now() >= deadline) {
        ::kill(worker.pid, SIGKILL);
        ::waitpid(worker.pid, nullptr, 0);
        worker.pid = -1;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  LoadOptions options;
  std::string error;
  if (!ParseLoadOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "corvenna-loadgen: %s (try --help)\n", error.c_str());
    return 2;
  }
  if (options.showHelp) {
    std::fputs(kLoadUsage, stdout);
    return 0;
  }
  const int capacity = (DescriptorLimit() - kWorkerSpareDescriptors) / 2;
  if (capacity < 1) {
    std::fprintf(stderr, "corvenna-loadgen: the descriptor limit is too low\n");
    return 1;
  }
  const int busiest = std::max(options.connections, options.timeWait);
  int workerCount = options.workers;
  if (workerCount == 0) workerCount = std::max(1, (busiest + capacity - 1) / capacity);
  if (workerCount > kMaxWorkers || (busiest + workerCount - 1) / workerCount > capacity) {
    std::fprintf(stderr, "corvenna-loadgen: %d connections need more than %d workers of %d\n",
                 busiest, workerCount, capacity);
    return 1;
  }
  if (!CheckKernelLimits(options)) return 1;

  const int setupSeconds = options.setupSeconds != 0
                               ? options.setupSeconds
                               : 30 + (options.connections + options.timeWait) / 2000;
  const auto setupDeadline = Clock::now() + std::chrono::seconds(setupSeconds);
  // Workers stop by themselves even if the supervisor were killed outright.
  const auto holdUntil = setupDeadline + std::chrono::seconds(options.seconds + 30);

  sigset_t signals;
  sigemptyset(&signals);
  for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGCHLD}) sigaddset(&signals, s);
  sigset_t previous;
  ::sigprocmask(SIG_BLOCK, &signals, &previous);

  int alive[2];
  if (::pipe2(alive, O_CLOEXEC) != 0) return 1;
  UniqueFd aliveRead(alive[0]);
  UniqueFd aliveWrite(alive[1]);
  const pid_t supervisor = ::getpid();
  std::vector<Worker> workers(static_cast<std::size_t>(workerCount));
  for (int w = 0; w < workerCount; ++w) {
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) break;
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::sigprocmask(SIG_SETMASK, &previous, nullptr);
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (::getppid() != supervisor) _exit(1);
      ::close(report[0]);
      ::close(aliveWrite.Release());
      for (Worker& other : workers) other.report.Reset();
      WorkerPlan plan;
      plan.index = w;
      plan.connections =
          options.connections / workerCount + (w < options.connections % workerCount);
      plan.timeWait = options.timeWait / workerCount + (w < options.timeWait % workerCount);
      plan.setupDeadline = setupDeadline;
      RunWorker(plan, report[1], aliveRead.Get(), holdUntil);
    }
    ::close(report[1]);
    Worker& worker = workers[static_cast<std::size_t>(w)];
    worker.report.Reset(report[0]);
    worker.pid = pid;
    if (pid < 0) {
      worker.reported = true;
      worker.line = "error: fork: " + std::string(std::strerror(errno)) + "\n";
    }
  }
  aliveRead.Reset();

  const auto started = Clock::now();
  const bool ready = CollectReports(workers, setupDeadline);
  if (ready) {
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    const double took = std::chrono::duration<double>(Clock::now() - started).count();
    std::fprintf(stderr,
                 "corvenna-loadgen: %d connections (%d sockets) and %d TIME_WAIT in %d workers, "
                 "up in %.1f s; holding %d s\n",
                 options.connections, 2 * options.connections, options.timeWait, workerCount, took,
                 options.seconds);
    Hold(signals, options.seconds);
  }
  aliveWrite.Reset();
  StopWorkers(workers);
  return ready ? 0 : 1;
}
