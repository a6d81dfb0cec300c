// Writing files on a helper thread, so that the disk's work on one file and the conversion of
// the next go on at the same time.
#pragma once

#include <sys/types.h>

#include <future>
#include <string>

namespace orvela {

// Rewrites one file at a time with SafeRewrite, in the order given: Start() first waits for
// the file before, so a file's rewrite begins only once the one before it has succeeded.
class BackgroundWriter {
 public:
  BackgroundWriter() = default;
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;
  ~BackgroundWriter() { WaitQuietly(); }

  // device and inode name the file, as read, so that Rewrites() can recognise it.
  void Start(std::string path, std::string bytes, dev_t device, ino_t inode);
  void Wait();                  // throws what the rewrite threw
  void WaitQuietly() noexcept;  // when another error is already on its way
  // Whether path names the file being written (read it only after Wait()).
  bool Rewrites(const std::string& path) const;

 private:
  std::future<void> done_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

}  // namespace orvela
