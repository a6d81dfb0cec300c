// The encoding guard on its own: what it refuses and why, and how it fares on
// real text of every length (fortunes-zh in GB2312, GBK-traditional and Big5).
#include <gtest/gtest.h>
#include <opencc/SimpleConverter.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "conversion/encoding_guard.h"
#include "tests/conversion/fortunes.h"
#include "tests/conversion/test_transforms_text.h"

namespace orvela {
namespace {

using testing::Big5;
using testing::Gbk;
constexpr SourceEncoding kGbk = SourceEncoding::kGbk, kBig5 = SourceEncoding::kBig5;

const std::string kSimplified = "简体中文的编码转换，是一件要小心的事情。我们先备份原文件。\n";
const std::string kTraditional = "繁體中文的編碼轉換，是一件要小心的事情。我們先備份原文件。\n";

std::string Repeat(const std::string& s, int n) {
  std::string out;
  while (n-- > 0) out += s;
  return out;
}

TEST(EncodingGuard, ModesReadTheirSourceCodePage) {
  EXPECT_EQ(SourceEncodingOf(ConversionMode::RbGB2GBK), kGbk);
  EXPECT_EQ(SourceEncodingOf(ConversionMode::RbGBK2GB), kGbk);
  EXPECT_EQ(SourceEncodingOf(ConversionMode::RbGB2Big5), kGbk);
  EXPECT_EQ(SourceEncodingOf(ConversionMode::RbGBK2Big5), kGbk);
  EXPECT_EQ(SourceEncodingOf(ConversionMode::RbBig52GB), kBig5);
  EXPECT_EQ(SourceEncodingOf(ConversionMode::RbBig52GBK), kBig5);
}

TEST(EncodingGuard, RefusesWithTheReason) {
  std::string utf16le = "\xFF\xFE", utf16be = "\xFE\xFF";
  for (char c : std::string("abc")) {
    utf16le += std::string{c, '\0'};
    utf16be += std::string{'\0', c};
  }
  std::string random;
  unsigned seed = 5;
  for (int i = 0; i < 4000; ++i) {
    seed = seed * 1103515245 + 12345;
    random += static_cast<char>(1 + (seed >> 16) % 255);
  }
  struct Case {
    const char* name;
    std::string text;
    SourceEncoding source;
    std::optional<std::string> reason;
  } cases[] = {
      {"ascii", "plain text\r\n", kGbk, std::nullopt},
      {"empty", "", kBig5, std::nullopt},
      {"gb2312", Gbk(kSimplified), kGbk, std::nullopt},
      {"gbk traditional", Gbk(kTraditional), kGbk, std::nullopt},
      {"big5", Big5(kTraditional), kBig5, std::nullopt},
      {"utf-8 bom", "\xEF\xBB\xBF" + kSimplified, kGbk,
       "以 UTF-8 字节顺序标记开头，是 UTF-8 文本，不是 GBK 文本"},
      {"utf-8", kSimplified, kGbk, "是 UTF-8 文本，不是 GBK 文本"},
      {"utf-8 as big5", kTraditional, kBig5, "是 UTF-8 文本，不是 Big5 文本"},
      {"utf-8 latin",
       "caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
       "e\n",
       kGbk, "是 UTF-8 文本，不是 GBK 文本"},
      {"utf-16le", utf16le, kGbk, "以 UTF-16 字节顺序标记开头，是 UTF-16 文本，不是 GBK 文本"},
      {"utf-16be", utf16be, kBig5, "以 UTF-16 字节顺序标记开头，是 UTF-16 文本，不是 Big5 文本"},
      {"utf-32le", std::string("\xFF\xFE\0\0a\0\0\0", 8), kGbk,
       "以 UTF-32 字节顺序标记开头，是 UTF-32 文本，不是 GBK 文本"},
      // A lead byte before a byte that cannot follow it.
      {"invalid gbk", "ab" + Gbk("中文") + "\x81 x\x81\x7F", kGbk,
       "含有 2 处 GBK 中无效的字节序列，第一处位于第 6 字节"},
      {"gbk trails in big5", Gbk("汉字") + "\xB0\x80", kBig5,
       "含有 1 处 Big5 中无效的字节序列，第一处位于第 4 字节"},
      {"big5 in a gbk mode", Big5(Repeat(kTraditional, 3)), kGbk,
       "看来是 Big5 文本，不是 GBK 文本"},
      {"gb2312 in a big5 mode", Gbk(Repeat(kSimplified, 3)), kBig5,
       "看来是 GBK 文本，不是 Big5 文本"},
      {"gbk traditional in a big5 mode", Gbk(Repeat(kTraditional, 3)), kBig5,
       "含有 6 处 Big5 中无效的字节序列，第一处位于第 10 字节"},
  };
  for (const Case& c : cases) EXPECT_EQ(EncodingProblem(c.text, c.source), c.reason) << c.name;
  EXPECT_NE(EncodingProblem(random, kGbk), std::nullopt);
  EXPECT_NE(EncodingProblem(random, kBig5), std::nullopt);
}

// Fed in two parts cut at every offset, or a byte at a time, the guard gives the verdict it
// gives the whole text: cuts fall inside UTF-8 sequences, double-byte units, byte-order marks
// and beside the letters that make a two-byte sequence likely.
TEST(EncodingGuard, PiecesOfAnySizeGiveTheWholeTextsVerdict) {
  const std::string texts[] = {
      "\xEF\xBB\xBF" + kSimplified,
      std::string("\xFF\xFE\0\0a\0\0\0", 8),
      std::string("\xFF\xFE"
                  "a\0",
                  4),
      kSimplified + "caf\xC3\xA9",
      "caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
      "e\n",
      "x\xC3\xA9 \xC3\xA9y \xC3\xA9",
      "ab" + Gbk("中文") + "\x81 x\x81\x7F",
      Gbk("汉字") + "\xB0\x80",
      Big5(Repeat(kTraditional, 3)),
      Gbk(Repeat(kSimplified, 3)),
      Gbk(Repeat(kTraditional, 3)) + "\x81",
      "plain text\r\n",
  };
  for (const std::string& text : texts)
    for (SourceEncoding source : {kGbk, kBig5}) {
      const std::optional<std::string> whole = EncodingProblem(text, source);
      for (std::size_t at = 0; at <= text.size(); ++at) {
        EncodingGuard guard(source);
        guard.Feed(std::string_view(text).substr(0, at));
        guard.Feed(std::string_view(text).substr(at));
        ASSERT_EQ(guard.Verdict(), whole) << text << " cut at " << at;
      }
      EncodingGuard bytewise(source);
      for (char c : text) bytewise.Feed(std::string_view(&c, 1));
      EXPECT_EQ(bytewise.Verdict(), whole) << text;
    }
}

// fortunes-zh as lines, whole fortunes and pages of about 4 KB.
std::vector<std::string> Samples() {
  std::vector<std::string> samples;
  std::string page;
  for (const std::string& fortune : testing::Fortunes()) {
    samples.push_back(fortune);
    for (std::size_t line = 0; line < fortune.size();) {
      std::size_t end = fortune.find('\n', line);
      if (end == std::string::npos) end = fortune.size();
      if (end > line) samples.push_back(fortune.substr(line, end - line + 1));
      line = end + 1;
    }
    page += fortune;
    if (page.size() > 4000) samples.push_back(std::exchange(page, std::string()));
  }
  return samples;
}

// No real text is refused in its own code page, whatever its length; in the other
// code page's modes every file of 1 KB or more is.
TEST(EncodingGuard, RealTextPassesAndTheOtherCodePageIsCaught) {
  opencc::SimpleConverter s2t("/usr/share/opencc/s2t.json"), s2tw("/usr/share/opencc/s2tw.json");
  const std::vector<std::string> samples = Samples();
  struct Kind {
    const char* name;
    const char* page;
    SourceEncoding source;
    opencc::SimpleConverter* converter;
  } kinds[] = {{"GB2312", "windows-936-2000", kGbk, nullptr},
               {"GBK traditional", "windows-936-2000", kGbk, &s2t},
               {"Big5", "windows-950-2000", kBig5, &s2tw}};
  for (const Kind& k : kinds) {
    const SourceEncoding other = k.source == kGbk ? kBig5 : kGbk;
    long tested = 0, falseAlarms = 0;
    long caught[4] = {}, total[4] = {};
    for (const std::string& sample : samples) {
      std::string bytes;
      try {
        bytes = testing::Encode(k.page, k.converter ? k.converter->Convert(sample) : sample);
      } catch (const std::runtime_error&) {
        continue;  // a character the code page lacks
      }
      if (!k.converter && !testing::InGb2312(bytes)) continue;
      if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; }))
        continue;  // pure ASCII passes everywhere
      ++tested;
      const std::optional<std::string> own = EncodingProblem(bytes, k.source);
      if (own) ++falseAlarms;
      EXPECT_EQ(own, std::nullopt) << k.name << ": " << sample;
      const int bucket = bytes.size() < 64     ? 0
                         : bytes.size() < 256  ? 1
                         : bytes.size() < 1024 ? 2
                                               : 3;
      ++total[bucket];
      const bool refused = EncodingProblem(bytes, other).has_value();
      caught[bucket] += refused;
      if (bucket == 3) {
        EXPECT_TRUE(refused) << k.name << " in the other code page's modes";
      }
    }
    std::printf(
        "%s: %ld texts, %ld refused; in the other code page's modes refused: under 64 B "
        "%ld/%ld, under 256 B %ld/%ld, under 1 KB %ld/%ld, 1 KB or more %ld/%ld\n",
        k.name, tested, falseAlarms, caught[0], total[0], caught[1], total[1], caught[2], total[2],
        caught[3], total[3]);
    EXPECT_GT(total[3], 50);
  }
}

}  // namespace
}  // namespace orvela
