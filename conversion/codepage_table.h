// Direct byte-to-byte tables between code pages 936 and 950, built once from ICU's
// Windows converters, and the loop that applies them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvela {

// One entry per source byte (single) and per lead/trail pair (pair). An entry is
// the target bytes: a value below 0x100 is one byte, any other value two bytes,
// high byte first. Two values are markers.
struct CodePageTable {
  static constexpr std::uint16_t kLead = 0xFFFF;      // single: the byte opens a pair
  static constexpr std::uint16_t kNotTrail = 0xFFFF;  // pair: the second byte starts anew
  std::uint16_t single[256];
  std::uint16_t pair[65536];
};

// Source cp936 to target cp950, and back; built at first use, thread-safe.
const CodePageTable& Gbk2Big5Table();
const CodePageTable& Big52GbkTable();

// Appends the conversion of text to out.
void Transcode(const CodePageTable& table, std::string_view text, std::string& out);

}  // namespace orvela
