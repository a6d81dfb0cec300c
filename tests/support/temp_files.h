// Temporary folders and whole-file access for tests on real files, folders the unprivileged user
// "nobody" may fill, and code run in a child process that may be killed.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>

#include "tests/support/unprivileged.h"

namespace orvela::testing {

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  explicit TempDir(const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
    std::string pattern = (parent / "orvela-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write fixture " + path);
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline struct stat Stat(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) throw std::runtime_error("cannot stat " + path);
  return st;
}

// Names in the folder other than those given: left-over temporary files, for instance.
inline std::size_t CountEntries(const std::filesystem::path& folder) {
  std::size_t n = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

// A folder under /tmp that "nobody" may enter and fill; its files are given to nobody too.
class NobodyDir : public TempDir {
 public:
  NobodyDir() : TempDir("/tmp") {
    if (::geteuid() == 0 && ::chown(path().c_str(), kNobody, kNobody) != 0)
      throw std::runtime_error("cannot give the folder to nobody");
    ::chmod(path().c_str(), 0755);
  }
  // Writes a file that belongs to nobody (when we are root) with the given permission bits.
  std::string Add(const std::string& name, const std::string& bytes, mode_t mode = 0644) const {
    std::string file = *this / name;
    WriteFile(file, bytes);
    if (::geteuid() == 0 && ::chown(file.c_str(), kNobody, kNobody) != 0)
      throw std::runtime_error("cannot give a file to nobody");
    ::chmod(file.c_str(), mode);
    return file;
  }
};

}  // namespace orvela::testing
