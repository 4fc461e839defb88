#include "listing/linux/process_image_path.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "listing/linux/temp_dir.h"
#include "listing/platform_listing.h"

namespace {

// A path of exactly `length` characters.
std::string PathOfLength(std::size_t length) {
  std::string path = "/";
  while (path.size() + 64 < length) path += std::string(63, 'd') + "/";
  path += std::string(length - path.size(), 'f');
  return path;
}

TEST(ProcessImagePathInTest, ReadsTheExeLinkWhateverItsLength) {
  const TempDir proc;
  struct Case {
    std::int32_t pid;
    std::string target;  // empty: no exe link at all
    std::string expected;
  };
  const std::string shortPath = "/usr/bin/一个程序 (deleted)";
  const std::size_t lengths[] = {255, 256, 257, 511, 512, 1000, PATH_MAX - 1};
  std::vector<Case> cases = {
      {100, shortPath, shortPath}, {101, "", ""},  // a kernel thread, or a process of another user
  };
  std::int32_t pid = 200;
  for (const std::size_t length : lengths) {
    cases.push_back({pid++, PathOfLength(length), PathOfLength(length)});
  }
  for (const Case& c : cases) {
    proc.MakeDirectory(std::to_string(c.pid));
    if (!c.target.empty()) proc.MakeSymlink(std::to_string(c.pid) + "/exe", c.target);
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pid);
    SCOPED_TRACE(c.target.size());
    EXPECT_EQ(ProcessImagePathIn(proc.Path(), c.pid), c.expected);
  }
}

TEST(ProcessImagePathInTest, NoLookupForPidZeroOrBelow) {
  const TempDir proc;
  for (const char* name : {"0", "-1"}) {
    proc.MakeDirectory(name);
    proc.MakeSymlink(std::string(name) + "/exe", "/bin/true");
  }
  EXPECT_EQ(ProcessImagePathIn(proc.Path(), 0), "");
  EXPECT_EQ(ProcessImagePathIn(proc.Path(), -1), "");
}

TEST(ProcessImagePathTest, GivesTheRealExecutableOfAProcess) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  ASSERT_FALSE(self.empty());
  EXPECT_EQ(ProcessImagePath(static_cast<std::int32_t>(::getpid())), self);
  EXPECT_EQ(ProcessImagePath(0), "");
  EXPECT_EQ(ProcessImagePath(-5), "");
  EXPECT_EQ(ProcessImagePath(INT32_MAX), "");  // above any pid_max

  // A process that has ended and been reaped has no path any more.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  EXPECT_EQ(ProcessImagePath(static_cast<std::int32_t>(child)), "");
}

}  // namespace
