// The progress line of orvela-convert on a terminal.
#pragma once

#include <functional>
#include <string>

#include "conversion/run.h"

namespace orvela::cli {

// Files done of all, megabytes done of all and the rate, on one line updated in place. Nothing
// is shown until the run has lasted a second, then at most ten times a second.
class ProgressLine {
 public:
  using Clock = std::function<double()>;  // seconds, from any fixed point

  explicit ProgressLine(Clock clock);
  // What to write to the terminal now (the line redrawn from its start), or nothing.
  std::string Update(const RunProgress& progress);
  // What erases the line at the end: nothing when none was shown.
  std::string Clear();

 private:
  Clock clock_;
  double start_;
  double shownAt_ = -1;
  bool shown_ = false;
};

}  // namespace orvela::cli
