#include "conversion/byte_table.h"

#include <algorithm>
#include <array>
#include <bitset>

namespace orvela {

std::string OutBytes(std::uint32_t entry) {
  const std::uint16_t out = static_cast<std::uint16_t>(entry);
  char bytes[2];
  std::memcpy(bytes, &out, 2);
  return std::string(bytes, entry >> 24);
}

void Finish(ByteTable& table) {
  for (unsigned a = 0; a < 0x100; ++a)
    for (unsigned b = 0; b < 0x100; ++b) {
      std::uint32_t& e = table.entry[TwoBytes(a, b)];
      e = (e & ~kPairBit) | (Consumed(table, a, b) == 2 ? kPairBit : 0);
    }
  table.asciiKept = true;
  for (unsigned b = 0; b < 0x80; ++b) {
    table.asciiKept &= !(table.kind[b] & kOpensPair);
    for (unsigned next = 0; next < 0x100; ++next)
      table.asciiKept &= table.entry[TwoBytes(b, next)] == OneByte(b);
  }
}

std::unique_ptr<ByteTable> Compose(const ByteTable& first, const ByteTable& second) {
  using Bytes = std::bitset<256>;
  auto out0 = [](std::uint32_t e) -> unsigned { return OutBytes(e).front() & 0xFF; };
  // The bytes that can come right after a unit of `first` that begins with y: the
  // first output byte of the next unit, whatever it begins with, or the end (0).
  std::array<Bytes, 256> opening{};
  Bytes anyOpening;
  for (unsigned y = 0; y < 0x100; ++y)
    for (unsigned z = 0; z < 0x100; ++z) opening[y].set(out0(first.entry[TwoBytes(y, z)]));
  for (const Bytes& o : opening) anyOpening |= o;
  // The bytes after which `second` takes b alone and writes what it writes at the end.
  std::array<Bytes, 256> aloneAfter{};
  for (unsigned b = 0; b < 0x100; ++b)
    for (unsigned next = 0; next < 0x100; ++next)
      aloneAfter[b][next] = Consumed(second, b, next) == 1 &&
                            second.entry[TwoBytes(b, next)] == second.entry[TwoBytes(b, 0)];

  auto table = std::make_unique<ByteTable>();
  std::copy(std::begin(first.kind), std::end(first.kind), table->kind);
  for (unsigned a = 0; a < 0x100; ++a) {
    for (unsigned b = 0; b < 0x100; ++b) {
      const std::string o = OutBytes(first.entry[TwoBytes(a, b)]);
      const unsigned o0 = o[0] & 0xFF;
      std::uint32_t& result = table->entry[TwoBytes(a, b)];
      if (o.size() == 2) {
        const unsigned o1 = o[1] & 0xFF;
        if (Consumed(second, o0, o1) != 2) return nullptr;
        result = second.entry[TwoBytes(o0, o1)];
        continue;
      }
      Bytes next = Consumed(first, a, b) == 1 ? opening[b] : anyOpening;
      next.set(0);
      if ((next & ~aloneAfter[o0]).any()) return nullptr;
      result = second.entry[TwoBytes(o0, 0)];
    }
  }
  Finish(*table);
  return table;
}

namespace {
struct Positions {
  const unsigned char* p;
  unsigned char* w;
};

// Converts the units that begin before stop, reading at most up to end. Writes at
// most 2 * (stop - p) + 16 bytes at w.
Positions Block(const ByteTable& table, const unsigned char* p, const unsigned char* stop,
                const unsigned char* end, unsigned char* w) {
  const std::uint32_t* entry = table.entry;
  auto put = [&w](std::uint32_t e) {
    const std::uint16_t out = static_cast<std::uint16_t>(e);
    std::memcpy(w, &out, 2);
    w += e >> 24;
  };
  // Chinese text is mostly double-byte: look up four units at once as if each were
  // two bytes long, and keep those up to the first that is not.
  while (p < stop && end - p >= 16) {
    std::uint64_t eight;
    std::memcpy(&eight, p, 8);
    if (table.asciiKept) {
      // ASCII bytes are units of their own: copy those that lead the next eight.
      const unsigned ascii = LeadingAscii(eight);
      if (ascii > 0) {
        std::memcpy(w, p, 8);
        p += ascii;
        w += ascii;
        continue;
      }
    }
    const std::uint32_t e0 = entry[LoadTwoBytes(p)], e1 = entry[LoadTwoBytes(p + 2)],
                        e2 = entry[LoadTwoBytes(p + 4)], e3 = entry[LoadTwoBytes(p + 6)];
    put(e0);
    if (!(e0 & kPairBit)) {
      p += 1;
      continue;
    }
    put(e1);
    if (!(e1 & kPairBit)) {
      p += 3;
      continue;
    }
    put(e2);
    if (!(e2 & kPairBit)) {
      p += 5;
      continue;
    }
    put(e3);
    p += e3 & kPairBit ? 8 : 7;
  }
  while (p < stop) {
    const std::uint32_t e = entry[TwoBytes(p[0], p + 1 < end ? p[1] : 0)];
    put(e);
    p += e & kPairBit ? 2 : 1;
  }
  return {p, w};
}
}  // namespace

void ApplyByteTable(const ByteTable& table, std::string_view text, std::string& out) {
  auto p = reinterpret_cast<const unsigned char*>(text.data());
  const auto end = p + text.size();
  std::size_t used = out.size();
  constexpr std::size_t kSlack = 32;
  out.resize(used + text.size() + kSlack);
  while (p < end) {
    // A unit never gives more than two bytes per byte it consumes, so a block of k
    // input bytes fits in 2k + 16 bytes and the loops inside check no room.
    std::size_t left = static_cast<std::size_t>(end - p);
    std::size_t room = out.size() - used;
    if (room < 2 * std::min<std::size_t>(left, 256) + kSlack) {
      out.resize(used + 2 * left + kSlack);
      continue;
    }
    const auto stop = p + std::min(left, (room - kSlack) / 2);
    auto base = reinterpret_cast<unsigned char*>(out.data());
    Positions at = Block(table, p, stop, end, base + used);
    p = at.p;
    used = static_cast<std::size_t>(at.w - base);
  }
  out.resize(used);
}

}  // namespace orvela
