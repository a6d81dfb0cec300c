#include "conversion/codepage_table.h"

#include <algorithm>
#include <memory>

#include "conversion/icu_codepage.h"

namespace orvela {

namespace {
constexpr std::uint16_t kQuestion = '?';

// Target bytes as a table entry; anything but one or two bytes cannot come from a
// double-byte code page, and is written as "?".
std::uint16_t Entry(const std::optional<std::string>& bytes) {
  if (!bytes) return kQuestion;
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>((*bytes)[i]); };
  if (bytes->size() == 1) return byte(0);
  if (bytes->size() == 2 && byte(0) != 0) return static_cast<std::uint16_t>(byte(0) << 8 | byte(1));
  return kQuestion;
}

std::unique_ptr<CodePageTable> Build(const char* sourceName, const char* targetName) {
  IcuCodePage source(sourceName), target(targetName);
  auto table = std::make_unique<CodePageTable>();
  std::fill(std::begin(table->pair), std::end(table->pair), CodePageTable::kNotTrail);
  auto convert = [&](const DecodedUnit& unit) {
    return unit.kind == DecodedUnit::kChar ? Entry(target.Encode(unit.cp, true)) : kQuestion;
  };
  for (int lead = 0; lead < 256; ++lead) {
    const char one[1] = {static_cast<char>(lead)};
    DecodedUnit unit = source.Decode({one, 1});
    if (unit.kind != DecodedUnit::kLead) {
      table->single[lead] = convert(unit);
      continue;
    }
    table->single[lead] = CodePageTable::kLead;
    for (int trail = 0; trail < 256; ++trail) {
      const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      DecodedUnit pairUnit = source.Decode({two, 2});
      table->pair[lead << 8 | trail] =
          pairUnit.kind == DecodedUnit::kNotTrail ? CodePageTable::kNotTrail : convert(pairUnit);
    }
  }
  return table;
}
}  // namespace

const CodePageTable& Gbk2Big5Table() {
  static const std::unique_ptr<CodePageTable> table = Build(kCp936, kCp950);
  return *table;
}

const CodePageTable& Big52GbkTable() {
  static const std::unique_ptr<CodePageTable> table = Build(kCp950, kCp936);
  return *table;
}

void Transcode(const CodePageTable& table, std::string_view text, std::string& out) {
  auto p = reinterpret_cast<const unsigned char*>(text.data());
  const auto end = p + text.size();
  std::size_t used = out.size();
  out.resize(used + text.size() + 16);
  while (p < end) {
    // Every source byte gives at most two target bytes, so a block of k source
    // bytes needs at most 2k bytes of room and the inner loop checks nothing.
    std::size_t left = static_cast<std::size_t>(end - p);
    std::size_t room = out.size() - used;
    if (room < 2 * std::min<std::size_t>(left, 64) + 4) {
      out.resize(used + 2 * left + 4);
      continue;
    }
    const auto stop = p + std::min(left, (room - 4) / 2);
    auto w = reinterpret_cast<unsigned char*>(out.data()) + used;
    while (p < stop) {
      std::uint16_t v = table.single[*p];
      if (v != CodePageTable::kLead) {
        ++p;
      } else if (p + 1 == end) {
        v = kQuestion;  // a lone lead byte at the end
        ++p;
      } else {
        v = table.pair[p[0] << 8 | p[1]];
        if (v == CodePageTable::kNotTrail) {
          v = kQuestion;
          ++p;
        } else {
          p += 2;
        }
      }
      if (v < 0x100) {
        *w++ = static_cast<unsigned char>(v);
      } else {
        w[0] = static_cast<unsigned char>(v >> 8);
        w[1] = static_cast<unsigned char>(v);
        w += 2;
      }
    }
    used = static_cast<std::size_t>(w - reinterpret_cast<unsigned char*>(out.data()));
  }
  out.resize(used);
}

}  // namespace orvela
