// One Windows code page through ICU, a character at a time. Used only to build the
// conversion tables; the transforms themselves never call ICU.
#pragma once

#include <unicode/ucnv.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orvela {

inline constexpr const char* kCp936 = "windows-936-2000";
inline constexpr const char* kCp950 = "windows-950-2000";

struct DecodedUnit {
  enum Kind {
    kChar,      // the bytes are one character, cp
    kLead,      // a single byte that opens a pair
    kNotTrail,  // the second byte cannot follow the first; it starts anew
    kInvalid,   // no character: one "?"
  } kind;
  char32_t cp = 0;
};

class IcuCodePage {
 public:
  explicit IcuCodePage(const char* name);

  // bytes is one byte, or a lead byte and the byte after it.
  DecodedUnit Decode(std::string_view bytes);
  // The character's bytes; with fallback, Windows' best-fit form is accepted too.
  // nullopt when the code page lacks it.
  std::optional<std::string> Encode(char32_t cp, bool fallback);

 private:
  struct Closer {
    void operator()(UConverter* c) const { ucnv_close(c); }
  };
  std::unique_ptr<UConverter, Closer> decoder_, encoder_;
};

}  // namespace orvela
