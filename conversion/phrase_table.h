// OpenCC's phrase-aware conversion compiled over cp936 bytes. Maximum-match
// segmentation walks a trie of the segmentation dictionary's keys in their cp936
// bytes; a phrase found comes out as its converted bytes, worked out when the table
// is built. Text between phrases goes unit by unit through a byte table, except
// around the few characters whose conversion depends on their neighbours there (a
// later step of the chain with keys of its own): that stretch goes through the
// chain itself. Where OpenCC's form is one the target cannot hold, the character
// gets the character-by-character table's form instead.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/byte_table.h"
#include "conversion/phrase_chain.h"
#include "conversion/unit_trie.h"

namespace orvela {

// The code page the mapped text must fit: cp936, or cp950 too (RbGB2Big5 goes on
// to convert it).
enum class MappingTarget { kGbk, kBig5 };

class PhraseTable {
 public:
  PhraseTable(const ConversionChain& chain, const ByteTable& byChar, MappingTarget target);
  ~PhraseTable();

  // Appends the conversion of cp936 text to out.
  void Apply(std::string_view gbk, std::string& out) const;

 private:
  struct Phrase {
    std::uint32_t offset, length;
  };
  std::uint32_t Entry(const unsigned char* p, const unsigned char* end) const;
  bool NeedsChain(std::uint32_t entry, const unsigned char* p, const unsigned char* end) const;
  const unsigned char* ConvertStretch(const unsigned char* from, const unsigned char* at,
                                      const unsigned char* end, std::string& out) const;
  void AppendAligned(const std::vector<std::uint16_t>& units, std::u32string_view converted,
                     std::string& out) const;
  std::uint32_t EncodeChar(char32_t c) const;

  const ConversionChain& chain_;
  const ByteTable& byChar_;
  MappingTarget target_;
  std::unique_ptr<ByteTable> units_;  // text between phrases, with the flags below
  unsigned cutDistance_ = 0;          // clean units before a position that make it a cut
  bool anySensitive_ = false;
  UnitTrie segmentation_;   // phrases_ by its nodes
  UnitTrie firstStepKeys_;  // the first step's own keys of several characters
  std::vector<Phrase> phrases_;
  std::string outputs_;
};

// Simplified to traditional (s2tw) and traditional to simplified (tw2s) over cp936
// text; built at first use, thread-safe.
const PhraseTable& Sc2TcPhraseTable(MappingTarget target);
const PhraseTable& Tc2ScPhraseTable();

}  // namespace orvela
