#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/icu_codepage.h"
#include "conversion/transforms.h"
#include "tests/conversion/test_transforms_text.h"

namespace orvela {
namespace {

using testing::Big5;
using testing::Gbk;

using Transform = std::string (*)(std::string_view);

// Fixtures are raw bytes: the source side and the expected result, built from UTF-8
// or written out where the bytes themselves are the point.
struct Case {
  const char* name;
  std::string from;
  std::string to;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class GbkToBig5 : public ::testing::TestWithParam<Case> {};
TEST_P(GbkToBig5, GivesWindowsCodePage950) {
  EXPECT_EQ(ConvertGBK2Big5(GetParam().from), GetParam().to);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, GbkToBig5,
    ::testing::Values(
        Case{"traditional", Gbk("發後臺，「繁體」"), Big5("發後臺，「繁體」")},
        Case{"mixed_ascii", Gbk("中文 text\r\n第二行\n"), Big5("中文 text\r\n第二行\n")},
        // Simplified characters that Big5 lacks become "?"; no mapping happens here.
        Case{"simplified_lacking", Gbk("发后台"), "?" + Big5("后台")},
        // Windows' best fit: é has no Big5 form but becomes "e"; the text gets shorter.
        Case{"best_fit_shorter", Gbk("café"), "cafe"},
        // GBK 80 is the euro sign, two bytes in Big5: the text gets longer.
        Case{"euro_longer", "\x80", "\xA3\xE1"}, Case{"lead_then_ascii", "\x81\x30", "?0"},
        Case{"lead_then_line_break", "\xB0\n\xB0\xA1", "?\n" + Big5("啊")},
        Case{"lone_lead_at_end", "ab\xB0", "ab?"},
        // A lead byte may end a pair: B0 B0 is one character, the last B0 a lone lead.
        Case{"lead_then_lead", "\xB0\xB0\xB0",
             Big5(testing::Decode("windows-936-2000", "\xB0\xB0")) + "?"}));

class Big5ToGbk : public ::testing::TestWithParam<Case> {};
TEST_P(Big5ToGbk, GivesWindowsCodePage936) {
  EXPECT_EQ(ConvertBig52GBK(GetParam().from), GetParam().to);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, Big5ToGbk,
    ::testing::Values(
        Case{"traditional", Big5("發後臺，「繁體」"), Gbk("發後臺，「繁體」")},
        Case{"mixed_ascii", Big5("中文 text\r\n第二行\n"), Gbk("中文 text\r\n第二行\n")},
        // No GBK form: one "?" in place of two bytes.
        Case{"lacking_shorter", Big5("一‧二"), Gbk("一") + "?" + Gbk("二")},
        Case{"euro_shorter", "\xA3\xE1", "\x80"}, Case{"lead_then_ascii", "\xA4\x30", "?0"},
        Case{"lead_then_line_break", "\xA4\n", "?\n"}, Case{"lone_lead_at_end", "ab\xA4", "ab?"},
        // A trail byte in range but no character: one "?" for both bytes.
        Case{"pair_without_character",
             "\x81\x80"
             "a",
             "?a"}));

class Sc2Tc : public ::testing::TestWithParam<Case> {};
TEST_P(Sc2Tc, MapsCharacterForCharacter) {
  EXPECT_EQ(MapSc2TcByChar(GetParam().from), GetParam().to);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, Sc2Tc,
    ::testing::Values(Case{"common", Gbk("发后台简体中文"), Gbk("發後臺簡體中文")},
                      Case{"with_ascii", Gbk("国际 abc\r\n"), Gbk("國際 abc\r\n")},
                      // The forms Big5 holds: 爲 and 牀 are OpenCC's, 為 and 床 Taiwan's.
                      Case{"big5_form_preferred", Gbk("为床"), Gbk("為床")},
                      Case{"traditional_kept", Gbk("發後臺"), Gbk("發後臺")},
                      Case{"no_counterpart_kept", Gbk("中人，。！"), Gbk("中人，。！")},
                      // Bytes that are not a character stay exactly as they were.
                      Case{"malformed_kept", "\x81\x30" + Gbk("发") + "\xB0\n" + "\xB0",
                           "\x81\x30" + Gbk("發") + "\xB0\n" + "\xB0"}));

class Tc2Sc : public ::testing::TestWithParam<Case> {};
TEST_P(Tc2Sc, MapsCharacterForCharacter) {
  EXPECT_EQ(MapTc2ScByChar(GetParam().from), GetParam().to);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, Tc2Sc,
    ::testing::Values(Case{"common", Gbk("發後臺簡體中文"), Gbk("发后台简体中文")},
                      Case{"with_ascii", Gbk("國際 abc\r\n"), Gbk("国际 abc\r\n")},
                      // Variants outside GB2312 that OpenCC (峯, 伕) or Unihan (埜) records.
                      Case{"variants_into_gb2312", Gbk("峯伕埜"), Gbk("峰夫野")},
                      Case{"simplified_kept", Gbk("发后台"), Gbk("发后台")},
                      Case{"malformed_kept", "\x81\x30" + Gbk("發") + "\xB0",
                           "\x81\x30" + Gbk("发") + "\xB0"}));

const Transform kTransforms[] = {ConvertBig52GBK, ConvertGBK2Big5, MapSc2Tc,
                                 MapTc2Sc,        MapSc2TcByChar,  MapTc2ScByChar};

TEST(Transforms, EmptyStaysEmpty) {
  for (Transform transform : kTransforms) EXPECT_EQ(transform(""), "");
}

TEST(Transforms, AsciiComesOutUnchanged) {
  std::string ascii;
  for (int c = 0; c < 0x80; ++c) ascii += static_cast<char>(c);
  ascii += "line one\r\nline two\n";
  for (Transform transform : kTransforms) EXPECT_EQ(transform(ascii), ascii);
}

TEST(Transforms, AppendingFormsAppend) {
  std::string out = "kept:";
  AppendGBK2Big5(Gbk("發"), out);
  AppendBig52GBK(Big5("發"), out);
  AppendSc2Tc(Gbk("发"), out);
  AppendTc2Sc(Gbk("發"), out);
  EXPECT_EQ(out, "kept:" + Big5("發") + Gbk("發") + Gbk("發") + Gbk("发"));
}

// Long text goes through the fast paths (eight ASCII bytes, four pairs at a time);
// at every offset and mix it must give what the pieces give one by one (phrases
// aside: those may reach across pieces).
TEST(Transforms, LongTextEqualsItsPieces) {
  const std::vector<std::string> pieces = {Gbk("发后台简体中文"),
                                           "plain ascii text ",
                                           Gbk("国"),
                                           "\n",
                                           "\x80",
                                           Gbk("é"),
                                           "\x81\x30",
                                           Gbk("繁體，「引號」"),
                                           "x"};
  for (Transform transform : {ConvertGBK2Big5, MapSc2TcByChar, MapTc2ScByChar}) {
    std::string text, expected;
    unsigned seed = 7;
    for (int i = 0; i < 5000; ++i) {
      seed = seed * 1103515245 + 12345;
      const std::string& piece = pieces[(seed >> 16) % pieces.size()];
      text += piece;
      expected += transform(piece);
    }
    EXPECT_EQ(transform(text), expected);
  }
}

TEST(Transforms, LongBig5TextEqualsItsPieces) {
  const std::vector<std::string> pieces = {Big5("發後臺簡體中文"), "ascii text here ", "\n",
                                           Big5("一‧二"),          "\xA3\xE1",         "\xA4\x30"};
  std::string text, expected;
  for (int i = 0; i < 5000; ++i) {
    const std::string& piece = pieces[(i * 7 + i / 3) % pieces.size()];
    text += piece;
    expected += ConvertBig52GBK(piece);
  }
  EXPECT_EQ(ConvertBig52GBK(text), expected);
}

// ICU's stock substitution drops default-ignorable characters; the tables are
// built so that every one that the target lacks becomes "?".
TEST(IcuCodePage, DefaultIgnorableCharactersAreNotEncodable) {
  IcuCodePage big5(kCp950), gbk(kCp936);
  for (char32_t ignorable : {U'\u200B', U'\u2060', U'\uFEFF'}) {
    EXPECT_FALSE(big5.Encode(ignorable, true)) << std::hex << static_cast<int>(ignorable);
    EXPECT_FALSE(gbk.Encode(ignorable, true)) << std::hex << static_cast<int>(ignorable);
  }
}

TEST(IcuCodePage, DecodesUnitsAsWindowsCutsThem) {
  IcuCodePage gbk(kCp936), big5(kCp950);
  EXPECT_EQ(gbk.Decode("\x80").cp, U'\u20AC');
  EXPECT_EQ(gbk.Decode("\xB0").kind, DecodedUnit::kLead);
  EXPECT_EQ(gbk.Decode("\xB0\xA1").cp, U'啊');
  EXPECT_EQ(gbk.Decode("\xB0\x0A").kind, DecodedUnit::kNotTrail);
  EXPECT_EQ(big5.Decode("\x81\x80").kind, DecodedUnit::kInvalid);
  EXPECT_EQ(big5.Encode(U'\u00E9', true), "e");
  EXPECT_EQ(big5.Encode(U'\u00E9', false), std::nullopt);
}

}  // namespace
}  // namespace orvela
