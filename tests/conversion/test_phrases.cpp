// Phrase-aware simplified/traditional conversion against OpenCC's own library, run
// here on the same text: hard phrases one by one, a whole corpus of real text, and
// stretches where a character's form depends on its neighbours.
#include <gtest/gtest.h>
#include <unicode/unistr.h>
#include <opencc/SimpleConverter.hpp>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "conversion/icu_codepage.h"
#include "conversion/modes.h"
#include "conversion/phrase_chain.h"
#include "conversion/transforms.h"
#include "tests/conversion/fortunes.h"
#include "tests/conversion/test_transforms_text.h"

namespace orvela {
namespace {

using testing::Big5;
using testing::Gbk;

std::u32string Chars(std::string_view utf8) {
  icu::UnicodeString u = icu::UnicodeString::fromUTF8(
      icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
  std::u32string out(static_cast<std::size_t>(u.countChar32()), U'\0');
  UErrorCode status = U_ZERO_ERROR;
  u.toUTF32(reinterpret_cast<UChar32*>(out.data()), static_cast<int32_t>(out.size()), status);
  return out;
}

std::string Utf8(std::u32string_view chars) {
  std::string out;
  icu::UnicodeString::fromUTF32(reinterpret_cast<const UChar32*>(chars.data()),
                                static_cast<int32_t>(chars.size()))
      .toUTF8String(out);
  return out;
}

const opencc::SimpleConverter& OpenCC(const char* config) {
  static opencc::SimpleConverter s2tw("/usr/share/opencc/s2tw.json");
  static opencc::SimpleConverter tw2s("/usr/share/opencc/tw2s.json");
  static opencc::SimpleConverter s2t("/usr/share/opencc/s2t.json");
  const std::string name = config;
  return name == "s2tw" ? s2tw : name == "tw2s" ? tw2s : s2t;
}

struct Phrase {
  const char* simplified;
  const char* traditional;
};

// OpenCC's answers (s2tw one way, tw2s the other), where a character's form
// depends on the word it stands in.
const Phrase kHardPhrases[] = {
    {"头发", "頭髮"},
    {"发展", "發展"},
    {"理发", "理髮"},
    {"皇后", "皇后"},
    {"以后", "以後"},
    {"干净", "乾淨"},
    {"干部", "幹部"},
    {"天干", "天干"},
    {"晒干", "曬乾"},
    {"公里", "公里"},
    {"里面", "裡面"},
    {"面条", "麵條"},
    {"面对", "面對"},
    {"台风", "颱風"},
    {"台湾", "臺灣"},
    {"关系", "關係"},
    {"联系", "聯繫"},
    {"系统", "系統"},
    {"一只鸡", "一隻雞"},
    {"只有", "只有"},
    {"钟表", "鐘錶"},
    {"钟情", "鍾情"},
    {"秒钟", "秒鐘"},
    {"复杂", "複雜"},
    {"复习", "複習"},
    {"答复", "答覆"},
    {"制造", "製造"},
    {"制度", "制度"},
    {"松紧", "鬆緊"},
    {"松树", "松樹"},
    {"手表", "手錶"},
    {"收获", "收穫"},
    {"尽管", "儘管"},
    {"日历", "日曆"},
    {"北斗", "北斗"},
    {"斗争", "鬥爭"},
    {"签名", "簽名"},
    {"标签", "標籤"},
    {"乾隆", "乾隆"},
    {"头发很长", "頭髮很長"},
    {"我们的关系很复杂", "我們的關係很複雜"},
    {"他在公里外面吃面条", "他在公里外面吃麵條"},
};

// Traditional text whose simplified form OpenCC does not get by undoing the above.
const Phrase kHardTraditional[] = {
    {"乾坤", "乾坤"},     {"借口", "藉口"}, {"凭借", "憑藉"}, {"计划", "計畫"}, {"著名", "著名"},
    {"他著名", "他著名"}, {"为了", "為了"}, {"干燥", "乾燥"}, {"面条", "麪條"}, {"里面", "裡面"},
};

TEST(Phrases, HardPhrasesSimplifiedToTraditionalAsOpenCC) {
  for (const Phrase& p : kHardPhrases) {
    ASSERT_EQ(OpenCC("s2tw").Convert(p.simplified), p.traditional);
    EXPECT_EQ(MapSc2Tc(Gbk(p.simplified)), Gbk(p.traditional)) << p.simplified;
    EXPECT_EQ(ApplyMode(ConversionMode::RbGB2GBK, Gbk(p.simplified)), Gbk(p.traditional));
    EXPECT_EQ(ApplyMode(ConversionMode::RbGB2Big5, Gbk(p.simplified)), Big5(p.traditional))
        << p.simplified;
  }
}

TEST(Phrases, HardPhrasesTraditionalToSimplifiedAsOpenCC) {
  IcuCodePage big5(kCp950);
  std::vector<Phrase> all(std::begin(kHardPhrases), std::end(kHardPhrases));
  all.insert(all.end(), std::begin(kHardTraditional), std::end(kHardTraditional));
  for (const Phrase& p : all) {
    ASSERT_EQ(OpenCC("tw2s").Convert(p.traditional), p.simplified);
    EXPECT_EQ(MapTc2Sc(Gbk(p.traditional)), Gbk(p.simplified)) << p.traditional;
    EXPECT_EQ(ApplyMode(ConversionMode::RbGBK2GB, Gbk(p.traditional)), Gbk(p.simplified));
    bool inBig5 = true;
    for (char32_t c : Chars(p.traditional)) inBig5 = inBig5 && big5.Encode(c, false);
    if (inBig5) {
      EXPECT_EQ(ApplyMode(ConversionMode::RbBig52GB, Big5(p.traditional)), Gbk(p.simplified))
          << p.traditional;
    }
  }
}

// Every entry of the dictionaries that s2tw and tw2s use keeps its number of
// characters, so each character of a phrase has its own converted form (and a
// form the target lacks can fall back character by character).
TEST(Phrases, EveryDictionaryEntryKeepsItsLength) {
  for (const ConversionChain* chain : {&SimplifiedToTaiwanChain(), &TaiwanToSimplifiedChain()})
    for (const auto& group : chain->steps)
      for (const PhraseDictionary* dict : group)
        for (const DictionaryEntry& e : dict->Entries())
          EXPECT_EQ(e.value.size(), e.key.size()) << Utf8(e.key) << " -> " << Utf8(e.value);
}

TEST(Phrases, ByCharacterKeepsTheCharacterMapping) {
  const std::string text = Gbk("头发，皇后，面条，关系，一只鸡");
  EXPECT_EQ(MapSc2TcByChar(text), Gbk("頭發，皇後，面條，關系，一只雞"));
  EXPECT_EQ(ApplyMode(ConversionMode::RbGB2GBK, text, CharMapping::kByCharacter),
            MapSc2TcByChar(text));
  EXPECT_EQ(ApplyMode(ConversionMode::RbGBK2GB, Gbk("乾隆"), CharMapping::kByCharacter),
            Gbk("干隆"));
  EXPECT_EQ(ApplyMode(ConversionMode::RbGBK2GB, Gbk("乾隆")), Gbk("乾隆"));
}

// Text between phrases where a later step of tw2s has keys of its own (著名 after
// 著 -> 着, 一口吃個): random mixes of such pieces, with ASCII, line breaks and
// characters that begin segmentation keys, must come out as OpenCC's algorithm
// gives at every cut.
TEST(Phrases, NeighbourDependentStretchesAsTheChain) {
  const std::vector<std::string> pieces = {
      "著名", "著", "他", "吃", "一口吃個", "乾隆", "計畫", "\n", "abc ", "為了", "裡", "才",
      "乾",   "口", "凶", "名", "開口",     "顯著", "書",   "之", "中",   "自",   "有", "千鍾粟"};
  const ConversionChain& chain = TaiwanToSimplifiedChain();
  unsigned seed = 99;
  for (int round = 0; round < 300; ++round) {
    std::string utf8;
    const int length = 1 + static_cast<int>(seed % 40);
    for (int i = 0; i < length; ++i) {
      seed = seed * 1103515245 + 12345;
      utf8 += pieces[(seed >> 16) % pieces.size()];
    }
    const std::string expected = Utf8(ConvertText(chain, Chars(utf8)));
    ASSERT_EQ(expected, OpenCC("tw2s").Convert(utf8));
    ASSERT_EQ(MapTc2Sc(Gbk(utf8)), Gbk(expected)) << utf8;
  }
}

struct Comparison {
  long hanzi = 0;        // characters OpenCC wrote outside ASCII
  long differences = 0;  // where ours differs and the target holds OpenCC's form
  long unrepresentable = 0;
};

// Our mode's output against OpenCC's, position by position.
Comparison Compare(ConversionMode mode, const char* sourcePage, const std::string& utf8,
                   const char* config, const char* targetPage) {
  const std::string in = testing::Encode(sourcePage, utf8);
  const std::u32string ours = Chars(testing::Decode(targetPage, ApplyMode(mode, in)));
  const std::u32string theirs = Chars(OpenCC(config).Convert(utf8));
  EXPECT_EQ(ours.size(), theirs.size()) << ModeName(mode);
  IcuCodePage target(targetPage), gbk(kCp936);
  Comparison c;
  for (std::size_t i = 0; i < std::min(ours.size(), theirs.size()); ++i) {
    if (theirs[i] < 0x80) continue;
    ++c.hanzi;
    if (!target.Encode(theirs[i], false) || !gbk.Encode(theirs[i], false)) {
      ++c.unrepresentable;
    } else if (ours[i] != theirs[i] && c.differences++ < 5) {
      ADD_FAILURE() << ModeName(mode) << ": " << Utf8(theirs.substr(i > 8 ? i - 8 : 0, 16))
                    << " has " << Utf8(ours.substr(i, 1)) << " for " << Utf8(theirs.substr(i, 1));
    }
  }
  std::printf("%s: %ld characters, %ld differ from OpenCC, %ld OpenCC forms the target lacks\n",
              std::string(ModeName(mode)).c_str(), c.hanzi, c.differences, c.unrepresentable);
  return c;
}

// The fortunes that a code page holds, in one text.
std::string Held(const std::vector<std::string>& texts, const char* page, bool gb2312) {
  std::string all;
  for (const std::string& t : texts) try {
      if (!gb2312 || testing::InGb2312(testing::Encode(page, t))) {
        testing::Encode(page, t);
        all += t;
      }
    } catch (const std::runtime_error&) {
    }
  return all;
}

TEST(Phrases, WholeCorpusAsOpenCC) {
  std::vector<std::string> simplified, standard, taiwan;
  for (const std::string& f : testing::Fortunes()) {
    simplified.push_back(f);
    standard.push_back(OpenCC("s2t").Convert(f));
    taiwan.push_back(OpenCC("s2tw").Convert(f));
  }
  const std::string gb2312Text = Held(simplified, kCp936, true);
  ASSERT_GT(gb2312Text.size(), 500000u);
  EXPECT_EQ(Compare(ConversionMode::RbGB2GBK, kCp936, gb2312Text, "s2tw", kCp936).differences, 0);
  EXPECT_EQ(Compare(ConversionMode::RbGB2Big5, kCp936, gb2312Text, "s2tw", kCp950).differences, 0);
  EXPECT_EQ(Compare(ConversionMode::RbGBK2GB, kCp936, Held(standard, kCp936, false), "tw2s", kCp936)
                .differences,
            0);
  EXPECT_EQ(Compare(ConversionMode::RbGBK2GB, kCp936, Held(taiwan, kCp936, false), "tw2s", kCp936)
                .differences,
            0);
  EXPECT_EQ(Compare(ConversionMode::RbBig52GB, kCp950, Held(taiwan, kCp950, false), "tw2s", kCp936)
                .differences,
            0);
}

}  // namespace
}  // namespace orvela
