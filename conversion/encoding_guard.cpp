#include "conversion/encoding_guard.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "conversion/byte_table.h"
#include "conversion/codepage_chars.h"

namespace orvela {

namespace {
const char* Name(SourceEncoding encoding) {
  return encoding == SourceEncoding::kGbk ? "GBK" : "Big5";
}

const CodePageChars& Chars(SourceEncoding encoding) {
  return encoding == SourceEncoding::kGbk ? Cp936Chars() : Cp950Chars();
}

std::optional<std::string> ByteOrderMark(std::string_view text) {
  auto starts = [&](std::string_view mark) { return text.substr(0, mark.size()) == mark; };
  using namespace std::string_view_literals;
  if (starts("\xEF\xBB\xBF"sv)) return "UTF-8";
  if (starts("\xFF\xFE\0\0"sv) || starts("\0\0\xFE\xFF"sv)) return "UTF-32";
  if (starts("\xFF\xFE"sv) || starts("\xFE\xFF"sv)) return "UTF-16";
  return std::nullopt;
}

double Ratio(const HanziScore& score) {
  return score.hanzi ? static_cast<double>(score.common) / score.hanzi : 0;
}

bool AsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Where the characters of real UTF-8 text lie when they take three bytes: general
// punctuation and symbols, CJK, Hangul, compatibility and full-width forms.
bool CommonThreeByte(UChar32 c) {
  return (c >= 0x2000 && c <= 0x2BFF) || (c >= 0x2E80 && c <= 0x9FFF) ||
         (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF);
}

// How many of the bytes at p (n of them, n >= 8) lead below 0x80.
unsigned AsciiRun(const unsigned char* p) {
  std::uint64_t eight;
  std::memcpy(&eight, p, 8);
  return LeadingAscii(eight);
}

// The characters that make up most real text: GB2312's symbols and its first
// level of hanzi (3755 simplified characters by frequency of use), Big5's symbols
// and its common hanzi (5401 traditional characters).
const std::vector<bool>& CommonCharacters() {
  static const std::vector<bool> common = [] {
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
  }();
  return common;
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
  const CodePageChars& chars = Chars(reading);
  const std::vector<bool>& common = CommonCharacters();
  HanziScore score;
  auto p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned a = p[i], b = i + 1 < n ? p[i + 1] : 0;
    const unsigned length = chars.UnitLength(a, b);
    if (length == 2) {
      const char32_t c = chars.decode[TwoBytes(a, b)];
      ++score.hanzi;
      score.common += c < 0x10000 && common[c];
    }
    i += length;
  }
  return score;
}

// Each scan takes the units it can judge from the bytes at p and says how many bytes
// it took; the rest (part of a character) waits for the next piece, or for the end.
namespace {
constexpr std::uint8_t kPair = 1, kInvalid = 2, kCommon = 4;

// Per code page, what each unit is: two bytes or one, no character, a common one.
struct UnitInfo {
  const CodePageChars* chars;
  std::vector<std::uint8_t> info = std::vector<std::uint8_t>(65536, 0);
};

const UnitInfo& InfoOf(SourceEncoding encoding) {
  auto build = [](const CodePageChars& chars) {
    UnitInfo u{&chars};
    const std::vector<bool>& common = CommonCharacters();
    for (unsigned a = 0; a < 0x100; ++a)
      for (unsigned b = 0; b < 0x100; ++b) {
        const char32_t c = chars.decode[TwoBytes(a, b)];
        std::uint8_t f = 0;
        if (chars.UnitLength(a, b) == 2) f |= kPair | (c < 0x10000 && common[c] ? kCommon : 0);
        if (a >= 0x80 && c == kNoChar) f |= kInvalid;
        u.info[TwoBytes(a, b)] = f;
      }
    return u;
  };
  static const UnitInfo gbk = build(Cp936Chars()), big5 = build(Cp950Chars());
  return encoding == SourceEncoding::kGbk ? gbk : big5;
}

struct UnitScan {
  // Invalid units count only in the source's code page.
  UnitScan(SourceEncoding e, bool countInvalid)
      : unit(InfoOf(e)), invalidBit(countInvalid ? kInvalid : 0) {}
  const UnitInfo& unit;
  const std::uint8_t invalidBit;
  std::size_t offset = 0;  // bytes taken before
  long invalid = 0;
  std::size_t firstInvalid = 0;
  HanziScore score;

  std::size_t operator()(const unsigned char* p, std::size_t n, bool final) {
    const std::uint8_t* info = unit.info.data();
    const std::uint8_t* kind = unit.chars->kind;
    std::size_t i = 0;
    long hanzi = 0, common = 0;
    while (i < n) {
      // Mostly double-byte text: four units at once as if each were a pair, taken when they
      // are pairs that hold a character.
      if (n - i >= 8) {
        const std::uint8_t f0 = info[LoadTwoBytes(p + i)], f1 = info[LoadTwoBytes(p + i + 2)],
                           f2 = info[LoadTwoBytes(p + i + 4)], f3 = info[LoadTwoBytes(p + i + 6)];
        if ((f0 & f1 & f2 & f3 & kPair) && !((f0 | f1 | f2 | f3) & invalidBit)) {
          hanzi += 4;
          common += ((f0 & kCommon) + (f1 & kCommon) + (f2 & kCommon) + (f3 & kCommon)) / kCommon;
          i += 8;
          continue;
        }
      }
      if (p[i] < 0x80) {
        i += n - i >= 8 ? AsciiRun(p + i) : 1;
        continue;
      }
      if (i + 1 == n && !final && (kind[p[i]] & kOpensPair)) break;  // its pair may follow
      const std::uint8_t f = info[TwoBytes(p[i], i + 1 < n ? p[i + 1] : 0)];
      if ((f & invalidBit) && invalid++ == 0) firstInvalid = offset + i;
      hanzi += f & kPair;
      common += (f & kCommon) != 0;
      i += 1 + (f & kPair);
    }
    score.hanzi += hanzi;
    score.common += common;
    offset += i;
    return i;
  }
};

// Valid UTF-8 throughout (shortest forms, no surrogates) whose characters look
// like real text. A few GBK or Big5 characters can pass for UTF-8 sequences (鲁迅
// in GBK, 議 in Big5, 岑参 as U+1BF2 and more), but seldom for ones that real text
// uses: two-byte letters inside words of Latin letters (café), three-byte
// characters in the ranges above, four-byte ones.
struct Utf8Scan {
  bool valid = true;
  long sequences = 0, likely = 0;
  bool wide = false;
  bool prevLetter = false;  // the byte before the next one to take is an ASCII letter

  std::size_t operator()(const unsigned char* p, std::size_t n, bool final) {
    if (!valid) return n;
    std::size_t i = 0;
    while (i < n) {
      if (p[i] < 0x80) {
        const std::size_t ascii = n - i >= 8 ? AsciiRun(p + i) : 1;
        i += ascii;
        prevLetter = AsciiLetter(p[i - 1]);
        continue;
      }
      if (!final && i + 1 + U8_COUNT_TRAIL_BYTES(p[i]) > n) break;  // may be cut
      int32_t k = 0;
      UChar32 c;
      U8_NEXT(p + i, k, static_cast<int32_t>(std::min<std::size_t>(n - i, 4)), c);
      if (c < 0) {
        valid = false;
        return n;
      }
      if (k == 2) {
        if (!final && i + 2 == n) break;  // the byte after it counts
        likely += prevLetter || (i + 2 < n && AsciiLetter(p[i + 2]));
      } else if (k == 4 || CommonThreeByte(c)) {
        ++likely;
        wide = true;
      }
      ++sequences;
      prevLetter = false;
      i += static_cast<std::size_t>(k);
    }
    return i;
  }
  bool Looks() const { return valid && 5 * likely >= 4 * sequences && (wide || likely > 1); }
};

// Runs scan over what it left before (carry) and piece, leaving in carry what it leaves now.
// A scan leaves at most three bytes, so eight bytes of the piece complete what was left.
template <class Scan>
void Continue(Scan& scan, std::string& carry, std::string_view piece) {
  auto bytes = [](std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); };
  if (!carry.empty()) {
    const std::string joined = carry + std::string(piece.substr(0, 8));
    const std::size_t used = scan(bytes(joined), joined.size(), false);
    if (used < carry.size()) {
      carry = joined.substr(used);
      return;
    }
    piece.remove_prefix(used - carry.size());
    carry.clear();
  }
  const std::size_t used = scan(bytes(piece), piece.size(), false);
  carry.assign(piece.substr(used));
}

template <class Scan>
void Finish(Scan& scan, std::string& carry) {
  scan(reinterpret_cast<const unsigned char*>(carry.data()), carry.size(), true);
  carry.clear();
}
}  // namespace

struct EncodingGuard::State {
  explicit State(SourceEncoding s)
      : source(s),
        other(s == SourceEncoding::kGbk ? SourceEncoding::kBig5 : SourceEncoding::kGbk),
        own(s, true),
        others(other, false) {}
  SourceEncoding source, other;
  std::string head;  // the first four bytes, for a byte-order mark
  bool ascii = true;
  Utf8Scan utf8;
  UnitScan own, others;
  std::string utf8Carry, ownCarry, othersCarry;
};

EncodingGuard::EncodingGuard(SourceEncoding source) : state_(std::make_unique<State>(source)) {}
EncodingGuard::~EncodingGuard() = default;

void EncodingGuard::Feed(std::string_view piece) {
  State& s = *state_;
  if (s.head.size() < 4) s.head.append(piece.substr(0, 4 - s.head.size()));
  if (s.ascii)
    s.ascii = std::all_of(piece.begin(), piece.end(), [](char c) { return (c & 0x80) == 0; });
  Continue(s.utf8, s.utf8Carry, piece);
  Continue(s.own, s.ownCarry, piece);
  Continue(s.others, s.othersCarry, piece);
}

bool EncodingGuard::Settled() const {
  return state_->head.size() == 4 && ByteOrderMark(state_->head);
}

std::optional<std::string> EncodingGuard::Verdict() {
  State& s = *state_;
  Finish(s.utf8, s.utf8Carry);
  Finish(s.own, s.ownCarry);
  Finish(s.others, s.othersCarry);
  const char* name = Name(s.source);
  if (std::optional<std::string> utf = ByteOrderMark(s.head))
    return "以 " + *utf + " 字节顺序标记开头，是 " + *utf + " 文本，不是 " + name + " 文本";
  if (s.ascii) return std::nullopt;
  if (s.utf8.Looks()) return std::string("是 UTF-8 文本，不是 ") + name + " 文本";
  if (s.own.invalid > 0)
    return "含有 " + std::to_string(s.own.invalid) + " 处 " + name +
           " 中无效的字节序列，第一处位于第 " + std::to_string(s.own.firstInvalid) + " 字节";
  const HanziScore& asOther = s.others.score;
  const HanziScore& asSource = s.own.score;
  if (asOther.hanzi >= kMinHanzi) {
    if (Ratio(asOther) >= kOtherAtLeast && Ratio(asSource) <= Ratio(asOther) - kMargin)
      return std::string("看来是 ") + Name(s.other) + " 文本，不是 " + name + " 文本";
  }
  return std::nullopt;
}

std::optional<std::string> EncodingProblem(std::string_view text, SourceEncoding source) {
  EncodingGuard guard(source);
  guard.Feed(text);
  return guard.Verdict();
}

}  // namespace orvela
