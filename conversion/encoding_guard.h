// Whether a file's bytes are text in the code page a conversion mode starts from:
// nothing is converted that the mode would damage (UTF-8 or UTF-16 text, a binary,
// text of the other code page, a file converted already).
#pragma once

#include <cstddef>
#include <memory>
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

// The same judgement over a text given in pieces of any size: all its evidence adds up
// piece by piece, and a few bytes are held back where a character or unit is cut.
class EncodingGuard {
 public:
  explicit EncodingGuard(SourceEncoding source);
  ~EncodingGuard();
  EncodingGuard(const EncodingGuard&) = delete;
  EncodingGuard& operator=(const EncodingGuard&) = delete;

  void Feed(std::string_view piece);
  // True once the verdict cannot change whatever follows (a byte-order mark).
  bool Settled() const;
  // EncodingProblem of everything fed, once the last piece is in; call it once.
  std::optional<std::string> Verdict();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// How much of the text reads as common characters in one code page: the evidence
// the other-code-page test weighs. Exposed for the measurements in the tests.
struct HanziScore {
  long hanzi = 0;   // double-byte units (a unit with no character counts too)
  long common = 0;  // of them, common symbols and hanzi of GB2312 and Big5
};
HanziScore ScoreHanzi(std::string_view text, SourceEncoding reading);

}  // namespace orvela
