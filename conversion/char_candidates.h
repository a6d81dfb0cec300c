// For one character, its simplified or traditional forms in order of preference,
// from OpenCC's character dictionaries first and Unihan's recorded variants after.
#pragma once

#include <vector>

#include "conversion/opencc_dictionary.h"

namespace orvela {

class CharCandidateSource {
 public:
  // Loads OpenCC's character dictionaries (never the phrase ones).
  CharCandidateSource();

  // Whether OpenCC lists the character for that direction at all.
  bool HasTraditional(char32_t c) const { return st_.count(c) != 0; }
  bool HasSimplified(char32_t c) const { return ts_.count(c) != 0; }
  const std::vector<char32_t>& OpenccTraditional(char32_t c) const;
  const std::vector<char32_t>& OpenccSimplified(char32_t c) const;

  // Every recorded form, best first, without duplicates; c itself where a source
  // names it (a Taiwan form of c's traditional form may be c again).
  std::vector<char32_t> Traditional(char32_t c) const;
  std::vector<char32_t> Simplified(char32_t c) const;

 private:
  CharCandidates st_, ts_, stReverse_, tsReverse_;
  CharCandidates twVariants_, twVariantsRev_, hkVariants_, hkVariantsRev_;
  CharCandidates unihanTraditional_, unihanSimplified_, unihanSemantic_;
};

}  // namespace orvela
