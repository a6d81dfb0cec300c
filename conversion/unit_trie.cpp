#include "conversion/unit_trie.h"

#include <bit>
#include <cstring>

namespace orvela {

namespace {
constexpr unsigned kFilterBits = 20;

std::uint64_t Mix(std::uint64_t key) {
  return key * 0x9E3779B97F4A7C15u;
}

std::uint64_t Pair(std::uint64_t high, std::uint16_t low) {
  return high << 16 | low;
}

std::uint16_t Load(const unsigned char* p) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
}  // namespace

UnitTrie::UnitTrie(std::size_t units)
    : root_(65536, 0),
      slotKeys_(std::bit_ceil(units * 2 + 16), 0),
      slotNodes_(slotKeys_.size(), 0),
      slotShift_(64 - std::countr_zero(slotKeys_.size())),
      slotMask_(slotKeys_.size() - 1),
      pairFilter_((std::size_t{1} << kFilterBits) / 64, 0),
      values_(1, 0) {}

std::uint32_t UnitTrie::NewNode() {
  values_.push_back(0);
  return static_cast<std::uint32_t>(values_.size() - 1);
}

void UnitTrie::Insert(const std::vector<std::uint16_t>& key, std::uint32_t value) {
  const std::uint64_t bit = Mix(Pair(key[0], key[1])) >> (64 - kFilterBits);
  pairFilter_[bit / 64] |= std::uint64_t{1} << (bit % 64);
  if (!root_[key[0]]) root_[key[0]] = NewNode();
  std::uint32_t node = root_[key[0]];
  for (std::size_t i = 1; i < key.size(); ++i) {
    const std::uint64_t slotKey = Pair(node, key[i]);
    std::uint64_t slot = Mix(slotKey) >> slotShift_;
    while (slotKeys_[slot] && slotKeys_[slot] != slotKey) slot = (slot + 1) & slotMask_;
    if (!slotKeys_[slot]) {
      slotKeys_[slot] = slotKey;
      slotNodes_[slot] = NewNode();
    }
    node = slotNodes_[slot];
  }
  values_[node] = value;
}

std::uint32_t UnitTrie::Child(std::uint32_t node, std::uint16_t unit) const {
  const std::uint64_t key = Pair(node, unit);
  for (std::uint64_t slot = Mix(key) >> slotShift_;; slot = (slot + 1) & slotMask_) {
    if (slotKeys_[slot] == key) return slotNodes_[slot];
    if (!slotKeys_[slot]) return 0;
  }
}

std::size_t UnitTrie::LongestMatch(const unsigned char* p, const unsigned char* end,
                                   std::uint32_t* value) const {
  if (end - p < 4) return 0;
  const std::uint16_t u0 = Load(p), u1 = Load(p + 2);
  const std::uint64_t bit = Mix(Pair(u0, u1)) >> (64 - kFilterBits);
  if (!(pairFilter_[bit / 64] >> (bit % 64) & 1) || !root_[u0]) return 0;
  std::uint32_t node = Child(root_[u0], u1);
  std::size_t best = 0;
  for (const unsigned char* q = p + 4; node; q += 2) {
    if (values_[node]) {
      best = static_cast<std::size_t>(q - p);
      *value = values_[node];
    }
    if (end - q < 2) break;
    node = Child(node, Load(q));
  }
  return best;
}

}  // namespace orvela
