// The program's own letter case: only the ASCII letters change, byte by byte, so the
// bytes of double-byte characters are never touched by a locale's rules.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace orvela {

inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string AsciiLower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = AsciiLower(c);
  return result;
}

// Whole-string comparison with ASCII letter case ignored.
inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace orvela
