// Test text in the code pages, written as UTF-8 in the sources and encoded exactly
// (no best-fit) by ICU, so a fixture cannot silently hold a substitute.
#pragma once

#include <unicode/ucnv.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace orvela::testing {

inline std::string Encode(const char* codepage, std::string_view utf8) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* from = ucnv_open("UTF-8", &status);
  UConverter* to = ucnv_open(codepage, &status);
  ucnv_setFromUCallBack(to, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  std::string out(utf8.size() * 2 + 8, '\0');
  char* target = out.data();
  const char* source = utf8.data();
  ucnv_convertEx(to, from, &target, out.data() + out.size(), &source, utf8.data() + utf8.size(),
                 nullptr, nullptr, nullptr, nullptr, true, true, &status);
  ucnv_close(from);
  ucnv_close(to);
  if (U_FAILURE(status)) throw std::runtime_error("fixture not encodable: " + std::string(utf8));
  out.resize(target - out.data());
  return out;
}

inline std::string Decode(const char* codepage, std::string_view bytes) {
  UErrorCode status = U_ZERO_ERROR;
  std::string out(bytes.size() * 3 + 8, '\0');
  int32_t n = ucnv_convert("UTF-8", codepage, out.data(), static_cast<int32_t>(out.size()),
                           bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) throw std::runtime_error("cannot decode");
  out.resize(n);
  return out;
}

inline std::string Gbk(std::string_view utf8) {
  return Encode("windows-936-2000", utf8);
}
inline std::string Big5(std::string_view utf8) {
  return Encode("windows-950-2000", utf8);
}

}  // namespace orvela::testing
