// What each unit of code page 936 or 950 decodes to, as ICU's Windows converters
// say: the tables that judge and read text without calling ICU.
#pragma once

#include <cstdint>
#include <vector>

#include "conversion/byte_table.h"

namespace orvela {

inline constexpr char32_t kNoChar = 0xFFFFFFFF;  // the unit is no character

struct CodePageChars {
  std::uint8_t kind[256] = {};  // kOpensPair and kEndsPair, as in ByteTable
  // The character of the unit that begins with byte a, followed by byte b (0 after
  // the last byte), at decode[TwoBytes(a, b)]; kNoChar when it has none (a lead
  // byte that b cannot follow, a pair or byte the code page leaves empty).
  std::vector<char32_t> decode = std::vector<char32_t>(65536, kNoChar);

  unsigned UnitLength(unsigned a, unsigned b) const { return 1 + (kind[a] & kind[b] >> 1 & 1); }
};

// Built at first use, thread-safe.
const CodePageChars& Cp936Chars();
const CodePageChars& Cp950Chars();

}  // namespace orvela
