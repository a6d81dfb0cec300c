#include "conversion/char_map_table.h"

#include <functional>
#include <memory>
#include <optional>

#include "conversion/char_candidates.h"
#include "conversion/icu_codepage.h"

namespace orvela {

namespace {
// The cp936 pair of a character that cp936 holds exactly as two bytes.
std::optional<std::uint16_t> GbkPair(IcuCodePage& gbk, char32_t c) {
  std::optional<std::string> bytes = gbk.Encode(c, false);
  if (!bytes || bytes->size() != 2) return std::nullopt;
  return static_cast<std::uint16_t>(static_cast<unsigned char>((*bytes)[0]) << 8 |
                                    static_cast<unsigned char>((*bytes)[1]));
}

bool InGb2312(std::uint16_t gbk) {
  return gbk >= 0xA1A1 && gbk <= 0xF7FE && (gbk & 0xFF) >= 0xA1;
}

// Chooses the replacement of one character, or nullopt to keep it.
using Chooser = std::function<std::optional<char32_t>(char32_t)>;

std::unique_ptr<CharMapTable> Build(IcuCodePage& gbk, const Chooser& choose) {
  auto table = std::make_unique<CharMapTable>();
  std::fill(std::begin(table->pair), std::end(table->pair), 0);
  for (int lead = 0x80; lead < 0x100; ++lead) {
    const char one[1] = {static_cast<char>(lead)};
    if (gbk.Decode({one, 1}).kind != DecodedUnit::kLead) continue;
    for (int trail = 0; trail < 0x100; ++trail) {
      const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
      const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      DecodedUnit unit = gbk.Decode({two, 2});
      if (unit.kind == DecodedUnit::kNotTrail) continue;
      table->pair[code] = code;
      if (unit.kind != DecodedUnit::kChar) continue;
      if (std::optional<char32_t> to = choose(unit.cp))
        if (std::optional<std::uint16_t> pair = GbkPair(gbk, *to)) table->pair[code] = *pair;
    }
  }
  return table;
}

const CharCandidateSource& Source() {
  static const CharCandidateSource source;
  return source;
}
}  // namespace

// A simplified character changes when OpenCC gives it a traditional form, or when
// Big5 (which RbGB2Big5 writes next) lacks it. The first form that both cp936 and
// cp950 hold wins; failing that, OpenCC's first form that cp936 holds.
const CharMapTable& Sc2TcTable() {
  static const std::unique_ptr<CharMapTable> table = [] {
    const CharCandidateSource& source = Source();
    IcuCodePage gbk(kCp936), big5(kCp950);
    auto holds = [&](char32_t c) { return GbkPair(gbk, c) && big5.Encode(c, false); };
    return Build(gbk, [&](char32_t c) -> std::optional<char32_t> {
      if (!source.HasTraditional(c) && big5.Encode(c, false)) return std::nullopt;
      for (char32_t form : source.Traditional(c))
        if (holds(form)) return form;
      for (char32_t form : source.OpenccTraditional(c))
        if (GbkPair(gbk, form)) return form;
      return std::nullopt;
    });
  }();
  return *table;
}

// A traditional character changes when OpenCC gives it a simplified form, or when
// it lies outside GB2312. The first form in GB2312 wins; failing that, OpenCC's
// first form that cp936 holds.
const CharMapTable& Tc2ScTable() {
  static const std::unique_ptr<CharMapTable> table = [] {
    const CharCandidateSource& source = Source();
    IcuCodePage gbk(kCp936);
    auto inGb2312 = [&](char32_t c) {
      std::optional<std::uint16_t> pair = GbkPair(gbk, c);
      return pair && InGb2312(*pair);
    };
    return Build(gbk, [&](char32_t c) -> std::optional<char32_t> {
      if (!source.HasSimplified(c) && inGb2312(c)) return std::nullopt;
      for (char32_t form : source.Simplified(c))
        if (inGb2312(form)) return form;
      for (char32_t form : source.OpenccSimplified(c))
        if (GbkPair(gbk, form)) return form;
      return std::nullopt;
    });
  }();
  return *table;
}

void MapChars(const CharMapTable& table, std::string_view text, std::string& out) {
  const std::size_t start = out.size();
  out.append(text);
  auto p = reinterpret_cast<unsigned char*>(out.data()) + start;
  const auto end = p + text.size();
  while (p < end) {
    if (*p < 0x80 || p + 1 == end) {
      ++p;
      continue;
    }
    std::uint16_t v = table.pair[p[0] << 8 | p[1]];
    if (v == 0) {
      ++p;  // not a pair: the next byte starts anew
      continue;
    }
    p[0] = static_cast<unsigned char>(v >> 8);
    p[1] = static_cast<unsigned char>(v);
    p += 2;
  }
}

}  // namespace orvela
