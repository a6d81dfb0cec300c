#include "conversion/char_map_table.h"

#include <functional>
#include <memory>

#include "conversion/icu_codepage.h"
#include "conversion/opencc_chars.h"

namespace orvela {

namespace {
// Picks the replacement of one character: the first candidate that cp936 holds
// exactly and that `preferred` accepts, else the first that cp936 holds.
using Preferred = std::function<bool(char32_t, std::uint16_t gbk)>;

std::uint16_t GbkPair(const std::string& bytes) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                    static_cast<unsigned char>(bytes[1]));
}

std::unique_ptr<CharMapTable> Build(const CharCandidates& dictionary, const Preferred& preferred) {
  IcuCodePage gbk(kCp936);
  auto table = std::make_unique<CharMapTable>();
  for (int lead = 0; lead < 256; ++lead) {
    for (int trail = 0; trail < 256; ++trail) table->pair[lead << 8 | trail] = 0;
    const char one[1] = {static_cast<char>(lead)};
    if (gbk.Decode({one, 1}).kind != DecodedUnit::kLead) continue;
    for (int trail = 0; trail < 256; ++trail) {
      const std::uint16_t code = static_cast<std::uint16_t>(lead << 8 | trail);
      const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      DecodedUnit unit = gbk.Decode({two, 2});
      if (unit.kind == DecodedUnit::kNotTrail) continue;
      table->pair[code] = code;
      if (unit.kind != DecodedUnit::kChar) continue;
      auto found = dictionary.find(unit.cp);
      if (found == dictionary.end()) continue;
      std::uint16_t best = 0;
      for (char32_t candidate : found->second) {
        std::optional<std::string> bytes = gbk.Encode(candidate, false);
        if (!bytes || bytes->size() != 2) continue;
        std::uint16_t pair = GbkPair(*bytes);
        if (preferred(candidate, pair)) {
          best = pair;
          break;
        }
        if (!best) best = pair;
      }
      if (best) table->pair[code] = best;
    }
  }
  return table;
}
}  // namespace

const CharMapTable& Sc2TcTable() {
  static const std::unique_ptr<CharMapTable> table = [] {
    IcuCodePage big5(kCp950);
    return Build(LoadOpenccCharacters("STCharacters"),
                 [&](char32_t c, std::uint16_t) { return big5.Encode(c, false).has_value(); });
  }();
  return *table;
}

const CharMapTable& Tc2ScTable() {
  static const std::unique_ptr<CharMapTable> table =
      Build(LoadOpenccCharacters("TSCharacters"), [](char32_t, std::uint16_t gbk) {
        return gbk >= 0xA1A1 && gbk <= 0xF7FE && (gbk & 0xFF) >= 0xA1;
      });
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
