#include <gtest/gtest.h>

#include "conversion/transforms.h"
#include "tests/conversion/test_transforms_text.h"

namespace orvela {
namespace {

using testing::Big5;
using testing::Gbk;

struct TextCase {
  const char* from;  // UTF-8
  const char* to;    // UTF-8
};

class GbkToBig5 : public ::testing::TestWithParam<TextCase> {};
TEST_P(GbkToBig5, KeepsCharacters) {
  EXPECT_EQ(ConvertGBK2Big5(Gbk(GetParam().from)), Big5(GetParam().to));
}
INSTANTIATE_TEST_SUITE_P(Text, GbkToBig5,
                         ::testing::Values(TextCase{"發後臺", "發後臺"},
                                           TextCase{"中文 text\r\n", "中文 text\r\n"},
                                           TextCase{"繁體中文，「引號」", "繁體中文，「引號」"}));

class Big5ToGbk : public ::testing::TestWithParam<TextCase> {};
TEST_P(Big5ToGbk, KeepsCharacters) {
  EXPECT_EQ(ConvertBig52GBK(Big5(GetParam().from)), Gbk(GetParam().to));
}
INSTANTIATE_TEST_SUITE_P(Text, Big5ToGbk,
                         ::testing::Values(TextCase{"發後臺", "發後臺"},
                                           TextCase{"中文 text\r\n", "中文 text\r\n"},
                                           TextCase{"繁體中文，「引號」", "繁體中文，「引號」"}));

class Sc2Tc : public ::testing::TestWithParam<TextCase> {};
TEST_P(Sc2Tc, MapsCharacters) {
  EXPECT_EQ(MapSc2Tc(Gbk(GetParam().from)), Gbk(GetParam().to));
}
INSTANTIATE_TEST_SUITE_P(Text, Sc2Tc,
                         ::testing::Values(TextCase{"发台", "發臺"},
                                           TextCase{"简体中文", "簡體中文"},
                                           TextCase{"国际 abc\n", "國際 abc\n"}));

class Tc2Sc : public ::testing::TestWithParam<TextCase> {};
TEST_P(Tc2Sc, MapsCharacters) {
  EXPECT_EQ(MapTc2Sc(Gbk(GetParam().from)), Gbk(GetParam().to));
}
INSTANTIATE_TEST_SUITE_P(Text, Tc2Sc,
                         ::testing::Values(TextCase{"發後臺", "发后台"},
                                           TextCase{"簡體中文", "简体中文"},
                                           TextCase{"國際 abc\n", "国际 abc\n"}));

}  // namespace
}  // namespace orvela
