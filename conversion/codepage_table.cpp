#include "conversion/codepage_table.h"

#include <memory>
#include <optional>
#include <stdexcept>

#include "conversion/icu_codepage.h"

namespace orvela {

namespace {
constexpr std::uint32_t kQuestion = OneByte('?');

// A character's output: its target bytes, or "?" when the target lacks it
// (default-ignorable characters too).
std::uint32_t Output(const std::optional<std::string>& target) {
  if (!target) return kQuestion;
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>((*target)[i]); };
  if (target->size() == 1) return OneByte(byte(0));
  if (target->size() == 2) return TwoByteOut(byte(0), byte(1));
  return kQuestion;
}

std::unique_ptr<ByteTable> Build(const char* sourceName, const char* targetName) {
  IcuCodePage source(sourceName), target(targetName);
  auto table = std::make_unique<ByteTable>();
  auto output = [&](const DecodedUnit& unit) {
    return unit.kind == DecodedUnit::kChar ? Output(target.Encode(unit.cp, true)) : kQuestion;
  };
  std::optional<unsigned> firstLead;
  for (unsigned first = 0; first < 0x100; ++first) {
    const char one[1] = {static_cast<char>(first)};
    DecodedUnit unit = source.Decode({one, 1});
    if (unit.kind != DecodedUnit::kLead) {
      const std::uint32_t o = output(unit);
      for (unsigned second = 0; second < 0x100; ++second) table->entry[TwoBytes(first, second)] = o;
      continue;
    }
    table->kind[first] |= kOpensPair;
    for (unsigned second = 0; second < 0x100; ++second) {
      const char two[2] = {static_cast<char>(first), static_cast<char>(second)};
      DecodedUnit pair = source.Decode({two, 2});
      const bool ends = pair.kind != DecodedUnit::kNotTrail;
      if (!firstLead) table->kind[second] |= ends ? kEndsPair : 0;
      if (ends != ((table->kind[second] & kEndsPair) != 0))
        throw std::logic_error(std::string(sourceName) + ": trail bytes differ between lead bytes");
      // A lead byte followed by a byte that cannot end it, or by nothing: one "?",
      // and the next byte starts anew. A pair with no character: one "?".
      table->entry[TwoBytes(first, second)] = ends ? output(pair) : kQuestion;
    }
    firstLead = first;
  }
  Finish(*table);
  return table;
}
}  // namespace

const ByteTable& Gbk2Big5Table() {
  static const std::unique_ptr<ByteTable> table = Build(kCp936, kCp950);
  return *table;
}

const ByteTable& Big52GbkTable() {
  static const std::unique_ptr<ByteTable> table = Build(kCp950, kCp936);
  return *table;
}

}  // namespace orvela
