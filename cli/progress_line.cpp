#include "cli/progress_line.h"

#include <cstdio>

namespace orvela::cli {

namespace {
constexpr double kQuietFor = 1.0;  // a short run shows nothing
constexpr double kRedrawAfter = 0.1;
constexpr const char* kErase = "\r\x1b[K";
}  // namespace

ProgressLine::ProgressLine(Clock clock) : clock_(std::move(clock)), start_(clock_()) {}

std::string ProgressLine::Update(const RunProgress& p) {
  const double now = clock_();
  if (now - start_ < kQuietFor || (shown_ && now - shownAt_ < kRedrawAfter)) return {};
  shown_ = true;
  shownAt_ = now;
  const double mb = 1024.0 * 1024.0;
  char line[160];
  std::snprintf(line, sizeof line, "%s%zu/%zu files, %.1f/%.1f MB, %.1f MB/s", kErase, p.file,
                p.files, p.bytesDone / mb, p.bytesTotal / mb, p.bytesDone / mb / (now - start_));
  return line;
}

std::string ProgressLine::Clear() {
  return shown_ ? kErase : "";
}

}  // namespace orvela::cli
