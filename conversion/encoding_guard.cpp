#include "conversion/encoding_guard.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "conversion/codepage_chars.h"

namespace orvela {

namespace {
const char* Name(SourceEncoding encoding) {
  return encoding == SourceEncoding::kGbk ? "GBK" : "Big5";
}

std::optional<std::string> ByteOrderMark(std::string_view text) {
  auto starts = [&](std::string_view mark) { return text.substr(0, mark.size()) == mark; };
  using namespace std::string_view_literals;
  if (starts("\xEF\xBB\xBF"sv)) return "UTF-8";
  if (starts("\xFF\xFE\0\0"sv) || starts("\0\0\xFE\xFF"sv)) return "UTF-32";
  if (starts("\xFF\xFE"sv) || starts("\xFE\xFF"sv)) return "UTF-16";
  return std::nullopt;
}

bool AllAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

double Ratio(const HanziScore& score) {
  return score.hanzi ? static_cast<double>(score.common) / score.hanzi : 0;
}

bool AsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Where the characters of real UTF-8 text lie when they take three bytes: general
// punctuation and symbols, CJK, Hangul, compatibility and full-width forms.
bool CommonThreeByte(UChar32 c) {
  return (c >= 0x2000 && c <= 0x2BFF) || (c >= 0x2E80 && c <= 0x9FFF) ||
         (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF);
}

// Valid UTF-8 throughout (shortest forms, no surrogates) whose characters look
// like real text. A few GBK or Big5 characters can pass for UTF-8 sequences (鲁迅
// in GBK, 議 in Big5, 岑参 as U+1BF2 and more), but seldom for ones that real text
// uses: two-byte letters inside words of Latin letters (café), three-byte
// characters in the ranges above, four-byte ones.
bool LooksUtf8(std::string_view text) {
  const auto length = static_cast<int32_t>(text.size());
  int sequences = 0, likely = 0;
  bool wide = false;
  for (int32_t i = 0; i < length;) {
    const int32_t start = i;
    UChar32 c;
    U8_NEXT(text.data(), i, length, c);
    if (c < 0) return false;
    const int32_t n = i - start;
    if (n == 1) continue;
    ++sequences;
    if (n == 2) {
      likely += (start > 0 && AsciiLetter(text[start - 1])) || (i < length && AsciiLetter(text[i]));
    } else if (n == 4 || CommonThreeByte(c)) {
      ++likely;
      wide = true;
    }
  }
  return 5 * likely >= 4 * sequences && (wide || likely > 1);
}

// The characters that make up most real text: GB2312's symbols and its first
// level of hanzi (3755 simplified characters by frequency of use), Big5's symbols
// and its common hanzi (5401 traditional characters).
std::vector<bool> CommonCharacters() {
  std::vector<bool> set(0x10000, false);
  auto add = [&](const CodePageChars& chars, unsigned from, unsigned to, unsigned lowTrail) {
    for (unsigned code = from; code <= to; ++code) {
      if ((code & 0xFF) < lowTrail) continue;
      const char32_t c = chars.decode[TwoBytes(code >> 8, code & 0xFF)];
      if (c < 0x10000) set[c] = true;
    }
  };
  add(Cp936Chars(), 0xA1A1, 0xA9FE, 0xA1);
  add(Cp936Chars(), 0xB0A1, 0xD7F9, 0xA1);
  add(Cp950Chars(), 0xA140, 0xA3BF, 0x40);
  add(Cp950Chars(), 0xA440, 0xC67E, 0x40);
  return set;
}

// What the guard needs of each unit of a code page, in one byte a unit so that a
// pass over the text reads one small table.
constexpr std::uint8_t kPair = 1;     // two bytes long
constexpr std::uint8_t kInvalid = 2;  // no character
constexpr std::uint8_t kCommon = 4;   // a common character (above)

struct UnitFlags {
  std::uint8_t flags[65536];  // by TwoBytes
};

const UnitFlags& Flags(SourceEncoding encoding) {
  auto build = [](const CodePageChars& chars) {
    static const std::vector<bool> common = CommonCharacters();
    auto table = std::make_unique<UnitFlags>();
    for (unsigned a = 0; a < 0x100; ++a)
      for (unsigned b = 0; b < 0x100; ++b) {
        const char32_t c = chars.decode[TwoBytes(a, b)];
        std::uint8_t f = chars.UnitLength(a, b) == 2 ? kPair : 0;
        if (c == kNoChar)
          f |= kInvalid;
        else if (c < 0x10000 && common[c])
          f |= kCommon;
        table->flags[TwoBytes(a, b)] = f;
      }
    return table;
  };
  static const std::unique_ptr<UnitFlags> gbk = build(Cp936Chars());
  static const std::unique_ptr<UnitFlags> big5 = build(Cp950Chars());
  return encoding == SourceEncoding::kGbk ? *gbk : *big5;
}

struct Reading {
  HanziScore score;
  long invalid = 0;
  std::size_t firstInvalid = 0;
};

// One pass over the text in one code page: its double-byte units, the common ones,
// and the units that are no character (ASCII counts for none of them).
Reading Read(std::string_view text, SourceEncoding encoding) {
  const std::uint8_t* flags = Flags(encoding).flags;
  Reading r;
  auto p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    if (n - i >= 16) {
      if (p[i] < 0x80) {
        std::uint64_t eight;
        std::memcpy(&eight, p + i, 8);
        i += LeadingAscii(eight);
        continue;
      }
      // Mostly double-byte text: four units at once as if each were a valid pair,
      // so that the table lookups do not wait on each other.
      const std::uint8_t f0 = flags[LoadTwoBytes(p + i)], f1 = flags[LoadTwoBytes(p + i + 2)],
                         f2 = flags[LoadTwoBytes(p + i + 4)], f3 = flags[LoadTwoBytes(p + i + 6)];
      if ((f0 & f1 & f2 & f3 & kPair) && !((f0 | f1 | f2 | f3) & kInvalid)) {
        r.score.hanzi += 4;
        r.score.common +=
            ((f0 & kCommon) + (f1 & kCommon) + (f2 & kCommon) + (f3 & kCommon)) / kCommon;
        i += 8;
        continue;
      }
    } else if (p[i] < 0x80) {
      ++i;
      continue;
    }
    if (p[i] < 0x80) {
      ++i;
      continue;
    }
    const std::uint8_t f = flags[TwoBytes(p[i], i + 1 < n ? p[i + 1] : 0)];
    if ((f & kInvalid) && r.invalid++ == 0) r.firstInvalid = i;
    r.score.hanzi += f & kPair;
    r.score.common += (f & (kPair | kCommon)) == (kPair | kCommon);
    i += 1 + (f & kPair);
  }
  return r;
}

// Enough double-byte units to judge by, and how clear the verdict must be: real
// text reads as nearly all common characters; the wrong code page's reading of it
// as far fewer.
constexpr long kMinHanzi = 12;
constexpr double kOtherAtLeast = 0.85;
constexpr double kMargin = 0.2;
}  // namespace

SourceEncoding SourceEncodingOf(ConversionMode mode) {
  return mode == ConversionMode::RbBig52GB || mode == ConversionMode::RbBig52GBK
             ? SourceEncoding::kBig5
             : SourceEncoding::kGbk;
}

HanziScore ScoreHanzi(std::string_view text, SourceEncoding reading) {
  return Read(text, reading).score;
}

std::optional<std::string> EncodingProblem(std::string_view text, SourceEncoding source) {
  if (std::optional<std::string> utf = ByteOrderMark(text))
    return "以 " + *utf + " 字节顺序标记开头，是 " + *utf + " 文本，不是 " + Name(source) + " 文本";
  if (AllAscii(text)) return std::nullopt;
  if (LooksUtf8(text)) return std::string("是 UTF-8 文本，不是 ") + Name(source) + " 文本";
  const Reading own = Read(text, source);
  if (own.invalid > 0)
    return "含有 " + std::to_string(own.invalid) + " 处 " + Name(source) +
           " 中无效的字节序列，第一处位于第 " + std::to_string(own.firstInvalid) + " 字节";
  // Text that reads as common characters here cannot read clearly better elsewhere.
  if (Ratio(own.score) > 1 - kMargin) return std::nullopt;
  const SourceEncoding other =
      source == SourceEncoding::kGbk ? SourceEncoding::kBig5 : SourceEncoding::kGbk;
  const HanziScore asOther = ScoreHanzi(text, other);
  if (asOther.hanzi >= kMinHanzi && Ratio(asOther) >= kOtherAtLeast &&
      Ratio(own.score) <= Ratio(asOther) - kMargin)
    return std::string("看来是 ") + Name(other) + " 文本，不是 " + Name(source) + " 文本";
  return std::nullopt;
}

}  // namespace orvela
