// Writing files on a helper thread while the next one is read: the run bench's floor of
// reading and crash-safely rewriting files, with reads and writes overlapped.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/whole_file.h"

namespace orvela {

// Rewrites one file at a time with SafeRewrite, in the order given: Start() first waits for
// the file before, so a file's rewrite begins only once the one before it has succeeded.
// One thread, started with the first file, serves every file (starting a thread per file
// costs more than it saves). Used from one thread.
class BackgroundWriter {
 public:
  // A file not written because it was replaced or changed since it was read.
  struct Unwritten {
    std::size_t index;  // as given to Start()
    std::string path;
    std::string reason;
  };

  BackgroundWriter() = default;
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;
  ~BackgroundWriter();

  // Rewrites the file `at` describes (as read) with bytes; path names it in messages.
  void Start(std::size_t index, std::string path, FileAt at, std::string bytes);
  void Wait();  // throws what the rewrite threw, but for a file found replaced or changed
  // The files found replaced or changed, once Wait() has returned.
  std::vector<Unwritten> TakeUnwritten();

 private:
  struct Job {
    std::size_t index;
    std::string path;
    FileAt at;
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
  std::vector<Unwritten> unwritten_;
  std::thread thread_;

  bool pending_ = false;  // the caller's side only
};

}  // namespace orvela
