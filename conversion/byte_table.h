// One table-driven pass over double-byte text: every transform, and every two-step
// conversion mode, is one ByteTable.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace orvela {

inline constexpr std::uint8_t kOpensPair = 1;  // a lead byte
inline constexpr std::uint8_t kEndsPair = 2;   // a byte that may follow a lead byte

// Two bytes as the 16-bit value that holds them in this order in memory.
constexpr std::uint16_t TwoBytes(unsigned first, unsigned second) {
  return static_cast<std::uint16_t>(
      std::endian::native == std::endian::little ? first | second << 8 : first << 8 | second);
}

inline std::uint16_t LoadTwoBytes(const unsigned char* p) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

struct ByteTable {
  // How the source is cut into units: a byte that opens a pair, followed by a byte
  // that may end one, is a two-byte unit; every other byte is a unit of its own.
  std::uint8_t kind[256] = {};
  // The unit that begins with byte a, followed by byte b (0 after the last byte,
  // which no code page takes as a trail byte), at entry[TwoBytes(a, b)]: bits 0-15
  // its output bytes as TwoBytes, bits 24-31 how many of them count (1 or 2), bit 16
  // set when the unit is a pair. Builders fill the output and its length; Finish
  // sets the rest.
  std::uint32_t entry[65536] = {};
  bool asciiKept = false;  // bytes below 0x80 come out as they are
};

inline constexpr std::uint32_t kPairBit = 1u << 16;

constexpr std::uint32_t Entry(std::uint16_t out, unsigned length) {
  return out | length << 24;
}
constexpr std::uint32_t OneByte(unsigned b) {
  return Entry(TwoBytes(b, 0), 1);
}
constexpr std::uint32_t TwoByteOut(unsigned b0, unsigned b1) {
  return Entry(TwoBytes(b0, b1), 2);
}

inline unsigned Consumed(const ByteTable& table, unsigned first, unsigned second) {
  return 1 + (table.kind[first] & table.kind[second] >> 1 & 1);
}

// How many of the eight bytes, in memory order, are below 0x80 before the first
// that is not.
inline unsigned LeadingAscii(std::uint64_t eight) {
  const std::uint64_t high = eight & 0x8080808080808080u;
  if (high == 0) return 8;
  return (std::endian::native == std::endian::little ? std::countr_zero(high)
                                                     : std::countl_zero(high)) /
         8;
}

// The entry's output bytes.
std::string OutBytes(std::uint32_t entry);

// Sets every entry's pair bit from `kind`, and asciiKept.
void Finish(ByteTable& table);

// The table that does `first` and then `second` in one pass, or nullptr when the
// result could differ from running them one after the other (when `second` would
// cut `first`'s output into other units than `first` wrote).
std::unique_ptr<ByteTable> Compose(const ByteTable& first, const ByteTable& second);

// Appends the conversion of text to out.
void ApplyByteTable(const ByteTable& table, std::string_view text, std::string& out);

}  // namespace orvela
