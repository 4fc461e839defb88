// One owned kernel HANDLE (snapshot, process), closed through the bound
// CloseHandle when it goes out of scope.
#pragma once

#include <windows.h>

class UniqueHandle {
 public:
  // `handle` may be null or INVALID_HANDLE_VALUE; neither is closed.
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle();
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};
