// A real folder tree in a fresh temporary folder, removed with the fixture.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace orvela::test {

class TempTree {
 public:
  TempTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvela-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern + "/";
  }
  ~TempTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The folder path with its final "/".
  const std::string& Root() const { return root_; }
  std::string Path(const std::string& rel) const { return root_ + rel; }

  std::string File(const std::string& rel, const std::string& content = "x") const {
    std::filesystem::create_directories(std::filesystem::path(Path(rel)).parent_path());
    std::ofstream(Path(rel), std::ios::binary) << content;
    return Path(rel);
  }
  std::string Dir(const std::string& rel) const {
    std::filesystem::create_directories(Path(rel));
    return Path(rel) + "/";
  }
  void Link(const std::string& rel, const std::string& target) const {
    std::filesystem::create_symlink(target, Path(rel));
  }
  void Fifo(const std::string& rel) const { ::mkfifo(Path(rel).c_str(), 0644); }

 private:
  std::string root_;
};

}  // namespace orvela::test
