#include "conversion/run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>

#include "base/safe_rewrite.h"
#include "base/whole_file.h"
#include "conversion/charset_tag.h"
#include "conversion/display_name.h"
#include "conversion/encoding_guard.h"

namespace orvela {

namespace {

constexpr const char* kZeroByte = "含有零字节，不是文本文件";

// Whether what is handed over, piece by piece, is the old text again: each piece is compared
// with the old text's bytes at the same place.
class SameAsOld {
 public:
  SameAsOld(int old, std::size_t oldSize) : old_(old), oldSize_(oldSize) {}
  void Compare(std::string_view piece) {
    if (same_) same_ = Matches(piece);
    at_ += piece.size();
  }
  bool Same() const { return same_ && at_ == oldSize_; }

 private:
  bool Matches(std::string_view piece) {
    if (at_ + piece.size() > oldSize_) return false;
    buffer_.resize(std::min<std::size_t>(piece.size(), 1 << 20));
    for (std::size_t done = 0; done < piece.size();) {
      const std::size_t want = std::min(buffer_.size(), piece.size() - done);
      const ssize_t n = ::pread(old_, buffer_.data(), want, static_cast<off_t>(at_ + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      if (std::memcmp(buffer_.data(), piece.data() + done, static_cast<std::size_t>(n)) != 0)
        return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  int old_;
  std::size_t oldSize_;
  std::size_t at_ = 0;
  bool same_ = true;
  std::string buffer_;
};

// The encoding check of a large file on a thread of its own, so that it reads the pieces while
// the next ones are converted; a few pieces wait for it at most.
class CheckAside {
 public:
  explicit CheckAside(SourceEncoding source) : guard_(source), thread_([this] { Serve(); }) {}
  ~CheckAside() {
    if (thread_.joinable()) Finish();
  }
  void Feed(std::string_view piece) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kWaiting; });
    queue_.emplace_back(piece);
    changed_.notify_all();
  }
  std::optional<std::string> Verdict() {
    Finish();
    return guard_.Verdict();
  }

 private:
  static constexpr std::size_t kWaiting = 4;
  void Finish() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  void Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return !queue_.empty() || done_; });
      if (queue_.empty()) return;
      std::string piece = std::move(queue_.front());
      queue_.pop_front();
      changed_.notify_all();
      lock.unlock();
      guard_.Feed(piece);
      lock.lock();
    }
  }

  EncodingGuard guard_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> queue_;
  bool done_ = false;
  std::thread thread_;
};

// Files from this size on are checked aside; for smaller ones a thread costs more than it saves.
constexpr std::size_t kCheckAsideFrom = 8 << 20;

// One file's converted text, made piece by piece as the rewrite writes it. The file keeps its
// old text when the encoding check refuses it, when it holds a zero byte (UTF-16 text or a
// binary: the transforms would stop there), or when converting changes nothing (an empty
// reason: nothing is written, so the file keeps its inode and times).
class ConvertedText : public NewText {
 public:
  ConvertedText(ConversionMode mode, const RunOptions& options, std::size_t size,
                std::function<void(std::size_t)> read)
      : mode_(mode), options_(options), size_(size), read_(std::move(read)) {}

  std::optional<std::string> Make(int from, const Put& put) override {
    PieceConverter converter(mode_, options_.mapping,
                             CharsetTagDirection(mode_, options_.alterCharsetTag), options_.pieces);
    std::optional<EncodingGuard> guard;
    std::optional<CheckAside> aside;
    if (options_.checkEncoding && size_ >= kCheckAsideFrom) {
      try {
        aside.emplace(SourceEncodingOf(mode_));
      } catch (const std::system_error&) {
        // No thread to be had (a memory limit): the check goes on beside the conversion.
      }
    }
    if (options_.checkEncoding && !aside) guard.emplace(SourceEncodingOf(mode_));
    SameAsOld same(from, size_);
    const auto sink = [&](std::string_view piece) {
      same.Compare(piece);
      put(piece);
    };
    bool zero = false;
    for (std::size_t at = 0;;) {
      char* room = converter.Room();
      const ssize_t n = ::pread(from, room, converter.RoomSize(), static_cast<off_t>(at));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return ReadFailureReason(errno);
      if (n == 0) break;
      const std::string_view got(room, static_cast<std::size_t>(n));
      at += got.size();
      if (guard) guard->Feed(got);
      if (aside) aside->Feed(got);
      zero = zero || std::memchr(got.data(), '\0', got.size());
      if (read_) read_(got.size());
      if (guard && guard->Settled()) break;  // refused whatever follows
      if (zero && !options_.checkEncoding) break;
      if (!zero) converter.Take(got.size(), sink);  // once refused, only the check reads on
    }
    std::optional<std::string> refused;
    if (guard) refused = guard->Verdict();
    if (aside) refused = aside->Verdict();
    if (refused) return refused;
    if (zero) return kZeroByte;
    converter.Finish(sink);
    read_ = nullptr;  // a second pass over the same file is no progress
    if (same.Same()) return std::string();
    return std::nullopt;
  }

 private:
  ConversionMode mode_;
  const RunOptions& options_;
  std::size_t size_;
  std::function<void(std::size_t)> read_;
};

std::uint64_t SizeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? st.st_size : 0;
}

}  // namespace

RunReport RunConversion(const std::vector<std::string>& paths, ConversionMode mode,
                        const RunOptions& options) {
  // Files met so far, by inode and by name in their folder: a file rewritten through a new file
  // has a new inode, and may be met again under its old name.
  std::set<std::pair<dev_t, ino_t>> files;
  std::set<std::tuple<dev_t, ino_t, std::string>> names;
  auto refuse = [&](const FileAt& at) -> std::string {
    const bool newInode = files.emplace(at.st.st_dev, at.st.st_ino).second;
    const bool newName = names.emplace(at.folderStat.st_dev, at.folderStat.st_ino, at.name).second;
    if (!newInode || !newName) return kSameFileAsBefore;
    if (std::optional<std::string> copy = RecoveryCopyOf(at))
      return "上次转换被中断，原文件的完整副本在 " + *copy;
    return {};
  };
  RunReport report;
  RunProgress progress{.files = paths.size()};
  std::vector<std::uint64_t> sizes;
  if (options.progress) {
    for (const std::string& path : paths) sizes.push_back(SizeOf(path));
    for (std::uint64_t size : sizes) progress.bytesTotal += size;
  }
  std::uint64_t before = 0;  // the bytes of the files before this one
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string& path = paths[i];
    if (options.stop && options.stop->load()) {
      report.notReached.assign(paths.begin() + static_cast<std::ptrdiff_t>(i), paths.end());
      break;
    }
    if (options.progress) {
      progress.file = i;
      progress.path = path;
      progress.bytesDone = before;
      progress.fileStarts = true;
      options.progress(progress);
      progress.fileStarts = false;
    }
    auto reached = [&](std::size_t n) {
      progress.bytesDone += n;
      options.progress(progress);
    };
    std::optional<std::string> why;
    OpenedFile file = OpenListedFile(path, refuse);
    if (!file.fd.valid()) {
      why = std::move(file.whyNot);
    } else {
      RemoveLeftoverOf(file.at);
      ConvertedText text(mode, options, static_cast<std::size_t>(file.at.st.st_size),
                         options.progress ? std::function<void(std::size_t)>(reached) : nullptr);
      try {
        why = SafeRewrite(file.at, text, path);
      } catch (const ReplacedOrChanged& e) {
        why = e.what();
      } catch (const std::bad_alloc&) {
        why = std::string("内存不足，无法转换（") + std::strerror(ENOMEM) + "）";
      }
    }
    if (options.progress) before += sizes[i];
    if (why && !why->empty()) {
      report.leftAlone.push_back({path, std::move(*why)});
    } else {
      ++report.converted;
    }
  }
  return report;
}

std::string CompletionSummary(const RunReport& report) {
  if (!report.notReached.empty())
    return "编码转换已停止，已转换 " + std::to_string(report.converted) + " 个文件。";
  std::string summary = "编码转换完成！";
  if (!report.leftAlone.empty())
    summary += "\n已转换 " + std::to_string(report.converted) + " 个文件，" +
               std::to_string(report.leftAlone.size()) + " 个文件未改动。";
  return summary;
}

std::string CompletionDetails(const RunReport& report, bool displayNames) {
  auto shown = [&](const std::string& path) { return displayNames ? DisplayName(path) : path; };
  std::string details;
  if (!report.leftAlone.empty()) details = "以下文件未改动：";
  for (const LeftAlone& file : report.leftAlone)
    details += "\n" + shown(file.path) + "：" + file.reason;
  if (!report.notReached.empty())
    details += (details.empty() ? "" : "\n\n") + std::string("以下文件未转换：");
  for (const std::string& path : report.notReached) details += "\n" + shown(path);
  return details;
}

std::string CompletionMessage(const RunReport& report) {
  const std::string details = CompletionDetails(report, false);
  return CompletionSummary(report) + (details.empty() ? "" : "\n\n" + details);
}

}  // namespace orvela
