#include "listing/linux/socket_owner_map.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "listing/linux/temp_dir.h"
#include "listing/linux/unique_fd.h"

namespace {

TEST(SocketInodeFromLinkTextTest, ReadsOnlySocketLinks) {
  struct Case {
    const char* text;
    std::optional<std::uint32_t> inode;
  };
  const Case cases[] = {
      {"socket:[1234]", 1234u},
      {"socket:[0]", 0u},
      {"socket:[4294967295]", 4294967295u},
      {"socket:[4294967296]", std::nullopt},  // wider than an inode number
      {"socket:[]", std::nullopt},
      {"socket:[12", std::nullopt},
      {"socket:1234]", std::nullopt},
      {"socket:[+12]", std::nullopt},
      {"socket:[ 12]", std::nullopt},
      {"socket:[12a]", std::nullopt},
      {"pipe:[1234]", std::nullopt},
      {"anon_inode:[eventfd]", std::nullopt},
      {"/tmp/socket:[1234]", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SocketInodeFromLinkText(c.text), c.inode);
  }
}

TEST(PidFromEntryNameTest, AcceptsPositiveDecimalPidsOnly) {
  struct Case {
    const char* name;
    std::optional<std::int32_t> pid;
  };
  const Case cases[] = {
      {"1", 1},
      {"2147483647", 2147483647},
      {"2147483648", std::nullopt},
      {"0", std::nullopt},
      {"-1", std::nullopt},
      {"12a", std::nullopt},
      {"", std::nullopt},
      {"self", std::nullopt},
      {"thread-self", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PidFromEntryName(c.name), c.pid);
  }
}

// A small /proc: processes with sockets and other descriptors, entries that
// are not processes, and processes whose descriptors can't be read.
class FakeProcTest : public testing::Test {
 protected:
  void Process(const std::string& pid) const { proc_.MakeDirectory(pid + "/fd"); }
  void Fd(const std::string& pid, const std::string& fd, const std::string& target) const {
    proc_.MakeSymlink(pid + "/fd/" + fd, target);
  }

  TempDir proc_;
};

TEST_F(FakeProcTest, MapsSocketInodesToTheirProcess) {
  // Created high pid first: the lowest pid must win whatever order readdir gives.
  Process("300");
  Fd("300", "3", "socket:[1234]");
  Fd("300", "9", "socket:[3000]");
  Process("7");
  Fd("7", "0", "/dev/null");
  Fd("7", "1", "pipe:[999]");
  Fd("7", "2", "anon_inode:[eventfd]");
  Fd("7", "3", "socket:[1234]");
  Fd("7", "4", "socket:[5678]");
  Fd("7", "5", "socket:[56x]");
  Fd("7", "6", "/a/path/that/is/much/longer/than/a/socket/link/text/could/ever/be/at/all");
  // Not processes.
  proc_.MakeSymlink("self", "7");
  proc_.MakeDirectory("net");
  Process("12a");
  Fd("12a", "3", "socket:[42]");
  Process("0");
  Fd("0", "3", "socket:[43]");
  Process("99999999999");
  Fd("99999999999", "3", "socket:[44]");
  proc_.WriteFile("55", "a file, not a process directory");
  // Processes whose descriptors can't be read: gone, or odd.
  proc_.MakeDirectory("40");
  proc_.MakeDirectory("41");
  proc_.WriteFile("41/fd", "");
  Process("42");
  proc_.MakeSymlink("42/fd/3", "socket:[4200]");
  ::chmod(proc_.At("42/fd").c_str(), 0);
  // Root reads it anyway; an ordinary user can't, as with other users' processes.
  const bool canRead42 = ::access(proc_.At("42/fd").c_str(), R_OK | X_OK) == 0;

  const SocketOwnerMap owners = ScanSocketOwners(proc_.Path(), 16);

  SocketOwnerMap expected = {{1234, 7}, {5678, 7}, {3000, 300}};
  if (canRead42) expected.emplace(4200, 42);
  EXPECT_EQ(owners, expected);
}

TEST_F(FakeProcTest, MissingOrEmptyRootGivesNoOwners) {
  EXPECT_TRUE(ScanSocketOwners(proc_.At("missing"), 0).empty());
  EXPECT_TRUE(ScanSocketOwners(proc_.Path(), 0).empty());
}

// The real /proc, where descriptors are read by number until as many as the
// directory's size says are found, and listed when the table is sparse: this
// process's sockets are found both in a dense run and far above the rest.
TEST(RealProcTest, FindsThisProcessSocketsWhereverTheirDescriptorsLie) {
  std::vector<UniqueFd> sockets;
  for (int i = 0; i < 20; ++i) {
    sockets.emplace_back(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    ASSERT_TRUE(sockets.back().IsValid());
  }
  for (const int lowest : {900, 5000}) {
    const UniqueFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockets.emplace_back(::fcntl(socket.Get(), F_DUPFD_CLOEXEC, lowest));
    ASSERT_GE(sockets.back().Get(), lowest);
  }

  const SocketOwnerMap owners = ScanSocketOwners("/proc", 64);

  for (const UniqueFd& socket : sockets) {
    SCOPED_TRACE(socket.Get());
    struct stat status {};
    ASSERT_EQ(::fstat(socket.Get(), &status), 0);
    const auto owner = owners.find(static_cast<std::uint32_t>(status.st_ino));
    ASSERT_NE(owner, owners.end());
    EXPECT_EQ(owner->second, ::getpid());
  }
}

}  // namespace
