// Simplified/traditional character tables over GBK bytes, built once from OpenCC's
// character dictionaries, and the loop that applies them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvela {

// For every lead/trail pair of cp936, the pair that replaces it (itself when the
// character stays), or 0 when the second byte cannot follow the first.
struct CharMapTable {
  std::uint16_t pair[65536];
};

const CharMapTable& Sc2TcTable();  // built at first use, thread-safe
const CharMapTable& Tc2ScTable();

// Appends the mapping of text to out; exactly text.size() bytes.
void MapChars(const CharMapTable& table, std::string_view text, std::string& out);

}  // namespace orvela
