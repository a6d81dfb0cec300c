// The four encoding transforms against their peers, on the same text in the same
// process: glibc iconv and ICU for the code pages, OpenCC as UTF-8 for the mapping
// (its character dictionaries alone for the character-for-character tables, its
// s2tw and tw2s configurations for the phrase-aware ones). Each rate is the best of a few rounds,
// in MB (10^6 bytes) of the converter's own input per second of this thread's CPU
// time (the machine may be busy with other work). Every converter writes into a
// buffer that it keeps from round to round.
#include <iconv.h>
#include <stdlib.h>
#include <unicode/ucnv.h>
#include <opencc/SimpleConverter.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/corpus.h"
#include "bench/registry.h"
#include "conversion/transforms.h"

namespace orvela::bench {
namespace {

constexpr std::size_t kCorpusBytes = 32u << 20;

double ThreadSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

// Best rate over `rounds` runs of `convert`, which converts `bytes` bytes.
double Rate(std::size_t bytes, int rounds, const std::function<void()>& convert) {
  double best = 0;
  for (int i = 0; i < rounds; ++i) {
    double start = ThreadSeconds();
    convert();
    best = std::max(best, bytes / 1e6 / (ThreadSeconds() - start));
  }
  return best;
}

// glibc iconv into a buffer sized beforehand; an unmappable or malformed character
// becomes "?" and the conversion goes on after it.
double IconvRate(const char* to, const char* from, const std::string& text) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  std::string out(text.size() * 2 + 16, '\0');
  double rate = Rate(text.size(), 5, [&] {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(text.data());
    std::size_t left = text.size();
    char* dst = out.data();
    std::size_t room = out.size();
    while (left > 0) {
      if (iconv(cd, &src, &left, &dst, &room) != static_cast<std::size_t>(-1)) break;
      if (errno != EILSEQ && errno != EINVAL) break;
      std::size_t skip = static_cast<unsigned char>(*src) >= 0x81 && left >= 2 ? 2 : 1;
      src += skip;
      left -= skip;
      *dst++ = '?';
      --room;
    }
  });
  iconv_close(cd);
  return rate;
}

// ICU converting through UTF-16, encoder with Windows' best-fit fallbacks.
double IcuRate(const char* to, const char* from, const std::string& text) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* source = ucnv_open(from, &status);
  UConverter* target = ucnv_open(to, &status);
  if (U_FAILURE(status)) return 0;
  ucnv_setFallback(target, true);
  std::string out(text.size() * 2 + 16, '\0');
  std::vector<UChar> pivot(1 << 16);
  double rate = Rate(text.size(), 5, [&] {
    UErrorCode error = U_ZERO_ERROR;
    char* dst = out.data();
    const char* src = text.data();
    UChar* pivotSource = pivot.data();
    UChar* pivotTarget = pivot.data();
    ucnv_convertEx(target, source, &dst, out.data() + out.size(), &src, text.data() + text.size(),
                   pivot.data(), &pivotSource, &pivotTarget, pivot.data() + pivot.size(), true,
                   true, &error);
  });
  ucnv_close(source);
  ucnv_close(target);
  return rate;
}

double ConfigRate(const std::string& config, const std::string& utf8) {
  opencc::SimpleConverter converter(config);
  return Rate(utf8.size(), 3, [&] { converter.Convert(utf8); });
}

// OpenCC with one character dictionary as both segmentation and conversion.
double OpenccRate(const char* dictionary, const std::string& utf8) {
  char pattern[] = "/tmp/orvela-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 0;
  std::filesystem::path dir = pattern;
  std::string file = std::string(dictionary) + ".ocd2";
  std::filesystem::create_symlink("/usr/share/opencc/" + file, dir / file);
  std::ofstream(dir / "chars.json")
      << R"({"name": "characters only", "segmentation": {"type": "mmseg", "dict": {"type": "ocd2", "file": ")"
      << file << R"("}}, "conversion_chain": [{"dict": {"type": "ocd2", "file": ")" << file
      << R"("}}]})";
  const double rate = ConfigRate((dir / "chars.json").string(), utf8);
  std::filesystem::remove_all(dir);
  return rate;
}

using Transform = void (*)(std::string_view, std::string&);

double OrvelaRate(Transform transform, const std::string& text) {
  std::string out;
  transform(text, out);  // tables are built at first use, not timed
  return Rate(text.size(), 7, [&] {
    out.clear();
    transform(text, out);
  });
}

void CodePageLine(const char* name, Transform transform, const std::string& text,
                  const char* iconvTo, const char* iconvFrom, const char* icuTo,
                  const char* icuFrom) {
  double orvela = OrvelaRate(transform, text);
  double iconvRate = IconvRate(iconvTo, iconvFrom, text);
  double icu = IcuRate(icuTo, icuFrom, text);
  std::printf("%s orvela=%.0f iconv=%.0f icu=%.0f ratio=%.1f\n", name, orvela, iconvRate, icu,
              orvela / std::max(iconvRate, icu));
}

void MappingLine(const char* name, Transform transform, const std::string& text,
                 const char* dictionary) {
  double orvela = OrvelaRate(transform, text);
  double opencc = OpenccRate(dictionary, ToUtf8("windows-936-2000", text));
  std::printf("%s orvela=%.0f opencc=%.1f ratio=%.0f\n", name, orvela, opencc, orvela / opencc);
}

// The phrase tables' first use (OpenCC's dictionaries loaded and compiled), timed
// before anything else has built a table; then the rates.
void PhraseLine(const char* name, Transform transform, const std::string& text,
                const char* config) {
  std::string none;
  double start = ThreadSeconds();
  transform("", none);
  const double buildMs = (ThreadSeconds() - start) * 1e3;
  double orvela = OrvelaRate(transform, text);
  double opencc =
      ConfigRate(std::string("/usr/share/opencc/") + config, ToUtf8("windows-936-2000", text));
  std::printf("%s orvela=%.0f opencc=%.1f ratio=%.0f build_ms=%.0f\n", name, orvela, opencc,
              orvela / opencc, buildMs);
}

const Register kGbk2Big5("gbk2big5", 10, [] {
  CodePageLine("gbk2big5", AppendGBK2Big5, TraditionalGbkCorpus(kCorpusBytes), "CP950", "CP936",
               "windows-950-2000", "windows-936-2000");
});
const Register kBig52Gbk("big52gbk", 11, [] {
  CodePageLine("big52gbk", AppendBig52GBK, Big5Corpus(kCorpusBytes), "CP936", "CP950",
               "windows-936-2000", "windows-950-2000");
});
const Register kSc2TcPhrase("sc2tc-phrase", 8, [] {
  PhraseLine("sc2tc-phrase", AppendSc2Tc, GbkCorpus(kCorpusBytes), "s2tw.json");
});
const Register kTc2ScPhrase("tc2sc-phrase", 9, [] {
  PhraseLine("tc2sc-phrase", AppendTc2Sc, TraditionalGbkCorpus(kCorpusBytes), "tw2s.json");
});
const Register kSc2Tc("sc2tc", 12, [] {
  MappingLine("sc2tc", AppendSc2TcByChar, GbkCorpus(kCorpusBytes), "STCharacters");
});
const Register kTc2Sc("tc2sc", 13, [] {
  MappingLine("tc2sc", AppendTc2ScByChar, TraditionalGbkCorpus(kCorpusBytes), "TSCharacters");
});

}  // namespace
}  // namespace orvela::bench
