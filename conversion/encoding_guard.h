// Whether a file's bytes are text in the code page a conversion mode starts from:
// nothing is converted that the mode would damage (UTF-8 or UTF-16 text, a binary,
// text of the other code page, a file converted already).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "conversion/modes.h"

namespace orvela {

enum class SourceEncoding { kGbk, kBig5 };

SourceEncoding SourceEncodingOf(ConversionMode mode);

// Why the text is not to be converted from `source` (the reason the completion
// message gives), or nullopt when it may be. Pure ASCII always may.
std::optional<std::string> EncodingProblem(std::string_view text, SourceEncoding source);

// How much of the text reads as common characters in one code page: the evidence
// the other-code-page test weighs. Exposed for the measurements in the tests.
struct HanziScore {
  long hanzi = 0;   // double-byte units (a unit with no character counts too)
  long common = 0;  // of them, common symbols and hanzi of GB2312 and Big5
};
HanziScore ScoreHanzi(std::string_view text, SourceEncoding reading);

}  // namespace orvela
