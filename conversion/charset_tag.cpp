#include "conversion/charset_tag.h"

#include <cstring>
#include <exception>

#include "base/ascii_case.h"
#include "base/safe_rewrite.h"
#include "base/whole_file.h"

namespace orvela {

namespace {

// The double-byte encoding the file is in once converted: Big5 for direction 1, GBK for 2.
enum class Dbcs { kBig5, kGbk };

bool IsLead(unsigned char b) {
  return b >= 0x81 && b <= 0xFE;
}

bool IsTrail(Dbcs dbcs, unsigned char b) {
  if (b >= 0x40 && b <= 0x7E) return true;
  return dbcs == Dbcs::kGbk ? b >= 0x80 && b <= 0xFE : b >= 0xA1 && b <= 0xFE;
}

// 2 when a double-byte character starts at i; a lead byte without a trail stands alone.
std::size_t CharLength(std::string_view s, std::size_t i, Dbcs dbcs) {
  return IsLead(s[i]) && i + 1 < s.size() && IsTrail(dbcs, s[i + 1]) ? 2 : 1;
}

// Upper-cases the ASCII letters and steps over double-byte characters, whose second byte
// may well be a letter.
std::string UpperCase(std::string_view line, Dbcs dbcs) {
  std::string out(line);
  for (std::size_t i = 0; i < out.size();) {
    std::size_t n = CharLength(out, i, dbcs);
    if (n == 1) out[i] = AsciiUpper(out[i]);
    i += n;
  }
  return out;
}

// Where the first occurrence of name (ASCII, any letter case) starts on a character
// boundary of line, or npos.
std::size_t FindName(std::string_view line, std::string_view name, Dbcs dbcs) {
  for (std::size_t i = 0; i + name.size() <= line.size(); i += CharLength(line, i, dbcs)) {
    std::size_t k = 0;
    while (k < name.size() && AsciiUpper(line[i + k]) == name[k]) ++k;
    if (k == name.size()) return i;
  }
  return std::string_view::npos;
}

constexpr std::string_view kQuotedMarker = "<META HTTP-EQUIV=\"CONTENT-TYPE\" CONTENT=";
constexpr std::string_view kUnquotedMarker = "<META HTTP-EQUIV=CONTENT-TYPE CONTENT=";
constexpr std::string_view kHeadEnd = "</HEAD>";
constexpr std::string_view kBodyStart = "<BODY>";

bool IsBreak(char c) {
  return c == '\r' || c == '\n';
}

}  // namespace

int CharsetTagDirection(ConversionMode mode, bool optionOn) {
  if (!optionOn) return 0;
  if (mode == ConversionMode::RbGB2Big5) return 1;
  if (mode == ConversionMode::RbBig52GB) return 2;
  return 0;
}

std::string CollapseSpaces(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (char c : line)
    if (c != ' ' || out.empty() || out.back() != ' ') out += c;
  return out;
}

bool AlterCharsetTagText(int direction, std::string& text) {
  const Dbcs dbcs = direction == 1 ? Dbcs::kBig5 : Dbcs::kGbk;
  const std::string_view name = direction == 1 ? "GB2312" : "BIG5";
  const std::string_view replacement = direction == 1 ? "big5" : "GB2312";

  // Lines end at CR LF, CR or LF; a zero byte ends the text that is looked at.
  std::size_t end = std::min(text.find('\0'), text.size());
  std::size_t pos = 0;
  while (pos < end && !IsBreak(text[pos])) ++pos;  // the first line is never examined
  if (pos < end && text[pos] == '\r' && pos + 1 < end && text[pos + 1] == '\n') ++pos;

  bool changed = false;
  while (pos < end) {
    // Every marker begins with '<', which is never part of a double-byte character, so a
    // line without one can neither be a META line nor stop the scan.
    const char* lt = static_cast<const char*>(std::memchr(text.data() + pos, '<', end - pos));
    if (!lt) break;
    std::size_t at = static_cast<std::size_t>(lt - text.data());
    std::size_t lineStart = at;
    while (lineStart > pos && !IsBreak(text[lineStart - 1])) --lineStart;
    std::size_t lineEnd = at;
    while (lineEnd < end && !IsBreak(text[lineEnd])) ++lineEnd;

    std::string_view line(text.data() + lineStart, lineEnd - lineStart);
    const std::string normalised = CollapseSpaces(UpperCase(line, dbcs));
    const bool stop = normalised.find(kHeadEnd) != std::string::npos ||
                      normalised.find(kBodyStart) != std::string::npos;
    if (normalised.find(kQuotedMarker) != std::string::npos ||
        normalised.find(kUnquotedMarker) != std::string::npos) {
      std::size_t hit = FindName(line, name, dbcs);
      if (hit != std::string_view::npos) {
        text.replace(lineStart + hit, name.size(), replacement);
        const std::size_t grown = replacement.size() - name.size();  // wraps when shorter
        lineEnd += grown;
        end += grown;
        changed = true;
      }
    }
    if (stop) break;
    pos = lineEnd;
  }
  return changed;
}

int AlterCharsetTag(int direction, const std::string& path) {
  if (direction != 1 && direction != 2) return 0;
  try {
    WholeFile file = ReadWholeFile(path);
    if (!file.bytes) return 0;
    if (AlterCharsetTagText(direction, *file.bytes)) SafeRewrite(file.at, *file.bytes, path);
    return 1;
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace orvela
