// Shared helpers for the run and charset tag tests: fixtures in GBK and Big5, over the
// temporary folders and files of tests/support.
#pragma once

#include <unicode/ucnv.h>

#include <stdexcept>
#include <string>

#include "tests/support/temp_files.h"

namespace orvela::testing {

inline std::string Encode(const char* codepage, const std::string& utf8) {
  UErrorCode status = U_ZERO_ERROR;
  std::string out(utf8.size() * 2 + 16, '\0');
  int32_t n = ucnv_convert(codepage, "UTF-8", out.data(), static_cast<int32_t>(out.size()),
                           utf8.data(), static_cast<int32_t>(utf8.size()), &status);
  if (U_FAILURE(status)) throw std::runtime_error("cannot encode a fixture");
  out.resize(static_cast<std::size_t>(n));
  return out;
}
inline std::string Gbk(const std::string& utf8) {
  return Encode("windows-936-2000", utf8);
}
inline std::string Big5(const std::string& utf8) {
  return Encode("windows-950-2000", utf8);
}

}  // namespace orvela::testing
