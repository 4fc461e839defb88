#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "listing/win32/platform_function.h"

namespace {

using ::testing::ExitedWithCode;
using ::testing::HasSubstr;

TEST(PlatformFunction, BindsAtItsFirstCallAndKeepsTheExport) {
  // A library this test program does not import, so that loading it is
  // visibly the binding's doing.
  const char* const library = "version.dll";
  if (GetModuleHandleA(library) != nullptr) GTEST_SKIP() << library << " is already loaded";

  PlatformFunction<decltype(&::GetFileVersionInfoSizeA)> getFileVersionInfoSize{
      library, "GetFileVersionInfoSizeA"};
  EXPECT_EQ(GetModuleHandleA(library), nullptr) << "bound before its first call";

  char exePath[MAX_PATH] = {};
  ASSERT_NE(GetModuleFileNameA(nullptr, exePath, MAX_PATH), 0u);
  DWORD ignored = 0;
  getFileVersionInfoSize(exePath, &ignored);

  const HMODULE loaded = GetModuleHandleA(library);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(getFileVersionInfoSize.Bound()),
            reinterpret_cast<void*>(GetProcAddress(loaded, "GetFileVersionInfoSizeA")));
}

TEST(PlatformFunction, CallsGoToTheBoundFunction) {
  PlatformFunction<decltype(&::GetCurrentProcessId)> getCurrentProcessId{"kernel32.dll",
                                                                         "GetCurrentProcessId"};
  PlatformFunction<decltype(&::lstrlenA)> stringLength{"kernel32.dll", "lstrlenA"};
  for (int call = 0; call < 2; ++call) {
    SCOPED_TRACE(call);
    EXPECT_EQ(getCurrentProcessId(), GetCurrentProcessId());
    EXPECT_EQ(stringLength("twelve chars"), 12);
  }
}

void BindAndCall(const char* library, const char* function) {
  PlatformFunction<decltype(&::GetCurrentProcessId)> missing{library, function};
  missing();
  std::fputs("the call went on without its function\n", stderr);
  ExitProcess(0);
}

TEST(PlatformFunctionDeathTest, UnboundFunctionSaysWhichAndStops) {
  struct Case {
    const char* name;
    const char* library;
    const char* function;
  };
  const Case cases[] = {
      {"no such export", "kernel32.dll", "CorvennaNoSuchFunction"},
      {"no such library", "corvenna-no-such-library.dll", "GetExtendedTcpTable"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EXIT(BindAndCall(c.library, c.function), ExitedWithCode(kUnboundFunctionExitCode),
                HasSubstr(UnboundFunctionMessage(c.library, c.function) + "\n"));
  }
}

void ReportAndExitSeven(const char* library, const char* function) {
  std::fprintf(stderr, "handler: %s %s\n", library, function);
  ExitProcess(7);
}

void ReportAndReturn(const char* library, const char* function) {
  std::fprintf(stderr, "handler: %s %s\n", library, function);
}

TEST(PlatformFunctionDeathTest, HandlerIsToldLibraryAndFunction) {
  struct Case {
    const char* name;
    UnboundFunctionHandler handler;
    int exitCode;
  };
  const Case cases[] = {
      {"handler ends the process itself", ReportAndExitSeven, 7},
      {"handler returns", ReportAndReturn, static_cast<int>(kUnboundFunctionExitCode)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EXIT(
        {
          SetUnboundFunctionHandler(c.handler);
          BindAndCall("kernel32.dll", "CorvennaNoSuchFunction");
        },
        ExitedWithCode(c.exitCode), HasSubstr("handler: kernel32.dll CorvennaNoSuchFunction\n"));
  }
}

TEST(PlatformFunctionDeathTest, NullHandlerRestoresTheDefault) {
  EXPECT_EXIT(
      {
        SetUnboundFunctionHandler(ReportAndExitSeven);
        SetUnboundFunctionHandler(nullptr);
        BindAndCall("kernel32.dll", "CorvennaNoSuchFunction");
      },
      ExitedWithCode(kUnboundFunctionExitCode),
      HasSubstr(UnboundFunctionMessage("kernel32.dll", "CorvennaNoSuchFunction")));
}

}  // namespace
