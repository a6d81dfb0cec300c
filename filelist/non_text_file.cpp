#include "filelist/non_text_file.h"

#include <langinfo.h>

#include <array>
#include <string>

#include "base/ascii_case.h"

namespace orvela {

namespace {

constexpr std::array<std::string_view, 15> kRefusedEndings = {"exe", "dll", "pif", "gif", "jpg",
                                                              "bmp", "doc", "xls", "avi", "rar",
                                                              "zip", "lnk", "flv", "ppt", "swf"};

bool IsLead(unsigned char byte) {
  return byte >= 0x81 && byte <= 0xFE;
}

// Whether a character begins at byte offset `at`, reading the name from its start.
bool BeginsCharacter(std::string_view name, std::size_t at, NameEncoding encoding) {
  switch (encoding) {
    case NameEncoding::SingleByte:
      return true;
    case NameEncoding::Utf8: {
      unsigned char byte = static_cast<unsigned char>(name[at]);
      return byte < 0x80 || byte > 0xBF;
    }
    case NameEncoding::DoubleByte: {
      std::size_t i = 0;
      while (i < at) {
        if (!IsLead(static_cast<unsigned char>(name[i]))) {
          ++i;
        } else if (i + 1 < name.size() && name[i + 1] >= '0' && name[i + 1] <= '9') {
          i += 4;  // GB18030 four-byte sequence
        } else {
          i += 2;
        }
      }
      return i == at;
    }
  }
  return true;
}

}  // namespace

NameEncoding LocaleNameEncoding() {
  std::string codeset = nl_langinfo(CODESET);
  for (char& c : codeset) c = AsciiUpper(c);
  if (codeset == "UTF-8" || codeset == "UTF8") return NameEncoding::Utf8;
  if (codeset.starts_with("GB") || codeset.starts_with("BIG5") || codeset == "CP936" ||
      codeset == "CP950")
    return NameEncoding::DoubleByte;
  return NameEncoding::SingleByte;
}

bool IsNonTextFile(std::string_view name, NameEncoding encoding) {
  if (name.size() < 3) return false;
  const std::size_t start = name.size() - 3;
  const std::string_view last = name.substr(start);
  for (std::string_view ending : kRefusedEndings)
    if (EqualIgnoringAsciiCase(last, ending) && BeginsCharacter(name, start, encoding)) return true;
  return false;
}

bool IsNonTextFile(std::string_view name) {
  return IsNonTextFile(name, LocaleNameEncoding());
}

}  // namespace orvela
