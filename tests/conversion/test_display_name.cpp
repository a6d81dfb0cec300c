// File names shown as text: UTF-8, else GBK, else Big5, else with escapes.
#include <gtest/gtest.h>

#include <string>

#include "conversion/display_name.h"
#include "tests/conversion/test_run_support.h"

namespace orvela {
namespace {

TEST(DisplayName, DecodesWhatTheBytesAre) {
  struct Case {
    const char* what;
    std::string bytes, shown;
  } cases[] = {
      {"ascii", "/tmp/a.txt", "/tmp/a.txt"},
      {"utf-8", "/tmp/简体中文.txt", "/tmp/简体中文.txt"},
      {"gbk", "/tmp/" + testing::Gbk("简体中文文件") + ".txt", "/tmp/简体中文文件.txt"},
      {"gbk traditional", testing::Gbk("繁體中文檔案.txt"), "繁體中文檔案.txt"},
      {"big5", "/tmp/" + testing::Big5("繁體中文檔案") + ".txt", "/tmp/繁體中文檔案.txt"},
      {"neither: escapes", "/tmp/\x81\x20x\xC3.txt", "/tmp/\\x81 x\\xC3.txt"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(DisplayName(c.bytes), c.shown) << c.what;
}

}  // namespace
}  // namespace orvela
