#include "conversion/unit_trie.h"

#include <bit>
#include <stdexcept>

namespace orvela {

namespace {
std::uint16_t Load(const unsigned char* p) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

// The first three units as loaded from memory, for the second filter.
std::uint64_t Triple(const unsigned char* p) {
  std::uint64_t v = 0;
  std::memcpy(&v, p, 6);
  return v;
}
}  // namespace

UnitTrie::Table::Table(std::size_t entries)
    : slots(std::bit_ceil(entries + entries / 2 + 16), 0),
      shift(64 - std::countr_zero(slots.size())),
      mask(slots.size() - 1) {}

std::uint64_t* UnitTrie::Table::Find(std::uint64_t key) {
  std::uint64_t slot = Hash(key) >> shift;
  while (slots[slot] && slots[slot] >> kKeyShift != key) slot = (slot + 1) & mask;
  return &slots[slot];
}

std::uint64_t UnitTrie::Table::Get(std::uint64_t key) const {
  for (std::uint64_t slot = Hash(key) >> shift;; slot = (slot + 1) & mask) {
    const std::uint64_t s = slots[slot];
    if (s >> kKeyShift == key || !s) return s;
  }
}

UnitTrie::UnitTrie(std::size_t keys, std::size_t units)
    : opens_(65536, false),
      pairFilter_((std::size_t{1} << kFilterBits) / 64, 0),
      tripleFilter_((std::size_t{1} << kFilterBits) / 64, 0),
      pairs_(keys),
      links_(units > 2 * keys ? units - 2 * keys : 0) {}

std::uint32_t UnitTrie::NewNode() {
  if (nodes_ > kNodeMask) throw std::length_error("UnitTrie: too many nodes");
  return static_cast<std::uint32_t>(nodes_++);
}

std::uint32_t UnitTrie::Insert(const std::vector<std::uint16_t>& key) {
  // The filters hash the units as memory holds them.
  const std::uint16_t head[3] = {key[0], key[1], key.size() > 2 ? key[2] : std::uint16_t{0}};
  std::uint32_t two;
  std::memcpy(&two, head, 4);
  opens_[key[0]] = true;
  Set(pairFilter_, Hash(two));
  if (key.size() > 2)
    Set(tripleFilter_, Hash(Triple(reinterpret_cast<const unsigned char*>(head))));
  std::uint64_t* slot = pairs_.Find(two);
  if (!*slot) *slot = std::uint64_t{two} << kKeyShift | NewNode();
  for (std::size_t i = 2; i < key.size(); ++i) {
    *slot |= kHasChildren;
    const std::uint64_t link = (*slot & kNodeMask) << 16 | key[i];
    slot = links_.Find(link);
    if (!*slot) *slot = link << kKeyShift | NewNode();
  }
  *slot |= kEnds;
  return static_cast<std::uint32_t>(*slot & kNodeMask);
}

std::size_t UnitTrie::Walk(const unsigned char* p, const unsigned char* end, std::uint32_t two,
                           std::uint32_t* node) const {
  std::uint64_t slot = pairs_.Get(two);
  std::size_t best = 0;
  const unsigned char* q = p + 4;
  for (;;) {
    if (!slot) return best;
    if (slot & kEnds) {
      best = static_cast<std::size_t>(q - p);
      *node = static_cast<std::uint32_t>(slot & kNodeMask);
    }
    if (!(slot & kHasChildren) || end - q < 2) return best;
    if (q == p + 4 && !Test(tripleFilter_, Hash(Triple(p)))) return best;
    slot = links_.Get((slot & kNodeMask) << 16 | Load(q));
    q += 2;
  }
}

}  // namespace orvela
