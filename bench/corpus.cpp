#include "bench/corpus.h"

#include <unicode/ucnv.h>

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

std::string Utf8ToGbk(const std::string& utf8) {
  UErrorCode status = U_ZERO_ERROR;
  std::string out(utf8.size() * 2 + 16, '\0');
  int32_t n = ucnv_convert("windows-936-2000", "UTF-8", out.data(),
                           static_cast<int32_t>(out.size()), utf8.data(),
                           static_cast<int32_t>(utf8.size()), &status);
  if (U_FAILURE(status)) throw std::runtime_error("cannot encode the corpus");
  out.resize(n);
  return out;
}
}  // namespace

std::string GbkCorpus(std::size_t minBytes) {
  static const std::string base = [] {
    std::string utf8;
    for (const char* name : {"chinese", "tang300", "song100"})
      utf8 += ReadWhole((std::string("/usr/share/games/fortunes/") + name).c_str());
    return Utf8ToGbk(utf8);
  }();
  std::string text;
  text.reserve(minBytes + base.size());
  while (text.size() < minBytes) text += base;
  return text;
}

}  // namespace orvela::bench
