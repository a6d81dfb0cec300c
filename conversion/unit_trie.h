// A trie over keys of two-byte units (cp936 pairs as loaded from memory), for the
// longest key at a point of the text. Most lookups end early and in small tables:
// a filter over each key's first two units, a table of those first two units, and
// a filter over the first three before the deeper nodes are read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace orvela {

class UnitTrie {
 public:
  // Room for `keys` keys of `units` units in all.
  UnitTrie(std::size_t keys, std::size_t units);

  // Keys have two units at least. Returns the node where the key ends: a number
  // below Nodes(), not 0, that stands for the key.
  std::uint32_t Insert(const std::vector<std::uint16_t>& key);
  std::size_t Nodes() const { return nodes_; }

  // The byte length of the longest key that the text at p begins with, and its
  // node; 0 when none does.
  std::size_t LongestMatch(const unsigned char* p, const unsigned char* end,
                           std::uint32_t* node) const {
    if (end - p < 4) return 0;
    std::uint32_t two;
    std::memcpy(&two, p, 4);
    if (!Test(pairFilter_, Hash(two))) return 0;
    return Walk(p, end, two, node);
  }

  bool Opens(std::uint16_t unit) const { return opens_[unit]; }

  // Whether some key may begin with the first four bytes at p (a cheap test that
  // LongestMatch makes first).
  bool MayMatch(const unsigned char* p) const {
    std::uint32_t two;
    std::memcpy(&two, p, 4);
    return Test(pairFilter_, Hash(two));
  }

 private:
  // A link in one word: its key (the first two units, or the parent node and the
  // unit: 40 bits), whether a key ends at the node it leads to, whether that node
  // has children, and the node (22 bits). Open addressing; 0 is empty.
  static constexpr unsigned kNodeBits = 22;
  static constexpr std::uint64_t kNodeMask = (std::uint64_t{1} << kNodeBits) - 1;
  static constexpr std::uint64_t kEnds = std::uint64_t{1} << kNodeBits;
  static constexpr std::uint64_t kHasChildren = std::uint64_t{1} << (kNodeBits + 1);
  static constexpr unsigned kKeyShift = kNodeBits + 2;
  static constexpr unsigned kFilterBits = 20;

  struct Table {
    explicit Table(std::size_t entries);
    std::uint64_t* Find(std::uint64_t key);  // the slot for key, empty if new
    std::uint64_t Get(std::uint64_t key) const;
    std::vector<std::uint64_t> slots;
    unsigned shift;
    std::uint64_t mask;
  };

  static std::uint64_t Hash(std::uint64_t key) { return key * 0x9E3779B97F4A7C15u; }
  static bool Test(const std::vector<std::uint64_t>& bits, std::uint64_t hash) {
    const std::uint64_t bit = hash >> (64 - kFilterBits);
    return bits[bit / 64] >> (bit % 64) & 1;
  }
  static void Set(std::vector<std::uint64_t>& bits, std::uint64_t hash) {
    const std::uint64_t bit = hash >> (64 - kFilterBits);
    bits[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }
  std::size_t Walk(const unsigned char* p, const unsigned char* end, std::uint32_t two,
                   std::uint32_t* node) const;
  std::uint32_t NewNode();

  std::vector<bool> opens_;  // by first unit
  std::vector<std::uint64_t> pairFilter_, tripleFilter_;
  Table pairs_;            // the first two units
  Table links_;            // (node, unit) below them
  std::size_t nodes_ = 1;  // node 0 is none
};

}  // namespace orvela
