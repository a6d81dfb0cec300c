#include <gtest/gtest.h>

#include <string>

#include "conversion/modes.h"
#include "conversion/transforms.h"
#include "tests/conversion/test_transforms_text.h"

namespace orvela {
namespace {

using testing::Big5;
using testing::Gbk;

struct ModeCase {
  ConversionMode mode;
  std::string from;
  std::string to;
};

void PrintTo(const ModeCase& c, std::ostream* os) {
  *os << ModeName(c.mode);
}

class Modes : public ::testing::TestWithParam<ModeCase> {};
TEST_P(Modes, ConvertEndToEnd) {
  EXPECT_EQ(ApplyMode(GetParam().mode, GetParam().from), GetParam().to);
}
INSTANTIATE_TEST_SUITE_P(
    RealText, Modes,
    ::testing::Values(
        ModeCase{ConversionMode::RbGB2GBK, Gbk("开发后台，简体。\r\n"),
                 Gbk("開發後臺，簡體。\r\n")},
        ModeCase{ConversionMode::RbGBK2GB, Gbk("頭髮後臺，繁體。\r\n"),
                 Gbk("头发后台，繁体。\r\n")},
        ModeCase{ConversionMode::RbGB2Big5, Gbk("发后台为 ok\n"), Big5("發後臺為 ok\n")},
        ModeCase{ConversionMode::RbBig52GB, Big5("發後臺為 ok\n"), Gbk("发后台为 ok\n")},
        // The code page changes, the characters stay: traditional stays traditional.
        ModeCase{ConversionMode::RbBig52GBK, Big5("發後臺 ok\n"), Gbk("發後臺 ok\n")},
        ModeCase{ConversionMode::RbGBK2Big5, Gbk("發後臺 ok\n"), Big5("發後臺 ok\n")},
        // Simplified text sent to Big5 without mapping: what Big5 lacks is "?".
        ModeCase{ConversionMode::RbGBK2Big5, Gbk("发后台"), "?" + Big5("后台")}));

TEST(Modes, EmptyAndAsciiUnchangedInEveryMode) {
  const std::string ascii = "<html>\r\n<p>plain text, 100% ASCII</p>\n";
  for (ConversionMode mode : kAllModes) {
    EXPECT_EQ(ApplyMode(mode, ""), "") << ModeName(mode);
    EXPECT_EQ(ApplyMode(mode, ascii), ascii) << ModeName(mode);
  }
}

// Character for character, each mode is its transforms in the stated order; the
// two-step modes run as one pass, which must give exactly what the two steps give
// one after the other.
constexpr CharMapping kByChar = CharMapping::kByCharacter;

std::string Stepwise(ConversionMode mode, std::string_view text) {
  switch (mode) {
    case ConversionMode::RbGB2GBK:
      return MapSc2TcByChar(text);
    case ConversionMode::RbGBK2GB:
      return MapTc2ScByChar(text);
    case ConversionMode::RbGB2Big5:
      return ConvertGBK2Big5(MapSc2TcByChar(text));
    case ConversionMode::RbBig52GB:
      return MapTc2ScByChar(ConvertBig52GBK(text));
    case ConversionMode::RbBig52GBK:
      return ConvertBig52GBK(text);
    case ConversionMode::RbGBK2Big5:
      return ConvertGBK2Big5(text);
  }
  return {};
}

TEST(Modes, EveryOneAndTwoByteTextGivesTheStepwiseResult) {
  for (ConversionMode mode : kAllModes) {
    int differences = 0;
    for (int a = 0; a < 0x100; ++a) {
      std::string one(1, static_cast<char>(a));
      differences += ApplyMode(mode, one, kByChar) != Stepwise(mode, one);
      for (int b = 0; b < 0x100; ++b) {
        std::string two = one + static_cast<char>(b);
        differences += ApplyMode(mode, two, kByChar) != Stepwise(mode, two);
      }
    }
    EXPECT_EQ(differences, 0) << ModeName(mode);
  }
}

TEST(Modes, RandomBytesGiveTheStepwiseResult) {
  unsigned seed = 12345;
  auto next = [&] { return (seed = seed * 1103515245 + 12345) >> 16; };
  for (int round = 0; round < 200; ++round) {
    std::string text;
    const int length = static_cast<int>(next() % 300);
    for (int i = 0; i < length; ++i) {
      // Mostly bytes from the lead and trail ranges, where units are cut.
      const unsigned r = next();
      text += static_cast<char>(r % 4 == 0 ? r >> 4 & 0x7F : 0x80 | (r >> 4 & 0x7F));
    }
    for (ConversionMode mode : kAllModes)
      ASSERT_EQ(ApplyMode(mode, text, kByChar), Stepwise(mode, text))
          << ModeName(mode) << " round " << round;
  }
}

TEST(Modes, NamesRoundTrip) {
  const char* names[] = {"gb2gbk", "gbk2gb", "gb2big5", "big52gb", "big52gbk", "gbk2big5"};
  for (std::size_t i = 0; i < kAllModes.size(); ++i) {
    EXPECT_EQ(ModeName(kAllModes[i]), names[i]);
    EXPECT_EQ(ModeFromName(names[i]), kAllModes[i]);
  }
  EXPECT_EQ(ModeFromName("GB2BIG5"), std::nullopt);
  EXPECT_EQ(ModeFromName(""), std::nullopt);
}

}  // namespace
}  // namespace orvela
