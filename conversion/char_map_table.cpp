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

// The cut into units is cp936's, as in the code-page tables.
std::unique_ptr<ByteTable> Build(IcuCodePage& gbk, const Chooser& choose) {
  auto table = std::make_unique<ByteTable>();
  for (unsigned first = 0; first < 0x100; ++first) {
    const char one[1] = {static_cast<char>(first)};
    const bool lead = gbk.Decode({one, 1}).kind == DecodedUnit::kLead;
    if (lead) table->kind[first] |= kOpensPair;
    for (unsigned second = 0; second < 0x100; ++second) {
      std::uint32_t& out = table->entry[TwoBytes(first, second)];
      out = OneByte(first);  // kept as it is
      if (!lead) continue;
      const char two[2] = {static_cast<char>(first), static_cast<char>(second)};
      DecodedUnit unit = gbk.Decode({two, 2});
      if (unit.kind == DecodedUnit::kNotTrail) continue;
      table->kind[second] |= kEndsPair;
      out = TwoByteOut(first, second);
      if (unit.kind == DecodedUnit::kChar)
        if (std::optional<char32_t> to = choose(unit.cp))
          if (std::optional<std::uint16_t> pair = GbkPair(gbk, *to))
            out = TwoByteOut(*pair >> 8, *pair & 0xFF);
    }
  }
  Finish(*table);
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
const ByteTable& Sc2TcTable() {
  static const std::unique_ptr<ByteTable> table = [] {
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
const ByteTable& Tc2ScTable() {
  static const std::unique_ptr<ByteTable> table = [] {
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

}  // namespace orvela
