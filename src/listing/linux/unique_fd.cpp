#include "listing/linux/unique_fd.h"

#include <fcntl.h>

UniqueDir OpenDirectoryAt(int parent, const char* name) {
  UniqueFd fd(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.IsValid()) return UniqueDir();
  DIR* dir = ::fdopendir(fd.Get());
  if (dir == nullptr) return UniqueDir();
  fd.Release();  // the stream closes it now
  return UniqueDir(dir);
}
