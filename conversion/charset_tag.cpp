#include "conversion/charset_tag.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>
#include <vector>

#include "base/ascii_case.h"
#include "base/safe_rewrite.h"
#include "base/whole_file.h"

namespace orvela {

namespace {

// The double-byte encoding the file is in once converted: Big5 for direction 1, GBK else.
enum class Dbcs { kBig5, kGbk };

bool IsLead(unsigned char b) {
  return b >= 0x81 && b <= 0xFE;
}

bool IsTrail(Dbcs dbcs, unsigned char b) {
  if (b >= 0x40 && b <= 0x7E) return true;
  return dbcs == Dbcs::kGbk ? b >= 0x80 && b <= 0xFE : b >= 0xA1 && b <= 0xFE;
}

// 2 when a double-byte character starts at i; a lead byte without a trail stands alone.
// Every byte below 0x40 ('<', '>', quotes, '=', spaces, line breaks) is a character of its
// own: no trail byte is that low.
std::size_t CharLength(std::string_view s, std::size_t i, Dbcs dbcs) {
  return IsLead(s[i]) && i + 1 < s.size() && IsTrail(dbcs, s[i + 1]) ? 2 : 1;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// Whether s at i begins with word (ASCII, any letter case); i is a character boundary.
bool StartsWith(std::string_view s, std::size_t i, std::string_view word) {
  if (s.size() - i < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k)
    if (AsciiLower(s[i + k]) != word[k]) return false;
  return true;
}

// A tag name ends at a space, '>' or '/'.
bool IsTag(std::string_view s, std::size_t i, std::string_view name) {
  if (!StartsWith(s, i, name)) return false;
  const std::size_t after = i + name.size();
  return after == s.size() || IsSpace(s[after]) || s[after] == '>' || s[after] == '/';
}

struct Span {
  std::size_t begin = 0, end = 0;
  bool found = false;
};

struct Attributes {
  Span charset, httpEquiv, content, encoding;
  std::size_t end;  // just after the tag
};

// The attributes of the tag whose name ends at i, up to the tag's closing '>' (a quoted
// value may hold one).
Attributes ParseAttributes(std::string_view s, std::size_t i, Dbcs dbcs) {
  Attributes a;
  const std::size_t n = s.size();
  while (i < n) {
    while (i < n && (IsSpace(s[i]) || s[i] == '/' || s[i] == '?')) ++i;
    if (i >= n || s[i] == '>') break;
    const std::size_t nameBegin = i;
    while (i < n && !IsSpace(s[i]) && s[i] != '=' && s[i] != '>') i += CharLength(s, i, dbcs);
    const std::string_view name = s.substr(nameBegin, i - nameBegin);
    std::size_t j = i;
    while (j < n && IsSpace(s[j])) ++j;
    Span value;
    if (j < n && s[j] == '=') {
      i = j + 1;
      while (i < n && IsSpace(s[i])) ++i;
      if (i < n && (s[i] == '"' || s[i] == '\'')) {
        const char quote = s[i++];
        value.begin = i;
        while (i < n && s[i] != quote) i += CharLength(s, i, dbcs);
        value.end = std::min(i, n);
        if (i < n) ++i;
      } else {
        value.begin = i;
        while (i < n && !IsSpace(s[i]) && s[i] != '>') i += CharLength(s, i, dbcs);
        value.end = std::min(i, n);
      }
      value.found = true;
    }
    auto is = [&](std::string_view word) {
      return name.size() == word.size() && StartsWith(name, 0, word);
    };
    Span* slot = is("charset")      ? &a.charset
                 : is("http-equiv") ? &a.httpEquiv
                 : is("content")    ? &a.content
                 : is("encoding")   ? &a.encoding
                                    : nullptr;
    if (slot && !slot->found) *slot = value;
  }
  a.end = std::min(i + 1, n);
  return a;
}

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == ':';
}

// The charset name inside a content value: "text/html; charset=NAME".
Span CharsetInContent(std::string_view s, Span content, Dbcs dbcs) {
  for (std::size_t i = content.begin; i < content.end; i += CharLength(s, i, dbcs)) {
    if (!StartsWith(s.substr(0, content.end), i, "charset")) continue;
    std::size_t j = i + 7;
    while (j < content.end && IsSpace(s[j])) ++j;
    if (j >= content.end || s[j] != '=') continue;
    ++j;
    while (j < content.end && (IsSpace(s[j]) || s[j] == '"' || s[j] == '\'')) ++j;
    Span name{j, j, true};
    while (name.end < content.end && IsNameChar(s[name.end])) ++name.end;
    return name;
  }
  return {};
}

Span Trimmed(std::string_view s, Span span) {
  while (span.begin < span.end && IsSpace(s[span.begin])) ++span.begin;
  while (span.end > span.begin && IsSpace(s[span.end - 1])) --span.end;
  return span;
}

// The charset name a tag declares, or nothing.
Span DeclaredName(std::string_view s, const Attributes& a, bool xml, Dbcs dbcs) {
  if (xml) return a.encoding.found ? Trimmed(s, a.encoding) : Span{};
  if (a.charset.found) return Trimmed(s, a.charset);
  if (a.httpEquiv.found && a.content.found) {
    const Span equiv = Trimmed(s, a.httpEquiv);
    const std::string_view value = s.substr(equiv.begin, equiv.end - equiv.begin);
    if (value.size() == 12 && StartsWith(value, 0, "content-type"))
      return CharsetInContent(s, a.content, dbcs);
  }
  return {};
}

// Skips past the end marker, or to the end of the text.
std::size_t Past(std::string_view s, std::size_t i, std::string_view marker) {
  for (; i < s.size(); ++i)
    if (StartsWith(s, i, marker)) return i + marker.size();
  return s.size();
}

struct Names {
  std::vector<std::string_view> old;
  std::string_view replacement;
};

Names NamesFor(int direction) {
  static const std::vector<std::string_view> gbk = {"gb2312", "gbk",   "gb18030",
                                                    "x-gbk",  "cp936", "windows-936"};
  static const std::vector<std::string_view> big5 = {"big5", "big5-hkscs", "x-x-big5", "cp950",
                                                     "windows-950"};
  if (direction == 1) return {gbk, "big5"};
  return {big5, direction == 2 ? "GB2312" : "gbk"};
}

}  // namespace

int CharsetTagDirection(ConversionMode mode, bool optionOn) {
  if (!optionOn) return 0;
  switch (mode) {
    case ConversionMode::RbGB2Big5:
    case ConversionMode::RbGBK2Big5:
      return 1;
    case ConversionMode::RbBig52GB:
      return 2;
    case ConversionMode::RbBig52GBK:
      return 3;
    case ConversionMode::RbGB2GBK:
    case ConversionMode::RbGBK2GB:
      break;
  }
  return 0;
}

std::string CollapseSpaces(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (char c : line)
    if (c != ' ' || out.empty() || out.back() != ' ') out += c;
  return out;
}

namespace {
// The head's declarations of the old code page's names, and where the head ends (at the
// '<' of "</head" or "<body"; npos when the text ends first).
struct HeadScan {
  std::vector<Span> found;
  std::size_t end = std::string_view::npos;
};

HeadScan ScanHead(int direction, std::string_view s) {
  const Dbcs dbcs = direction == 1 ? Dbcs::kBig5 : Dbcs::kGbk;
  const Names names = NamesFor(direction);
  // A zero byte ends the text that is looked at.
  s = s.substr(0, std::min(s.find('\0'), s.size()));
  HeadScan scan;
  for (std::size_t i = 0; i < s.size();) {
    // '<' is never part of a double-byte character, so every one found opens markup.
    const void* lt = std::memchr(s.data() + i, '<', s.size() - i);
    if (!lt) break;
    i = static_cast<std::size_t>(static_cast<const char*>(lt) - s.data());
    if (StartsWith(s, i, "<!--")) {
      i = Past(s, i + 4, "-->");
    } else if (IsTag(s, i, "<script") || IsTag(s, i, "<style")) {
      const bool script = IsTag(s, i, "<script");
      i = Past(s, Past(s, i, script ? "</script" : "</style"), ">");
    } else if (IsTag(s, i, "</head") || IsTag(s, i, "<body")) {
      scan.end = i;
      break;
    } else if (IsTag(s, i, "<meta") || IsTag(s, i, "<?xml")) {
      const bool xml = s[i + 1] == '?';
      const Attributes attributes = ParseAttributes(s, i + 5, dbcs);  // after "<meta" or "<?xml"
      const Span name = DeclaredName(s, attributes, xml, dbcs);
      if (name.found && name.end > name.begin) {
        const std::string_view declared = s.substr(name.begin, name.end - name.begin);
        for (std::string_view old : names.old)
          if (declared.size() == old.size() && StartsWith(declared, 0, old))
            scan.found.push_back(name);
      }
      i = attributes.end;
    } else {
      ++i;
    }
  }
  return scan;
}
}  // namespace

bool AlterCharsetTagText(int direction, std::string& text) {
  const HeadScan scan = ScanHead(direction, text);
  const std::string_view replacement = NamesFor(direction).replacement;
  // From the back, so that the earlier offsets stay true.
  for (auto it = scan.found.rbegin(); it != scan.found.rend(); ++it)
    text.replace(it->begin, it->end - it->begin, replacement);
  return !scan.found.empty();
}

std::optional<std::size_t> CharsetHeadEnd(int direction, std::string_view text) {
  const std::size_t end = ScanHead(direction, text).end;
  // The marker's name must be followed by a byte that shows where it ends.
  if (end == std::string_view::npos || text.size() - end < 7) return std::nullopt;
  return end;
}

int AlterCharsetTag(int direction, const std::string& path) {
  if (direction < 1 || direction > 3) return 0;
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
