// A directory under the system's temporary directory, removed with all its
// contents when the object goes; for fake /proc trees.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvenna-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    // Directories a test made unreadable must be opened up before removal
    // when not running as root.
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(
             path_, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
        ::chmod(it->path().c_str(), 0700);
      }
    }
    std::filesystem::remove_all(path_, ignored);
  }

  const std::string& Path() const { return path_; }
  std::string At(const std::string& relative) const { return path_ + "/" + relative; }

  void MakeDirectory(const std::string& relative) const {
    std::filesystem::create_directories(At(relative));
  }
  void WriteFile(const std::string& relative, const std::string& contents) const {
    std::ofstream(At(relative), std::ios::binary) << contents;
  }
  void MakeSymlink(const std::string& relative, const std::string& target) const {
    std::filesystem::create_symlink(target, At(relative));
  }

 private:
  std::string path_;
};
