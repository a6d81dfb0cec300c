#include "conversion/background_writer.h"

#include <sys/stat.h>

#include <utility>

#include "conversion/safe_rewrite.h"

namespace orvela {

BackgroundWriter::~BackgroundWriter() {
  WaitQuietly();
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundWriter::Start(std::string path, std::string bytes, dev_t device, ino_t inode) {
  Wait();
  if (!thread_.joinable()) thread_ = std::thread([this] { Serve(); });
  {
    std::lock_guard lock(mutex_);
    job_ = Job{std::move(path), std::move(bytes)};
    busy_ = true;
  }
  changed_.notify_all();
  pending_ = true;
  device_ = device;
  inode_ = inode;
}

void BackgroundWriter::Wait() {
  if (!pending_) return;
  pending_ = false;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void BackgroundWriter::WaitQuietly() noexcept {
  try {
    Wait();
  } catch (...) {
  }
}

bool BackgroundWriter::Rewrites(const std::string& path) const {
  struct stat st;
  return pending_ && ::stat(path.c_str(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_;
}

void BackgroundWriter::Serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return job_ || quit_; });
    if (!job_) return;
    Job job = std::move(*job_);
    job_.reset();
    lock.unlock();
    std::exception_ptr failure;
    try {
      SafeRewrite(job.path, job.bytes);
    } catch (...) {
      failure = std::current_exception();
    }
    job = {};  // the text is released here, not under the lock
    lock.lock();
    failure_ = failure;
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace orvela
