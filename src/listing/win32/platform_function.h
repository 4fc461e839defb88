// Platform functions bound by library file name and exported function name.
//
// A PlatformFunction names one exported function and binds it at its first
// call: the library is loaded from the system directory (LoadLibraryExA) and
// the function looked up (GetProcAddress). The pointer is kept, so later calls
// go straight to the function. Libraries stay loaded for the rest of the
// process; nothing is unloaded and no destructor runs.
//
// A function that can't be bound (library missing, or no such export) stops
// the program: the unbound-function handler is told the library and function
// names, and the process then ends with kUnboundFunctionExitCode. The listing
// never goes on without one of its functions.
//
// Declare one object per function with static storage, typed with the
// function's own pointer type so that the calling convention comes along:
//
//   constinit PlatformFunction<decltype(&::CloseHandle)> closeHandle{
//       "kernel32.dll", "CloseHandle"};
//   closeHandle(handle);
#pragma once

#include <windows.h>

#include <atomic>
#include <bit>
#include <string>
#include <utility>

// Exit code of a process stopped because a platform function can't be bound.
inline constexpr unsigned kUnboundFunctionExitCode = 3;

// Called with the library file name and the function name of a function that
// can't be bound. It should tell the user and end the process (the GUI shows a
// message box; the console lister writes to standard error). Should it return,
// the process ends with kUnboundFunctionExitCode all the same.
using UnboundFunctionHandler = void (*)(const char* library, const char* function);

// Replaces the handler; nullptr restores the default, which writes
// UnboundFunctionMessage and a newline to standard error and ends the process
// with kUnboundFunctionExitCode. Set it before the first platform call.
void SetUnboundFunctionHandler(UnboundFunctionHandler handler);

// The text that says a function can't be bound, naming both (code page 936 on
// the Windows builds, without a trailing newline).
std::string UnboundFunctionMessage(const char* library, const char* function);

// Any function's address, as GetProcAddress gives it.
using PlatformFunctionAddress = void (*)();

// Loads `library` and finds `function` in it. Never returns when it can't:
// the handler runs and the process ends.
PlatformFunctionAddress BindPlatformFunctionOrStop(const char* library, const char* function);

// Declared for platform (WINAPI) functions only: on 32-bit x86 that calling
// convention is part of the pointer type, and a function of another one
// fails to compile here instead of being called the wrong way.
template <typename FunctionPointer>
class PlatformFunction;

template <typename Result, typename... Params>
class PlatformFunction<Result(WINAPI*)(Params...)> {
 public:
  using Pointer = Result(WINAPI*)(Params...);

  constexpr PlatformFunction(const char* library, const char* function) noexcept
      : library_(library), function_(function) {}
  PlatformFunction(const PlatformFunction&) = delete;
  PlatformFunction& operator=(const PlatformFunction&) = delete;

  Result operator()(Params... params) { return Bound()(std::forward<Params>(params)...); }

  // The function's address, binding it first if this is the first use.
  Pointer Bound() {
    Pointer bound = bound_.load(std::memory_order_acquire);
    if (bound == nullptr) {
      bound = std::bit_cast<Pointer>(BindPlatformFunctionOrStop(library_, function_));
      bound_.store(bound, std::memory_order_release);
    }
    return bound;
  }

 private:
  const char* library_;
  const char* function_;
  std::atomic<Pointer> bound_{nullptr};
};
