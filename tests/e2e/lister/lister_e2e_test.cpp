// Runs the real corvenna-list against the real kernel table while this test
// holds loopback sockets open, and checks what a user would read.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/lister_run.h"

namespace {

struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

std::uint16_t LocalPort(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

// A listener on 127.0.0.1 and one connection to it, both ends open; close on
// exec, so the lister started by the test does not own them as well.
struct LoopbackPair {
  Fd listener{socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)};
  Fd client{socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)};
  Fd server{-1};
  std::uint16_t listenPort = 0, clientPort = 0;

  LoopbackPair() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(bind(listener.fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(listen(listener.fd, 4), 0);
    listenPort = LocalPort(listener.fd);
    address.sin_port = htons(listenPort);
    EXPECT_EQ(connect(client.fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    server.fd = accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC);
    EXPECT_GE(server.fd, 0);
    clientPort = LocalPort(client.fd);
  }
};

std::string SelfPath() {
  std::array<char, 4096> buffer{};
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  return n > 0 ? std::string(buffer.data(), static_cast<std::size_t>(n)) : std::string();
}

// Rows keyed by "local:port remote:port".
std::map<std::string, std::vector<std::string>> RowsByEndpoints(
    const std::vector<std::vector<std::string>>& lines) {
  std::map<std::string, std::vector<std::string>> rows;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const auto& cells = lines[i];
    if (cells.size() != 7) continue;
    rows[cells[0] + ":" + cells[1] + " " + cells[2] + ":" + cells[3]] = cells;
  }
  return rows;
}

TEST(ListerEndToEnd, ShowsOurSocketsWithStateOwnerAndPath) {
  LoopbackPair pair;
  const ListerRun run = RunLister();
  ASSERT_EQ(run.status, 0);
  const std::string& out = run.out;
  const auto& lines = run.lines;
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], (std::vector<std::string>{"本地地址", "本地端口", "远程地址", "远程端口",
                                                "进程号", "状态", "路径"}));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(lines[i].size(), 7u) << "every line has seven tab-separated cells";
  }

  const auto rows = RowsByEndpoints(lines);
  const std::string pid = std::to_string(getpid());
  const std::string self = SelfPath();
  const std::string lp = std::to_string(pair.listenPort), cp = std::to_string(pair.clientPort);
  const struct {
    std::string key, state;
  } expected[] = {
      {"127.0.0.1:" + lp + " 0.0.0.0:0", "正在监听"},
      {"127.0.0.1:" + cp + " 127.0.0.1:" + lp, "已建立"},
      {"127.0.0.1:" + lp + " 127.0.0.1:" + cp, "已建立"},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.key);
    const auto it = rows.find(e.key);
    ASSERT_NE(it, rows.end()) << out;
    EXPECT_EQ(it->second[4], pid);
    EXPECT_EQ(it->second[5], e.state);
    EXPECT_EQ(it->second[6], self);
  }
}

// Every IPv4 TCP socket ss shows is listed, with the same state.
TEST(ListerEndToEnd, AgreesWithSsOnOurSockets) {
  LoopbackPair pair;
  const ListerRun ours = RunLister();
  ASSERT_EQ(ours.status, 0);
  const ListerRun ssRun = RunCommand("ss -tanH4 2>/dev/null");
  ASSERT_EQ(ssRun.status, 0);
  const std::string& ss = ssRun.out;
  const std::map<std::string, std::string> ssStates = {
      {"LISTEN", "正在监听"},      {"ESTAB", "已建立"},        {"TIME-WAIT", "延时等待"},
      {"SYN-SENT", "同步发送"},    {"SYN-RECV", "同步接收"},   {"FIN-WAIT-1", "FIN_WAIT1"},
      {"FIN-WAIT-2", "FIN_WAIT2"}, {"CLOSE-WAIT", "关闭等待"}, {"CLOSING", "正在关闭"},
      {"LAST-ACK", "最后确认"},    {"CLOSE", "已关闭"}};
  const auto rows = RowsByEndpoints(ours.lines);
  std::istringstream in(ss);
  std::string state, recvQ, sendQ, local, remote;
  const std::string lp = std::to_string(pair.listenPort);
  int checked = 0;
  while (in >> state >> recvQ >> sendQ >> local >> remote) {
    // Only our own sockets are stable between the two snapshots.
    if (local.find(":" + lp) == std::string::npos && remote.find(":" + lp) == std::string::npos)
      continue;
    const std::string key = local + " " + (remote == "0.0.0.0:*" ? "0.0.0.0:0" : remote);
    SCOPED_TRACE(key);
    const auto it = rows.find(key);
    ASSERT_NE(it, rows.end());
    EXPECT_EQ(it->second[5], ssStates.at(state));
    ++checked;
  }
  EXPECT_EQ(checked, 3);
}

TEST(ListerEndToEnd, OrdinaryUserSeesOtherUsersSocketsWithoutOwner) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to start the lister as another user";
  LoopbackPair pair;
  const ListerRun run = RunLister("setpriv --reuid=65534 --regid=65534 --clear-groups ");
  ASSERT_EQ(run.status, 0) << run.out;
  const std::string& out = run.out;
  const auto rows = RowsByEndpoints(run.lines);
  const auto it = rows.find("127.0.0.1:" + std::to_string(pair.listenPort) + " 0.0.0.0:0");
  ASSERT_NE(it, rows.end()) << out;
  EXPECT_EQ(it->second[4], "0");
  EXPECT_EQ(it->second[5], "正在监听");
  EXPECT_EQ(it->second[6], "");
}

}  // namespace
