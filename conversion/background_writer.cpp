#include "conversion/background_writer.h"

#include <sys/stat.h>

#include "conversion/safe_rewrite.h"

namespace orvela {

void BackgroundWriter::Start(std::string path, std::string bytes, dev_t device, ino_t inode) {
  Wait();
  device_ = device;
  inode_ = inode;
  done_ = std::async(std::launch::async, [path = std::move(path), bytes = std::move(bytes)] {
    SafeRewrite(path, bytes);
  });
}

void BackgroundWriter::Wait() {
  inode_ = 0;
  if (done_.valid()) done_.get();
}

void BackgroundWriter::WaitQuietly() noexcept {
  try {
    Wait();
  } catch (...) {
  }
}

bool BackgroundWriter::Rewrites(const std::string& path) const {
  struct stat st;
  return done_.valid() && ::stat(path.c_str(), &st) == 0 && st.st_dev == device_ &&
         st.st_ino == inode_;
}

}  // namespace orvela
