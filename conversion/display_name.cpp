#include "conversion/display_name.h"

#include <unicode/utf8.h>

#include <optional>

#include "conversion/codepage_chars.h"
#include "conversion/encoding_guard.h"

namespace orvela {

namespace {
void AppendUtf8(char32_t c, std::string& out) {
  char bytes[4];
  int32_t length = 0;
  U8_APPEND_UNSAFE(bytes, length, static_cast<UChar32>(c));
  out.append(bytes, static_cast<std::size_t>(length));
}

std::optional<std::string> Decoded(std::string_view bytes, const CodePageChars& chars) {
  std::string out;
  auto p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned a = p[i], b = i + 1 < bytes.size() ? p[i + 1] : 0;
    const char32_t c = chars.decode[TwoBytes(a, b)];
    if (c == kNoChar) return std::nullopt;
    AppendUtf8(c, out);
    i += chars.UnitLength(a, b);
  }
  return out;
}
}  // namespace

std::string DisplayName(std::string_view bytes) {
  std::string escaped;
  bool valid = true;
  const auto length = static_cast<int32_t>(bytes.size());
  for (int32_t i = 0; i < length;) {
    const int32_t start = i;
    UChar32 c;
    U8_NEXT(bytes.data(), i, length, c);
    if (c >= 0) {
      escaped.append(bytes.substr(start, i - start));
      continue;
    }
    valid = false;
    // One byte at a time, so that what follows a stray byte still decodes.
    static const char kHex[] = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(bytes[start]);
    escaped += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    i = start + 1;
  }
  if (valid) return escaped;
  // Big5 bytes nearly always decode as GBK too: the reading with more common
  // characters wins, GBK on a tie.
  std::optional<std::string> gbk = Decoded(bytes, Cp936Chars());
  std::optional<std::string> big5 = Decoded(bytes, Cp950Chars());
  if (gbk && big5) {
    auto ratio = [&](SourceEncoding reading) {
      const HanziScore score = ScoreHanzi(bytes, reading);
      return score.hanzi ? static_cast<double>(score.common) / score.hanzi : 0.0;
    };
    return ratio(SourceEncoding::kBig5) > ratio(SourceEncoding::kGbk) ? *big5 : *gbk;
  }
  if (gbk) return *gbk;
  if (big5) return *big5;
  return escaped;
}

}  // namespace orvela
