#include "bench/corpus.h"

#include <unicode/ucnv.h>
#include <opencc/SimpleConverter.hpp>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace orvela::bench {

namespace {
std::string ReadWhole(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(std::string("cannot read ") + path);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string Convert(const char* to, const char* from, const std::string& text) {
  UErrorCode status = U_ZERO_ERROR;
  std::string out(text.size() * 3 + 16, '\0');
  int32_t n = ucnv_convert(to, from, out.data(), static_cast<int32_t>(out.size()), text.data(),
                           static_cast<int32_t>(text.size()), &status);
  if (U_FAILURE(status)) throw std::runtime_error("cannot convert the corpus");
  out.resize(n);
  return out;
}

const std::string& Utf8Texts() {
  static const std::string utf8 = [] {
    std::string all;
    for (const char* name : {"chinese", "tang300", "song100"})
      all += ReadWhole((std::string("/usr/share/games/fortunes/") + name).c_str());
    return all;
  }();
  return utf8;
}

const std::string& TraditionalUtf8Texts() {
  static const std::string utf8 =
      opencc::SimpleConverter("/usr/share/opencc/s2t.json").Convert(Utf8Texts());
  return utf8;
}

std::string Repeat(const std::string& base, std::size_t minBytes) {
  std::string text;
  text.reserve(minBytes + base.size());
  while (text.size() < minBytes) text += base;
  return text;
}
}  // namespace

std::string GbkCorpus(std::size_t minBytes) {
  static const std::string base = Convert("windows-936-2000", "UTF-8", Utf8Texts());
  return Repeat(base, minBytes);
}

std::string TraditionalGbkCorpus(std::size_t minBytes) {
  static const std::string base = Convert("windows-936-2000", "UTF-8", TraditionalUtf8Texts());
  return Repeat(base, minBytes);
}

std::string Big5Corpus(std::size_t minBytes) {
  static const std::string base = Convert("windows-950-2000", "UTF-8", TraditionalUtf8Texts());
  return Repeat(base, minBytes);
}

std::string ToUtf8(const char* codepage, const std::string& text) {
  return Convert("UTF-8", codepage, text);
}

}  // namespace orvela::bench
