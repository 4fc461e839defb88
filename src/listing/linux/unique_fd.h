// Owning wrappers for a file descriptor and an open directory stream, so
// every early return closes what was opened.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <utility>

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.fd_, -1));
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Reset(); }

  int Get() const { return fd_; }
  bool IsValid() const { return fd_ >= 0; }
  // Gives up ownership without closing.
  int Release() { return std::exchange(fd_, -1); }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

class UniqueDir {
 public:
  UniqueDir() = default;
  explicit UniqueDir(DIR* dir) : dir_(dir) {}
  UniqueDir(UniqueDir&& other) noexcept : dir_(std::exchange(other.dir_, nullptr)) {}
  UniqueDir& operator=(UniqueDir&& other) noexcept {
    if (this != &other) {
      if (dir_ != nullptr) ::closedir(dir_);
      dir_ = std::exchange(other.dir_, nullptr);
    }
    return *this;
  }
  UniqueDir(const UniqueDir&) = delete;
  UniqueDir& operator=(const UniqueDir&) = delete;
  ~UniqueDir() {
    if (dir_ != nullptr) ::closedir(dir_);
  }

  DIR* Get() const { return dir_; }
  bool IsValid() const { return dir_ != nullptr; }

 private:
  DIR* dir_ = nullptr;
};

// Opens `name` below the directory `parent` as a directory stream; the stream
// owns the new descriptor. Invalid when the directory can't be opened.
UniqueDir OpenDirectoryAt(int parent, const char* name);
