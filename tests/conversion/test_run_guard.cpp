// The run with the encoding check: real text in each mode's source code page is
// converted as before; what is not is left alone, untouched, with its reason, and
// converted only when the check is off.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <opencc/SimpleConverter.hpp>

#include <string>
#include <vector>

#include "conversion/encoding_guard.h"
#include "conversion/run.h"
#include "tests/conversion/fortunes.h"
#include "tests/conversion/test_run_support.h"

namespace orvela {
namespace {

using testing::ReadFile;
using testing::Stat;
using testing::WriteFile;

// A line, a paragraph (a whole fortune) and a page of real text, as UTF-8.
std::vector<std::string> Lengths() {
  const std::vector<std::string> fortunes = testing::Fortunes();
  std::string page;
  for (std::size_t i = 0; page.size() < 4000; ++i) page += fortunes[i];
  const std::string& paragraph = fortunes[3];
  return {paragraph.substr(0, paragraph.find('\n') + 1), paragraph, page};
}

struct Texts {
  std::string simplified, traditional, taiwan;  // UTF-8
};

Texts Sample(const std::string& simplified) {
  static opencc::SimpleConverter s2t("/usr/share/opencc/s2t.json");
  static opencc::SimpleConverter s2tw("/usr/share/opencc/s2tw.json");
  return {simplified, s2t.Convert(simplified), s2tw.Convert(simplified)};
}

// The texts of one mode's source code page, and texts that must be refused there.
std::vector<std::string> Fitting(ConversionMode mode, const Texts& t) {
  if (SourceEncodingOf(mode) == SourceEncoding::kBig5) return {testing::Big5(t.taiwan)};
  return {testing::Gbk(t.simplified), testing::Gbk(t.traditional)};
}

std::vector<std::pair<const char*, std::string>> Refused(ConversionMode mode, const Texts& t) {
  std::string random;
  unsigned seed = 11;
  while (random.size() < 2000) {
    seed = seed * 1103515245 + 12345;
    random += static_cast<char>(1 + (seed >> 16) % 255);
  }
  std::string utf16le = "\xFF\xFE", utf16be = "\xFE\xFF";
  for (char c : std::string("text")) {
    utf16le += std::string{c, '\0'};
    utf16be += std::string{'\0', c};
  }
  const bool big5 = SourceEncodingOf(mode) == SourceEncoding::kBig5;
  return {
      {"utf-8", t.simplified},
      {"utf-8 with bom", "\xEF\xBB\xBF" + t.traditional},
      {"utf-16le", utf16le},
      {"utf-16be", utf16be},
      {"random bytes", random},
      {"other code page", big5 ? testing::Gbk(t.simplified) : testing::Big5(t.taiwan)},
      // A file that gb2big5 (or big52gb) converted already, given again.
      {"converted once", big5 ? ApplyMode(ConversionMode::RbBig52GB, testing::Big5(t.taiwan))
                              : ApplyMode(ConversionMode::RbGB2Big5, testing::Gbk(t.simplified))},
  };
}

TEST(RunGuard, RealTextPassesAndTheRestIsLeftAloneUntilTheCheckIsOff) {
  testing::TempDir dir;
  const std::vector<std::string> lengths = Lengths();
  // Only the page is long enough to tell the other code page with confidence.
  const Texts page = Sample(lengths.back());
  for (ConversionMode mode : kAllModes) {
    for (const std::string& length : lengths)
      for (const std::string& text : Fitting(mode, Sample(length))) {
        const std::string path = dir / "fits.txt";
        WriteFile(path, text);
        const RunReport report = RunConversion({path}, mode, {});
        EXPECT_TRUE(report.leftAlone.empty())
            << ModeName(mode) << ": " << report.leftAlone[0].reason;
        EXPECT_EQ(ReadFile(path), ApplyMode(mode, text)) << ModeName(mode);
      }
    for (const auto& [name, text] : Refused(mode, page)) {
      const std::string path = dir / "refused.txt";
      WriteFile(path, text);
      const struct stat before = Stat(path);
      const RunReport report = RunConversion({path}, mode, {});
      ASSERT_EQ(report.leftAlone.size(), 1u) << ModeName(mode) << ", " << name;
      EXPECT_EQ(report.leftAlone[0].reason, EncodingProblem(text, SourceEncodingOf(mode)));
      const struct stat after = Stat(path);
      EXPECT_EQ(ReadFile(path), text) << ModeName(mode) << ", " << name;
      EXPECT_EQ(after.st_ino, before.st_ino);
      EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
      EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
      // Without the check it is converted like any other text (zero bytes aside).
      const RunReport forced = RunConversion({path}, mode, {.checkEncoding = false});
      if (text.find('\0') == std::string::npos) {
        EXPECT_TRUE(forced.leftAlone.empty()) << ModeName(mode) << ", " << name;
        EXPECT_EQ(ReadFile(path), ApplyMode(mode, text)) << ModeName(mode) << ", " << name;
      }
    }
  }
}

}  // namespace
}  // namespace orvela
