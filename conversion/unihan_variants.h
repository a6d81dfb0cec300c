// The few character variants that Unicode's Unihan database records and OpenCC's
// dictionaries lack, where they let a character reach the code page that follows.
#pragma once

#include <span>

namespace orvela {

enum class UnihanField { kTraditional, kSimplified, kSemantic, kZ };

struct UnihanVariant {
  char32_t from;
  char32_t to;
  UnihanField field;  // the Unihan_Variants field of `from` that lists `to`
};

std::span<const UnihanVariant> UnihanVariants();

}  // namespace orvela
