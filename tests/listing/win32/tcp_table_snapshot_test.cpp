// The real table: Wine answers GetExtendedTcpTable from the machine's own
// IPv4 TCP table, so sockets opened here must show up in it.
//
// Owners under Wine 8 (measured): a socket is attributed to the Wine process
// whose Linux fd table holds it. Wine creates sockets inside wineserver and a
// process only receives the fd when it does I/O on it itself, so listeners and
// accepted sockets read as pid 0, and a connecting socket reads as its
// process once it has sent. Windows attributes all three to this process.
#include <winsock2.h>
// winsock2.h before windows.h.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "listing/fill_connection_list.h"
#include "listing/platform_listing.h"
#include "listing/recording_connection_list.h"
#include "listing/row_texts.h"
#include "listing/tcp_table_snapshot.h"

namespace {

constexpr Ipv4Address kLoopback = {127, 0, 0, 1};
constexpr Ipv4Address kAnyAddress = {0, 0, 0, 0};
constexpr std::int32_t kListen = 2;
constexpr std::int32_t kEstablished = 5;

class Socket {
 public:
  explicit Socket(SOCKET s = INVALID_SOCKET) : socket_(s) {}
  ~Socket() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  SOCKET get() const { return socket_; }

 private:
  SOCKET socket_;
};

sockaddr_in LoopbackAddress(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

std::uint16_t LocalPort(const Socket& s) {
  sockaddr_in address{};
  int length = sizeof address;
  if (getsockname(s.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}

class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data{};
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockSession() {
    if (started_) WSACleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  bool started() const { return started_; }

 private:
  bool started_ = false;
};

// A loopback listener and one connection to it, both ends accepted.
class LoopbackConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(winsock_.started());
    sockaddr_in address = LoopbackAddress(0);
    ASSERT_NE(listener_.get(), INVALID_SOCKET);
    ASSERT_EQ(bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener_.get(), 1), 0);
    listenPort_ = LocalPort(listener_);
    ASSERT_NE(listenPort_, 0);

    address = LoopbackAddress(listenPort_);
    ASSERT_NE(client_.get(), INVALID_SOCKET);
    ASSERT_EQ(connect(client_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    clientPort_ = LocalPort(client_);
    ASSERT_NE(clientPort_, 0);
    server_ = std::make_unique<Socket>(accept(listener_.get(), nullptr, nullptr));
    ASSERT_NE(server_->get(), INVALID_SOCKET);
    // Ordinary traffic; under Wine it also puts the client's fd in this process.
    const char byte = 'x';
    ASSERT_EQ(send(client_.get(), &byte, 1, 0), 1);
  }

 private:
  // Declared first: Winsock is up before the sockets and down after them.
  WinsockSession winsock_;

 protected:
  std::uint16_t listenPort_ = 0;
  std::uint16_t clientPort_ = 0;

 private:
  Socket listener_{socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)};
  Socket client_{socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)};
  std::unique_ptr<Socket> server_;
};

bool RunsUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::int32_t OwnPid() { return static_cast<std::int32_t>(GetCurrentProcessId()); }

std::string OwnExePath() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

std::vector<ConnectionRow> RowsMatching(const TcpTableSnapshot& snapshot, std::uint16_t localPort,
                                        std::uint16_t remotePort) {
  std::vector<ConnectionRow> rows;
  for (std::int32_t i = 1; i <= ReadableTcpTableRowCount(snapshot); ++i) {
    const ConnectionRow row = DecodeTcpTableRow(snapshot, i);
    if (row.localPort == localPort && row.remotePort == remotePort) rows.push_back(row);
  }
  return rows;
}

TEST_F(LoopbackConnectionTest, SnapshotHoldsOurSocketsWithTheirOwner) {
  const TcpTableSnapshot snapshot = TakeTcpTableSnapshot();
  // The buffer may be larger than the rows (the table can shrink between
  // the size query and the read), never smaller.
  ASSERT_GE(TcpTableRowCount(snapshot), 3);
  EXPECT_EQ(ReadableTcpTableRowCount(snapshot), TcpTableRowCount(snapshot));

  struct Expected {
    const char* name;
    std::uint16_t localPort, remotePort;
    Ipv4Address remoteAddress;
    std::int32_t state;
    bool ownedUnderWine;
  };
  const Expected expected[] = {
      {"listener", listenPort_, 0, kAnyAddress, kListen, false},
      {"client end", clientPort_, listenPort_, kLoopback, kEstablished, true},
      {"server end", listenPort_, clientPort_, kLoopback, kEstablished, false},
  };
  const bool wine = RunsUnderWine();
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    const std::vector<ConnectionRow> rows = RowsMatching(snapshot, e.localPort, e.remotePort);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].localAddress, kLoopback);
    EXPECT_EQ(rows[0].remoteAddress, e.remoteAddress);
    EXPECT_EQ(rows[0].state, e.state);
    if (wine && !e.ownedUnderWine) {
      EXPECT_TRUE(rows[0].owningPid == OwnPid() || rows[0].owningPid == 0) << rows[0].owningPid;
    } else {
      EXPECT_EQ(rows[0].owningPid, OwnPid());
    }
  }
}

std::vector<std::string> RowTexts(const RecordingConnectionList& list, std::int32_t row) {
  std::vector<std::string> texts;
  for (int column = 0; column < kConnectionListColumnCount; ++column) {
    texts.push_back(list.Cell(row, column));
  }
  return texts;
}

TEST_F(LoopbackConnectionTest, FilledListShowsOurRowsWithTheirTexts) {
  RecordingConnectionList list;
  FillConnectionList(list);

  // Keyed by the two port columns; the rest of each row must match exactly.
  const std::string ownPid = ProcessIdText(OwnPid());
  const std::vector<std::string> clientEnd = {
      "127.0.0.1",  PortText(clientPort_),      "127.0.0.1", PortText(listenPort_),
      ownPid,       "\xD2\xD1\xBD\xA8\xC1\xA2",  // 已建立 in code page 936
      OwnExePath(),
  };
  std::vector<std::string> listener = {
      "127.0.0.1",  PortText(listenPort_),
      "0.0.0.0",    "0",
      ownPid,       "\xD5\xFD\xD4\xDA\xBC\xE0\xCC\xFD",  // 正在监听 in code page 936
      OwnExePath(),
  };
  int clientRows = 0;
  int listenerRows = 0;
  for (std::int32_t row = 0; !list.Cell(row, 0).empty(); ++row) {
    const std::vector<std::string> texts = RowTexts(list, row);
    if (texts[1] == clientEnd[1] && texts[3] == clientEnd[3]) {
      ++clientRows;
      EXPECT_EQ(texts, clientEnd);
    } else if (texts[1] == listener[1] && texts[3] == listener[3]) {
      ++listenerRows;
      // An owner Wine can't name: pid 0 and no path looked up.
      if (RunsUnderWine() && texts[4] == "0") {
        listener[4] = "0";
        listener[6] = "";
      }
      EXPECT_EQ(texts, listener);
    }
  }
  EXPECT_EQ(clientRows, 1);
  EXPECT_EQ(listenerRows, 1);
}

}  // namespace
