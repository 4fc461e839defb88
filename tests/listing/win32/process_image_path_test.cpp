#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "listing/platform_listing.h"
#include "listing/win32/process_image_lookup.h"

namespace {

std::string OwnExePath() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

TEST(ExePathFromModuleEntry, TakesTheTextUpToItsNulAndNeverPastTheArray) {
  struct Case {
    const char* name;
    std::string stored;  // copied into szExePath
    std::string expected;
  };
  const std::string longest(MAX_PATH - 1, 'a');
  const std::string full(MAX_PATH, 'b');
  const Case cases[] = {
      {"empty first byte", std::string(1, '\0') + "C:\\after.exe", ""},
      {"ordinary path", "C:\\Windows\\explorer.exe", "C:\\Windows\\explorer.exe"},
      {"bytes after the NUL are left", std::string("C:\\a.exe\0C:\\b.exe", 17), "C:\\a.exe"},
      {"259 characters and NUL come back whole", longest, longest},
      {"260 characters without NUL come back as 260 bytes", full, full},
      {"code page 936 bytes pass unchanged", "C:\\程序\\连接.exe", "C:\\程序\\连接.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Letters everywhere, also just past the record: a read beyond
    // szExePath would find no NUL there and show in the result.
    struct {
      AnsiModuleEntry entry;
      char after[16];
    } guarded;
    std::memset(&guarded, 'z', sizeof guarded);
    guarded.entry.dwSize = sizeof guarded.entry;
    // With its NUL, unless it fills the whole array.
    std::memcpy(guarded.entry.szExePath, c.stored.c_str(),
                std::min<std::size_t>(c.stored.size() + 1, MAX_PATH));
    EXPECT_EQ(ExePathFromModuleEntry(guarded.entry), c.expected);
  }
}

TEST(ProcessImagePath, OwnProcessNamesThisTestProgram) {
  const std::string expected = OwnExePath();
  ASSERT_FALSE(expected.empty());
  const DWORD self = GetCurrentProcessId();
  EXPECT_EQ(ProcessImagePath(static_cast<std::int32_t>(self)), expected);
  EXPECT_EQ(FirstModuleExePath(self), expected);
  EXPECT_EQ(QueriedProcessImagePath(self), expected);
}

TEST(ProcessImagePath, ProcessesThatCannotBeLookedUpGiveEmptyText) {
  struct Case {
    const char* name;
    std::int32_t pid;
  };
  const Case cases[] = {
      // Toolhelp would read 0 as this very process, so a lookup shows.
      {"no owner known", 0},
      {"not a process id", -1},
      {"no such process", 0x7FFFFFFC},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ProcessImagePath(c.pid), "");
  }
}

// A second copy of this program, started suspended and ended with the test.
class ChildProcess {
 public:
  ChildProcess() {
    // Built up in steps: GCC 12 misreads '"' + path as overlapping copies.
    std::string commandLine = "\"";
    commandLine += OwnExePath();
    commandLine += "\" --gtest_list_tests";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                       nullptr, nullptr, &startup, &info) != FALSE) {
      process_ = info.hProcess;
      CloseHandle(info.hThread);
      pid_ = info.dwProcessId;
    }
  }
  ~ChildProcess() {
    if (process_ == nullptr) return;
    TerminateProcess(process_, 0);
    WaitForSingleObject(process_, INFINITE);
    CloseHandle(process_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  DWORD pid() const { return pid_; }

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

TEST(ProcessImagePath, AnotherProcessIsFoundByTheFallbackToo) {
  const ChildProcess child;
  ASSERT_NE(child.pid(), 0u);
  const std::string expected = OwnExePath();
  // The module snapshot of a process that has not run yet may be refused;
  // then the fallback alone must give the path.
  EXPECT_EQ(QueriedProcessImagePath(child.pid()), expected);
  EXPECT_EQ(ProcessImagePath(static_cast<std::int32_t>(child.pid())), expected);
  const std::optional<std::string> fromModules = FirstModuleExePath(child.pid());
  if (fromModules.has_value()) {
    EXPECT_EQ(*fromModules, expected);
  }
}

}  // namespace
