#include <gtest/gtest.h>

#include "base/error.h"

namespace orvela {
namespace {

TEST(ErrorText, FullStopRule) {
  struct Case {
    const char* message;
    const char* shown;
  } cases[] = {
      {"", ""},
      {"Cannot create file /tmp/a.txt", "Cannot create file /tmp/a.txt."},
      {"List index out of bounds (0)", "List index out of bounds (0)"},
      {"done.", "done."},
      {"done!", "done!"},
      {"a,", "a,"},
      {"trailing ", "trailing "},
      {"ends in a slash/", "ends in a slash/."},
      {"digit 7", "digit 7."},
      {"编码转换完成", "编码转换完成."},
  };
  for (const Case& c : cases) EXPECT_EQ(WithFullStop(c.message), c.shown) << c.message;
}

}  // namespace
}  // namespace orvela
