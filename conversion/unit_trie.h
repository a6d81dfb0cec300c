// A trie over keys of two-byte units (cp936 pairs as loaded from memory), for the
// longest key at a point of the text. Most lookups end at once: a filter over each
// key's first two units is read before any node is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvela {

class UnitTrie {
 public:
  // Room for keys of `units` units in all.
  explicit UnitTrie(std::size_t units);

  // Keys have two units at least; value is not 0.
  void Insert(const std::vector<std::uint16_t>& key, std::uint32_t value);

  // The byte length of the longest key that the text at p begins with, and its
  // value; 0 when none does.
  std::size_t LongestMatch(const unsigned char* p, const unsigned char* end,
                           std::uint32_t* value) const;

  bool Opens(std::uint16_t unit) const { return root_[unit] != 0; }

 private:
  std::uint32_t Child(std::uint32_t node, std::uint16_t unit) const;
  std::uint32_t NewNode();

  std::vector<std::uint32_t> root_;  // first unit -> node
  std::vector<std::uint64_t> slotKeys_;  // (node, unit), open addressing; 0 is empty
  std::vector<std::uint32_t> slotNodes_;
  unsigned slotShift_;
  std::uint64_t slotMask_;
  std::vector<std::uint64_t> pairFilter_;
  std::vector<std::uint32_t> values_;  // by node; 0 where no key ends
};

}  // namespace orvela
