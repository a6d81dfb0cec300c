// OpenCC's conversion as its configurations define it, over code points: maximum-
// match segmentation over one dictionary, then each step of a chain applied to each
// segment in turn. A step is a group of dictionaries: at each position the first
// dictionary that has a key there gives its longest one; a position no key starts
// at keeps its character. Used to build the byte tables and for the rare stretches
// of text they cannot convert alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "conversion/opencc_dictionary.h"

namespace orvela {

class PhraseDictionary {
 public:
  explicit PhraseDictionary(std::vector<DictionaryEntry> entries);

  struct Match {
    std::size_t length;  // in characters
    std::u32string_view value;
  };
  // The longest key that text begins with.
  std::optional<Match> LongestPrefix(std::u32string_view text) const;

  // Whether c begins a key longer than one character.
  bool OpensLongKey(char32_t c) const { return Test(opensLong_, c); }
  // Whether c stands anywhere in a key longer than one character.
  bool InLongKey(char32_t c) const { return Test(inLong_, c); }
  bool HasLongKeys() const { return maxLength_ > 1; }
  std::size_t MaxLength() const { return maxLength_; }
  const std::vector<DictionaryEntry>& Entries() const { return entries_; }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::u32string_view s) const {
      return std::hash<std::u32string_view>()(s);
    }
  };
  std::vector<DictionaryEntry> entries_;
  std::unordered_map<std::u32string, std::u32string, Hash, std::equal_to<>> longKeys_;
  std::unordered_map<char32_t, std::u32string> oneChar_;
  // Bit sets over every code point: lookups of the many characters that no key
  // holds end there.
  using Bits = std::vector<std::uint64_t>;
  static bool Test(const Bits& bits, char32_t c) {
    return c < 0x110000 && (bits[c / 64] >> (c % 64) & 1);
  }
  Bits opensLong_, inLong_, hasOne_;
  std::size_t maxLength_ = 0;
};

struct ConversionChain {
  const PhraseDictionary* segmentation;
  std::vector<std::vector<const PhraseDictionary*>> steps;
};

// One step over a text: at each position the first dictionary with a key there
// gives its longest one.
std::u32string ConvertStep(const std::vector<const PhraseDictionary*>& group,
                           std::u32string_view text);

// The chain's steps over one segment.
std::u32string ConvertSegment(const ConversionChain& chain, std::u32string_view segment);

// Segmentation, then the steps over each segment: OpenCC's whole conversion.
std::u32string ConvertText(const ConversionChain& chain, std::u32string_view text);

// s2tw.json and tw2s.json of OpenCC 1.1.6; loaded at first use, thread-safe.
const ConversionChain& SimplifiedToTaiwanChain();
const ConversionChain& TaiwanToSimplifiedChain();

}  // namespace orvela
