// Executables at hostile paths own sockets; the lister must print each path
// escaped on its own line, and nothing in it may reach the terminal raw.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/lister_run.h"
#include "listing/escaped_text.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A copy of the socket holder at `path`, running, with its port read.
class HeldListener {
 public:
  explicit HeldListener(const std::string& path) {
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    char* argv[] = {const_cast<char*>("holder"), nullptr};
    if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    stdin_ = toChild[1];
    char buffer[16] = {};
    const ssize_t n = read(fromChild[0], buffer, sizeof buffer - 1);
    close(fromChild[0]);
    if (n > 0) port_ = std::atoi(buffer);
  }
  HeldListener(const HeldListener&) = delete;
  HeldListener& operator=(const HeldListener&) = delete;
  ~HeldListener() {
    if (stdin_ >= 0) close(stdin_);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }
  int Port() const { return port_; }
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int stdin_ = -1;
  int port_ = 0;
};

std::string CopyHolderTo(const fs::path& path) {
  fs::create_directories(path.parent_path());
  fs::copy_file(SOCKET_HOLDER_PATH, path, fs::copy_options::overwrite_existing);
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  return path.string();
}

const std::vector<std::string>* RowForPort(const ListerRun& run, int port) {
  for (std::size_t i = 1; i < run.lines.size(); ++i) {
    const auto& cells = run.lines[i];
    if (cells.size() == 7 && cells[0] == "127.0.0.1" && cells[1] == std::to_string(port) &&
        cells[5] == "正在监听") {
      return &cells;
    }
  }
  return nullptr;
}

class HostilePaths : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/corvenna-hostile-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path root_;
};

TEST_F(HostilePaths, EachPathComesOutEscapedOnOneLine) {
  std::string longDir = root_.string();
  while (longDir.size() < 3900) longDir += "/" + std::string(200, 'd');
  const struct {
    const char* name;
    std::string path;
  } cases[] = {
      {"newline", (root_ / "new\nline").string()},
      {"escape sequence", (root_ / "red\x1b[31m\x1b]0;title\x07").string()},
      {"invalid UTF-8", (root_ / "bad\xff\xfe\xc0").string()},
      {"spaces", (root_ / "with  some spaces ").string()},
      {"tab", (root_ / "a\tb").string()},
      {"Chinese", (root_ / "程序").string()},
      {"about 4,000 bytes", longDir + "/holder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = CopyHolderTo(c.path);
    HeldListener holder(path);
    ASSERT_GT(holder.Port(), 0);
    const ListerRun run = RunLister();
    ASSERT_EQ(run.status, 0);
    for (std::size_t i = 1; i < run.lines.size(); ++i) EXPECT_EQ(run.lines[i].size(), 7u);
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
    const auto* row = RowForPort(run, holder.Port());
    ASSERT_NE(row, nullptr) << run.out;
    EXPECT_EQ((*row)[4], std::to_string(holder.Pid()));
    EXPECT_EQ((*row)[6], EscapeForTerminal(path));
  }
}

TEST_F(HostilePaths, DeletedExecutableShowsWhatTheKernelSays) {
  const std::string path = CopyHolderTo(root_ / "gone");
  HeldListener holder(path);
  ASSERT_GT(holder.Port(), 0);
  fs::remove(path);
  const ListerRun run = RunLister();
  ASSERT_EQ(run.status, 0);
  const auto* row = RowForPort(run, holder.Port());
  ASSERT_NE(row, nullptr) << run.out;
  EXPECT_EQ((*row)[6], path + " (deleted)");
}

}  // namespace
