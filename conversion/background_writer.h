// Writing files on a helper thread, so that the disk's work on one file and the conversion of
// the next go on at the same time.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace orvela {

// Rewrites one file at a time with SafeRewrite, in the order given: Start() first waits for
// the file before, so a file's rewrite begins only once the one before it has succeeded.
// One thread, started with the first file, serves every file (starting a thread per file
// costs more than it saves). Used from one thread.
class BackgroundWriter {
 public:
  BackgroundWriter() = default;
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;
  ~BackgroundWriter();

  // device and inode name the file, as read, so that Rewrites() can recognise it.
  void Start(std::string path, std::string bytes, dev_t device, ino_t inode);
  void Wait();  // throws what the rewrite threw
  // Whether path names the file being written (read it only after Wait()).
  bool Rewrites(const std::string& path) const;

 private:
  struct Job {
    std::string path;
    std::string bytes;
  };
  void WaitQuietly() noexcept;  // when another error is already on its way
  void Serve();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Job> job_;  // handed over, not yet taken
  bool busy_ = false;       // a job is handed over or being written
  bool quit_ = false;
  std::exception_ptr failure_;  // of the last job
  std::thread thread_;

  // The caller's side only.
  bool pending_ = false;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

}  // namespace orvela
