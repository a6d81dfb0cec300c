#include "conversion/codepage_chars.h"

#include <algorithm>
#include <memory>
#include <string>

#include "conversion/codepage_table.h"
#include "conversion/icu_codepage.h"

namespace orvela {

namespace {
std::unique_ptr<CodePageChars> Build(const char* name, const ByteTable& cut) {
  auto chars = std::make_unique<CodePageChars>();
  std::copy(std::begin(cut.kind), std::end(cut.kind), chars->kind);
  IcuCodePage codepage(name);
  for (unsigned a = 0; a < 0x100; ++a) {
    if (!(cut.kind[a] & kOpensPair)) {
      DecodedUnit unit = codepage.Decode(std::string(1, static_cast<char>(a)));
      if (unit.kind != DecodedUnit::kChar) continue;
      for (unsigned b = 0; b < 0x100; ++b) chars->decode[TwoBytes(a, b)] = unit.cp;
      continue;
    }
    for (unsigned b = 0; b < 0x100; ++b) {
      if (chars->UnitLength(a, b) != 2) continue;
      const char two[2] = {static_cast<char>(a), static_cast<char>(b)};
      DecodedUnit unit = codepage.Decode({two, 2});
      if (unit.kind == DecodedUnit::kChar) chars->decode[TwoBytes(a, b)] = unit.cp;
    }
  }
  return chars;
}
}  // namespace

// The cut into units is the one the code-page tables use for their source.
const CodePageChars& Cp936Chars() {
  static const std::unique_ptr<CodePageChars> chars = Build(kCp936, Gbk2Big5Table());
  return *chars;
}

const CodePageChars& Cp950Chars() {
  static const std::unique_ptr<CodePageChars> chars = Build(kCp950, Big52GbkTable());
  return *chars;
}

}  // namespace orvela
