// Converting in pieces gives the bytes that converting whole gives, wherever the pieces are
// cut: inside characters, phrases and the META line; and the run in pieces keeps the check,
// the unchanged-file rule and the original on a failure.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/safe_rewrite.h"
#include "conversion/charset_tag.h"
#include "conversion/encoding_guard.h"
#include "conversion/piece_converter.h"
#include "conversion/run.h"
#include "test_run_support.h"

namespace orvela {
namespace {

using testing::Big5;
using testing::Gbk;
using testing::ReadFile;
using testing::WriteFile;

// A page whose head is several lines long (a comment in it names the end of the head),
// phrases whose characters depend on their neighbours, a long stretch without a byte
// below 0x40, and a META line after the head.
const std::string kPageHead =
    "<html><head>\r\n"
    "<title>头发很长</title><!-- </head> -->\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\r\n"
    "</head>\r\n<body>\r\n";
const std::string kSimplifiedBody =
    "我们的关系很复杂，他在公里外面吃面条。以后晒干头发。\n"
    "一只鸡的钟表和手表，签名标签，台风台湾，复杂的复习答复，松紧松树，收获尽管日历北斗斗争。\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\n";
const std::string kTraditionalBody =
    "我們的關係很複雜，他在公里外面吃麵條。以後曬乾頭髮。\n"
    "一隻雞的鐘錶和手錶，簽名標籤，颱風臺灣，複雜的複習答覆，鬆緊松樹，收穫儘管日曆北斗鬥爭。\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">\n";

// The text each mode reads, with a lone lead byte before a line break and one at the end.
std::string Source(ConversionMode mode) {
  switch (mode) {
    case ConversionMode::RbGB2GBK:
    case ConversionMode::RbGB2Big5:
      return Gbk(kPageHead + kSimplifiedBody) + "\x81\nx\x81";
    case ConversionMode::RbGBK2GB:
    case ConversionMode::RbGBK2Big5:
      return Gbk(kPageHead + kTraditionalBody) + "\x81\nx\x81";
    case ConversionMode::RbBig52GB:
    case ConversionMode::RbBig52GBK:
      return Big5(kPageHead + kTraditionalBody) + "\xA4\nx\xA4";
  }
  return {};
}

std::string Whole(ConversionMode mode, const std::string& text, CharMapping mapping, bool tag) {
  std::string out = ApplyMode(mode, text, mapping);
  if (int direction = CharsetTagDirection(mode, tag)) AlterCharsetTagText(direction, out);
  return out;
}

std::string InPieces(ConversionMode mode, const std::vector<std::string_view>& parts,
                     CharMapping mapping, bool tag, PieceLimits limits) {
  std::string out;
  PieceConverter converter(mode, mapping, CharsetTagDirection(mode, tag), limits);
  auto sink = [&](std::string_view piece) { out += piece; };
  for (std::string_view part : parts) converter.Push(part, sink);
  converter.Finish(sink);
  return out;
}

struct Variant {
  CharMapping mapping;
  bool tag;
};
const Variant kVariants[] = {{CharMapping::kPhrases, true},
                             {CharMapping::kPhrases, false},
                             {CharMapping::kByCharacter, true},
                             {CharMapping::kByCharacter, false}};

// Every piece size puts the first cut at every offset, inside a character, a phrase and the
// META line; the head is longer than most pieces.
TEST(PieceConverter, EveryPieceSizeGivesTheWholeTextsBytes) {
  for (ConversionMode mode : kAllModes)
    for (const Variant& v : kVariants) {
      const std::string text = Source(mode);
      const std::string whole = Whole(mode, text, v.mapping, v.tag);
      ASSERT_NE(whole, text) << ModeName(mode);
      for (std::size_t size = 1; size <= text.size() + 1; ++size)
        ASSERT_EQ(InPieces(mode, {text}, v.mapping, v.tag, {.pieceSize = size}), whole)
            << ModeName(mode) << " phrases " << (v.mapping == CharMapping::kPhrases) << " tag "
            << v.tag << " piece size " << size;
    }
}

// The text handed over in parts of every length, however they fall against the pieces.
TEST(PieceConverter, TextHandedOverInPartsGivesTheWholeTextsBytes) {
  for (ConversionMode mode : kAllModes)
    for (const Variant& v : kVariants) {
      const std::string text = Source(mode);
      const std::string whole = Whole(mode, text, v.mapping, v.tag);
      const std::string_view all = text;
      for (std::size_t at = 0; at <= text.size(); ++at)
        for (std::size_t size : {std::size_t{5}, std::size_t{64}})
          ASSERT_EQ(InPieces(mode, {all.substr(0, at), all.substr(at)}, v.mapping, v.tag,
                             {.pieceSize = size}),
                    whole)
              << ModeName(mode) << " split at " << at << " piece size " << size;
    }
}

// A text that never ends its head has its charset declaration looked for only within the
// window; one after it stays as it is.
TEST(PieceConverter, WithoutAnEndOfHeadOnlyTheWindowIsLookedAt) {
  const std::string meta =
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\n";
  std::string filler;
  for (int i = 0; i < 20; ++i) filler += Gbk("一行简体中文。\n");
  const std::string text = Gbk("第一行\n") + meta + filler + meta;
  const std::string out = InPieces(ConversionMode::RbGB2Big5, {text}, CharMapping::kPhrases, true,
                                   {.pieceSize = 16, .headWindow = 256});
  const std::string changed =
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">\n";
  EXPECT_EQ(out.substr(0, Big5("第一行\n").size() + changed.size()), Big5("第一行\n") + changed);
  EXPECT_EQ(out.substr(out.size() - meta.size()), meta);
}

class RunPiecesTest : public ::testing::Test {
 protected:
  void TearDown() override { FailWritesAfterForTesting(std::nullopt); }
  // The file, and a second name for it when the rewrite is to be in place.
  std::string Lay(const std::string& bytes, bool inPlace) {
    const std::string path = dir / "file.htm";
    ::unlink(path.c_str());
    ::unlink((dir / "link.htm").c_str());
    WriteFile(path, bytes);
    if (inPlace) {
      EXPECT_EQ(::link(path.c_str(), (dir / "link.htm").c_str()), 0);
    }
    return path;
  }
  testing::TempDir dir;
};

std::string Repeat(const std::string& s, int n) {
  std::string out;
  while (n-- > 0) out += s;
  return out;
}

TEST_F(RunPiecesTest, AFileLargerThanAPieceInEveryModeAsWhole) {
  for (bool inPlace : {false, true})
    for (ConversionMode mode : kAllModes)
      for (const Variant& v : kVariants) {
        const std::string text = Repeat(Source(mode).substr(0, Source(mode).size() - 4), 6);
        const std::string path = Lay(text, inPlace);
        const RunReport report = RunConversion(
            {path}, mode,
            {.alterCharsetTag = v.tag, .mapping = v.mapping, .pieces = {.pieceSize = 64}});
        EXPECT_TRUE(report.leftAlone.empty()) << CompletionMessage(report);
        EXPECT_EQ(ReadFile(path), Whole(mode, text, v.mapping, v.tag))
            << ModeName(mode) << (inPlace ? " in place" : "");
        EXPECT_EQ(testing::CountEntries(dir.path()), inPlace ? 2u : 1u);
      }
}

// Evidence against the file in its last piece: the old text stays, and nothing is left beside it.
TEST_F(RunPiecesTest, TheCheckAndTheZeroByteRuleSeeTheWholeFileBeforeAnythingIsReplaced) {
  const std::string good = Repeat(Gbk("简体中文编码转换。\n"), 40);
  struct Case {
    const char* what;
    std::string text;
    std::string reason;
  } cases[] = {
      {"invalid at the end", good + "\x81\x7F\n",
       *EncodingProblem(good + "\x81\x7F\n", SourceEncoding::kGbk)},
      {"zero byte at the end", good + std::string(1, '\0'), "含有零字节，不是文本文件"},
  };
  for (const Case& c : cases)
    for (bool inPlace : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (inPlace ? " in place" : ""));
      const std::string path = Lay(c.text, inPlace);
      const struct stat before = testing::Stat(path);
      const RunReport report =
          RunConversion({path}, ConversionMode::RbGB2Big5, {.pieces = {.pieceSize = 64}});
      EXPECT_EQ(CompletionMessage(report),
                "编码转换完成！\n已转换 0 个文件，1 个文件未改动。\n\n以下文件未改动：\n" + path +
                    "：" + c.reason);
      EXPECT_EQ(ReadFile(path), c.text);
      const struct stat after = testing::Stat(path);
      EXPECT_EQ(after.st_ino, before.st_ino);
      EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
      EXPECT_EQ(testing::CountEntries(dir.path()), inPlace ? 2u : 1u);
    }
}

TEST_F(RunPiecesTest, AWriteFaultMidFileLeavesTheOriginal) {
  const std::string text = Repeat(Gbk("简体中文编码转换。\n"), 40);
  for (bool inPlace : {false, true}) {
    SCOPED_TRACE(inPlace ? "in place" : "through a new file");
    const std::string path = Lay(text, inPlace);
    FailWritesAfterForTesting(text.size() / 2, path);
    try {
      RunConversion({path}, ConversionMode::RbGB2Big5, {.pieces = {.pieceSize = 64}});
      ADD_FAILURE() << "the run did not stop";
    } catch (const Error& e) {
      EXPECT_EQ(e.what(), "Cannot create file " + path + ": No space left on device");
    }
    EXPECT_EQ(ReadFile(path), text);
    EXPECT_EQ(testing::CountEntries(dir.path()), inPlace ? 2u : 1u);
  }
}

// Unchanged through every piece: not written. Changed only in the last piece: written.
TEST_F(RunPiecesTest, OnlyAFileThatConvertingChangesIsWritten) {
  const std::string ascii = Repeat("plain ASCII text, gb2312 and big5\n", 20);
  for (bool inPlace : {false, true}) {
    const std::string path = Lay(ascii, inPlace);
    const struct timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), past, 0), 0);
    const ino_t inode = testing::Stat(path).st_ino;
    RunReport report =
        RunConversion({path}, ConversionMode::RbGB2Big5, {.pieces = {.pieceSize = 64}});
    EXPECT_TRUE(report.leftAlone.empty());
    EXPECT_EQ(report.converted, 1u);
    EXPECT_EQ(testing::Stat(path).st_ino, inode);
    EXPECT_EQ(testing::Stat(path).st_mtim.tv_sec, 1000000000);

    Lay(ascii + Gbk("简体\n"), inPlace);
    report = RunConversion({path}, ConversionMode::RbGB2Big5, {.pieces = {.pieceSize = 64}});
    EXPECT_EQ(ReadFile(path), ascii + Big5("簡體\n"));
  }
}

// Progress names each file and counts the bytes read; a stop asked for during a file takes
// effect once that file is done.
TEST_F(RunPiecesTest, ProgressAndAStopBetweenFiles) {
  const std::string text = Repeat(Gbk("简体中文编码转换。\n"), 20);
  std::vector<std::string> paths;
  for (int i = 0; i < 4; ++i) {
    paths.push_back(dir / ("file" + std::to_string(i) + ".txt"));
    WriteFile(paths.back(), text);
  }
  std::vector<RunProgress> seen;
  RunReport report = RunConversion(
      paths, ConversionMode::RbGB2Big5,
      {.pieces = {.pieceSize = 64}, .progress = [&](const RunProgress& p) { seen.push_back(p); }});
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front().bytesDone, 0u);
  EXPECT_EQ(seen.back().bytesDone, 4 * text.size());
  EXPECT_EQ(seen.back().bytesTotal, 4 * text.size());
  EXPECT_EQ(seen.back().path, paths[3]);
  for (std::size_t i = 1; i < seen.size(); ++i) {
    EXPECT_GE(seen[i].bytesDone, seen[i - 1].bytesDone);
    EXPECT_GE(seen[i].file, seen[i - 1].file);
    EXPECT_EQ(seen[i].files, 4u);
  }
  EXPECT_EQ(report.converted, 4u);

  for (const std::string& path : paths) WriteFile(path, text);
  std::atomic<bool> stop = false;
  report = RunConversion(paths, ConversionMode::RbGB2Big5,
                         {.pieces = {.pieceSize = 64},
                          .progress =
                              [&](const RunProgress& p) {
                                if (p.file == 1) stop = true;
                              },
                          .stop = &stop});
  EXPECT_EQ(CompletionMessage(report),
            "编码转换已停止，已转换 2 个文件。\n\n以下文件未转换：\n" + paths[2] + "\n" + paths[3]);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(ReadFile(paths[i]), i < 2 ? Repeat(Big5("簡體中文編碼轉換。\n"), 20) : text) << i;
}

}  // namespace
}  // namespace orvela
