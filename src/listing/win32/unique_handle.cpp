#include "listing/win32/unique_handle.h"

#include "listing/win32/platform_function.h"

namespace {

constinit PlatformFunction<decltype(&::CloseHandle)> closeHandle{"kernel32.dll", "CloseHandle"};

}  // namespace

UniqueHandle::~UniqueHandle() {
  // A failed close is ignored: nothing is left to do about it.
  if (valid()) closeHandle(handle_);
}
