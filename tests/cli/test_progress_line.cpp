// The progress line on a clock the test moves.
#include <gtest/gtest.h>

#include "cli/progress_line.h"

namespace orvela::cli {
namespace {

TEST(ProgressLine, ShownAfterASecondAtMostTenTimesASecondAndErasedAtTheEnd) {
  double now = 100;
  ProgressLine line([&] { return now; });
  const RunProgress p{.file = 1, .files = 4, .bytesDone = 3 << 20, .bytesTotal = 8 << 20};
  EXPECT_EQ(line.Update(p), "");
  now = 100.5;
  EXPECT_EQ(line.Update(p), "");  // a short run shows nothing
  now = 102;
  EXPECT_EQ(line.Update(p), "\r\x1b[K1/4 files, 3.0/8.0 MB, 1.5 MB/s");
  now = 102.05;
  EXPECT_EQ(line.Update(p), "");  // drawn a moment ago
  now = 102.2;
  EXPECT_NE(line.Update(p), "");
  EXPECT_EQ(line.Clear(), "\r\x1b[K");
}

TEST(ProgressLine, AShortRunLeavesNothingToErase) {
  double now = 0;
  ProgressLine line([&] { return now; });
  EXPECT_EQ(line.Update({.files = 1}), "");
  EXPECT_EQ(line.Clear(), "");
}

}  // namespace
}  // namespace orvela::cli
