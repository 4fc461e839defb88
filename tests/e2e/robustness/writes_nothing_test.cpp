// The lister reads the kernel's tables and writes only its output: no file
// is opened for writing, created, renamed or removed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "e2e/lister_run.h"

namespace {

TEST(WritesNothing, ListerOpensNoFileForWriting) {
  if (system("command -v strace >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace not installed";
  char logPath[] = "/tmp/corvenna-strace-XXXXXX";
  const int fd = mkstemp(logPath);
  ASSERT_GE(fd, 0);
  close(fd);
  const ListerRun run =
      RunLister(std::string("ASAN_OPTIONS=detect_leaks=0 strace -f -qq -e "
                            "trace=open,openat,openat2,creat,mkdir,mkdirat,unlink,unlinkat,"
                            "rename,renameat,renameat2,truncate,ftruncate -o ") +
                logPath + " ");
  ASSERT_EQ(run.status, 0);
  std::ifstream log(logPath);
  std::stringstream text;
  text << log.rdbuf();
  std::remove(logPath);
  std::string line;
  int opens = 0;
  while (std::getline(text, line)) {
    SCOPED_TRACE(line);
    if (line.find("open") != std::string::npos) ++opens;
    EXPECT_EQ(line.find("O_WRONLY"), std::string::npos);
    EXPECT_EQ(line.find("O_RDWR"), std::string::npos);
    EXPECT_EQ(line.find("O_CREAT"), std::string::npos);
    for (const char* call : {"creat(", "mkdir", "unlink", "rename", "truncate"}) {
      EXPECT_EQ(line.find(call), std::string::npos);
    }
  }
  EXPECT_GT(opens, 0) << "strace saw no open at all";
}

}  // namespace
