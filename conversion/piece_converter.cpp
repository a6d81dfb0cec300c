#include "conversion/piece_converter.h"

#include <algorithm>
#include <cstring>

#include "conversion/charset_tag.h"

namespace orvela {

namespace {
bool Cuts(char c) {
  return static_cast<unsigned char>(c) < 0x40;
}
}  // namespace

PieceConverter::PieceConverter(ConversionMode mode, CharMapping mapping, int tagDirection,
                               PieceLimits limits)
    : mode_(mode),
      mapping_(mapping),
      tagDirection_(tagDirection),
      limits_(limits),
      headDone_(tagDirection == 0) {
  limits_.pieceSize = std::max<std::size_t>(limits_.pieceSize, 1);
}

char* PieceConverter::Room() {
  if (in_.size() < held_ + limits_.pieceSize) in_.resize(held_ + limits_.pieceSize);
  room_ = in_.size() - held_;
  return in_.data() + held_;
}

void PieceConverter::Take(std::size_t n, const Sink& sink) {
  held_ += n;
  if (held_ < limits_.pieceSize) return;
  std::size_t cut = held_;
  while (cut > searched_ && !Cuts(in_[cut - 1])) --cut;
  if (cut == searched_) {
    searched_ = held_;  // no cut yet: the piece grows
    return;
  }
  Convert(std::string_view(in_).substr(0, cut), sink);
  std::memmove(in_.data(), in_.data() + cut, held_ - cut);
  held_ -= cut;
  searched_ = held_;
}

void PieceConverter::Push(std::string_view bytes, const Sink& sink) {
  while (!bytes.empty()) {
    char* room = Room();
    const std::size_t n = std::min(bytes.size(), RoomSize());
    std::memcpy(room, bytes.data(), n);
    bytes.remove_prefix(n);
    Take(n, sink);
  }
}

void PieceConverter::Finish(const Sink& sink) {
  Convert(std::string_view(in_).substr(0, held_), sink);
  held_ = searched_ = 0;
  if (!headDone_) {
    if (!head_.empty()) ReleaseHead(head_.size(), sink);
    headDone_ = true;
  }
  std::string().swap(in_);
}

void PieceConverter::Convert(std::string_view piece, const Sink& sink) {
  if (piece.empty()) return;
  out_.clear();
  AppendMode(mode_, piece, mapping_, out_, scratch_);
  if (headDone_) {
    sink(out_);
    return;
  }
  head_ += out_;
  Emit(sink);
}

// Looks on for the end of the head in what is held; releases it once found or once the
// window is full.
void PieceConverter::Emit(const Sink& sink) {
  const std::string_view text = head_;
  // The head ends where the tag step's own scan ends; the line of its end is released
  // with it, once complete.
  if (const std::optional<std::size_t> p = CharsetHeadEnd(tagDirection_, text)) {
    const std::size_t lineEnd = text.find_first_of("\r\n", *p);
    if (lineEnd != std::string_view::npos &&
        !(text[lineEnd] == '\r' && lineEnd + 1 == text.size())) {
      const bool crlf = text[lineEnd] == '\r' && text[lineEnd + 1] == '\n';
      ReleaseHead(lineEnd + (crlf ? 2 : 1), sink);
      return;
    }
  }
  if (head_.size() >= limits_.headWindow) {
    // No end of head within the window: the step sees its whole lines.
    const std::size_t lastBreak = text.find_last_of("\r\n");
    ReleaseHead(lastBreak == std::string_view::npos ? text.size() : lastBreak + 1, sink);
  }
}

void PieceConverter::ReleaseHead(std::size_t end, const Sink& sink) {
  std::string prefix = head_.substr(0, end);
  AlterCharsetTagText(tagDirection_, prefix);
  sink(prefix);
  if (end < head_.size()) sink(std::string_view(head_).substr(end));
  std::string().swap(head_);
  headDone_ = true;
}

}  // namespace orvela
