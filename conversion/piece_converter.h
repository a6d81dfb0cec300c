// Converting a text in pieces of bounded size, with exactly the bytes that converting
// it whole gives.
//
// No dictionary key of the phrase conversion and no double-byte character of cp936 or
// cp950 holds a byte below 0x40 (every key is hanzi only; trail bytes are 0x40 or
// above), so such a byte is always a unit of its own that no match spans: text cut
// right after one converts piece by piece to the bytes it converts to whole. Each
// piece ends after its last such byte; the bytes after it wait for the next piece.
//
// The charset tag step changes only the head of a page. Its converted bytes are held
// until the line that ends the head (where the step's own scan ends) is complete;
// the step then runs on that prefix, and the rest passes untouched.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "conversion/modes.h"

namespace orvela {

struct PieceLimits {
  // How many bytes are converted at a time. A stretch of more bytes without a byte
  // below 0x40 (no line break, space, digit or ASCII punctuation) is held whole.
  std::size_t pieceSize = 1 << 20;
  // How much of a page the charset tag step holds while it looks for the end of the
  // head; a page without one is judged on its lines within this much of its start.
  std::size_t headWindow = 4 << 20;
};

class PieceConverter {
 public:
  using Sink = std::function<void(std::string_view)>;

  // tagDirection as CharsetTagDirection gives it; 0 for no tag step.
  PieceConverter(ConversionMode mode, CharMapping mapping, int tagDirection,
                 PieceLimits limits = {});

  // Where the next bytes of the text may be put: at least a piece's worth, RoomSize().
  char* Room();
  std::size_t RoomSize() const { return room_; }
  // Takes n bytes put at Room() and hands to sink what is converted for good.
  void Take(std::size_t n, const Sink& sink);
  // Room() and Take() for bytes held elsewhere.
  void Push(std::string_view bytes, const Sink& sink);
  // The text has ended: converts and hands over the rest.
  void Finish(const Sink& sink);

 private:
  void Convert(std::string_view piece, const Sink& sink);
  void Emit(const Sink& sink);
  void ReleaseHead(std::size_t end, const Sink& sink);

  ConversionMode mode_;
  CharMapping mapping_;
  int tagDirection_;
  PieceLimits limits_;
  std::string in_;            // bytes not yet converted, then room for more
  std::size_t held_ = 0;      // of them, taken so far
  std::size_t searched_ = 0;  // of those, known to hold no byte below 0x40
  std::size_t room_ = 0;
  std::string out_, scratch_;  // one piece converted, and between a mode's two steps
  bool headDone_ = false;      // the tag step has run: converted bytes pass straight on
  std::string head_;           // converted bytes held for the tag step
};

}  // namespace orvela
