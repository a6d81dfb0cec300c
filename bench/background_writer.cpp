#include "bench/background_writer.h"

#include <utility>

#include "base/safe_rewrite.h"

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

void BackgroundWriter::Start(std::size_t index, std::string path, FileAt at, std::string bytes) {
  Wait();
  if (!thread_.joinable()) thread_ = std::thread([this] { Serve(); });
  {
    std::lock_guard lock(mutex_);
    job_ = Job{index, std::move(path), std::move(at), std::move(bytes)};
    busy_ = true;
  }
  changed_.notify_all();
  pending_ = true;
}

void BackgroundWriter::Wait() {
  if (!pending_) return;
  pending_ = false;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

std::vector<BackgroundWriter::Unwritten> BackgroundWriter::TakeUnwritten() {
  std::lock_guard lock(mutex_);
  return std::exchange(unwritten_, {});
}

void BackgroundWriter::WaitQuietly() noexcept {
  try {
    Wait();
  } catch (...) {
  }
}

void BackgroundWriter::Serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return job_ || quit_; });
    if (!job_) return;
    std::optional<Job> job = std::move(job_);
    job_.reset();
    lock.unlock();
    std::exception_ptr failure;
    std::optional<Unwritten> unwritten;
    try {
      SafeRewrite(job->at, job->bytes, job->path);
    } catch (const ReplacedOrChanged& e) {
      unwritten = Unwritten{job->index, job->path, e.what()};
    } catch (...) {
      failure = std::current_exception();
    }
    job.reset();  // the text is released here, not under the lock
    lock.lock();
    failure_ = failure;
    if (unwritten) unwritten_.push_back(std::move(*unwritten));
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace orvela
