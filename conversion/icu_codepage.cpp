#include "conversion/icu_codepage.h"

#include <unicode/utf16.h>

#include "base/error.h"

namespace orvela {

namespace {
UConverter* OpenStrict(const char* name) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* cnv = ucnv_open(name, &status);
  if (U_FAILURE(status)) throw Error(std::string("ICU lacks the converter ") + name);
  // Stop on every unmappable or malformed sequence: the tables decide what it becomes.
  ucnv_setToUCallBack(cnv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFromUCallBack(cnv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  return cnv;
}
}  // namespace

IcuCodePage::IcuCodePage(const char* name)
    : decoder_(OpenStrict(name)), encoder_(OpenStrict(name)) {}

DecodedUnit IcuCodePage::Decode(std::string_view bytes) {
  UErrorCode status = U_ZERO_ERROR;
  UChar units[4];
  ucnv_reset(decoder_.get());
  int32_t n = ucnv_toUChars(decoder_.get(), units, 4, bytes.data(),
                            static_cast<int32_t>(bytes.size()), &status);
  if (status == U_TRUNCATED_CHAR_FOUND) return {DecodedUnit::kLead};
  if (U_FAILURE(status)) {
    char invalid[8];
    int8_t length = sizeof invalid;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidChars(decoder_.get(), invalid, &length, &ignored);
    bool secondStartsAnew = bytes.size() == 2 && length == 1;
    return {secondStartsAnew ? DecodedUnit::kNotTrail : DecodedUnit::kInvalid};
  }
  if (n == 1) return {DecodedUnit::kChar, units[0]};
  if (n == 2 && U16_IS_LEAD(units[0]))
    return {DecodedUnit::kChar, U16_GET_SUPPLEMENTARY(units[0], units[1])};
  return {DecodedUnit::kInvalid};
}

std::optional<std::string> IcuCodePage::Encode(char32_t cp, bool fallback) {
  UErrorCode status = U_ZERO_ERROR;
  UChar units[2];
  int32_t length = 0;
  U16_APPEND_UNSAFE(units, length, static_cast<UChar32>(cp));
  char bytes[8];
  ucnv_reset(encoder_.get());
  ucnv_setFallback(encoder_.get(), fallback);
  int32_t n = ucnv_fromUChars(encoder_.get(), bytes, sizeof bytes, units, length, &status);
  if (U_FAILURE(status) || n == 0) return std::nullopt;
  return std::string(bytes, n);
}

}  // namespace orvela
