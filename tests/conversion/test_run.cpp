#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "conversion/run.h"
#include "conversion/safe_rewrite.h"
#include "test_run_support.h"

namespace orvela {
namespace {

using testing::Big5;
using testing::Gbk;
using testing::ReadFile;
using testing::WriteFile;

const std::string kSimplified = "简体中文编码转换，网页。\r\n第二行\n";
const std::string kTraditional = "簡體中文編碼轉換，網頁。\r\n第二行\n";

struct ModeCase {
  ConversionMode mode;
  std::string in, out;
};

std::vector<ModeCase> ModeCases() {
  return {
      {ConversionMode::RbGB2GBK, Gbk(kSimplified), Gbk(kTraditional)},
      {ConversionMode::RbGBK2GB, Gbk(kTraditional), Gbk(kSimplified)},
      {ConversionMode::RbGB2Big5, Gbk(kSimplified), Big5(kTraditional)},
      {ConversionMode::RbBig52GB, Big5(kTraditional), Gbk(kSimplified)},
      {ConversionMode::RbBig52GBK, Big5(kTraditional), Gbk(kTraditional)},
      {ConversionMode::RbGBK2Big5, Gbk(kTraditional), Big5(kTraditional)},
  };
}

class RunTest : public ::testing::Test {
 protected:
  void TearDown() override { FailWritesAfterForTesting(std::nullopt); }
  testing::TempDir dir;
};

TEST_F(RunTest, EachModeConvertsItsFilesInPlace) {
  for (bool option : {true, false}) {
    for (const ModeCase& c : ModeCases()) {
      std::string path = dir / "text.txt";
      WriteFile(path, c.in);
      RunReport report = RunConversion({path}, c.mode, option);
      EXPECT_EQ(ReadFile(path), c.out) << ModeName(c.mode);
      EXPECT_TRUE(report.leftAlone.empty());
    }
  }
}

TEST_F(RunTest, AsciiAndEmptyFilesComeOutTheSameInEveryMode) {
  const std::string ascii = "plain <b>ASCII</b>\r\nwith gb2312 and big5\rand\nbreaks\n";
  std::string asciiPath = dir / "ascii.txt";
  std::string emptyPath = dir / "empty.txt";
  for (ConversionMode mode : kAllModes) {
    WriteFile(asciiPath, ascii);
    WriteFile(emptyPath, "");
    RunReport report = RunConversion({asciiPath, emptyPath}, mode, true);
    EXPECT_EQ(ReadFile(asciiPath), ascii) << ModeName(mode);
    EXPECT_EQ(ReadFile(emptyPath), "") << ModeName(mode);
    EXPECT_TRUE(report.leftAlone.empty());
  }
}

TEST_F(RunTest, TheCharsetTagStepFollowsTheTriggerTable) {
  auto page = [](const std::string& title, const std::string& charset) {
    return "<html><head>\r\n<meta http-equiv=Content-Type content=\"text/html; charset=" + charset +
           "\">\r\n<title>" + title + "</title></head>\r\n";
  };
  const std::string sc = "网页", tc = "網頁";
  struct Case {
    ConversionMode mode;
    bool option;
    std::string in, out;
  } cases[] = {
      {ConversionMode::RbGB2Big5, true, Gbk(page(sc, "gb2312")), Big5(page(tc, "big5"))},
      {ConversionMode::RbGB2Big5, false, Gbk(page(sc, "gb2312")), Big5(page(tc, "gb2312"))},
      {ConversionMode::RbBig52GB, true, Big5(page(tc, "big5")), Gbk(page(sc, "GB2312"))},
      {ConversionMode::RbBig52GB, false, Big5(page(tc, "big5")), Gbk(page(sc, "big5"))},
      {ConversionMode::RbGBK2Big5, true, Gbk(page(tc, "gb2312")), Big5(page(tc, "gb2312"))},
      {ConversionMode::RbBig52GBK, true, Big5(page(tc, "big5")), Gbk(page(tc, "big5"))},
      {ConversionMode::RbGB2GBK, true, Gbk(page(sc, "gb2312")), Gbk(page(tc, "gb2312"))},
      {ConversionMode::RbGBK2GB, true, Gbk(page(tc, "big5")), Gbk(page(sc, "big5"))},
  };
  for (const Case& c : cases) {
    std::string path = dir / "page.htm";
    WriteFile(path, c.in);
    RunConversion({path}, c.mode, c.option);
    EXPECT_EQ(ReadFile(path), c.out) << ModeName(c.mode) << (c.option ? " on" : " off");
  }
}

TEST_F(RunTest, FilesThatCannotBeReadOrHoldAZeroByteAreLeftAloneAndReported) {
  std::string first = dir / "first.txt";
  std::string missing = dir / "missing.txt";
  std::string utf16 = dir / "utf16.txt";
  std::string folder = dir / "folder";
  std::string fifo = dir / "fifo";
  std::string last = dir / "last.txt";
  const std::string utf16Text("\xFF\xFE\x2D\x4E\x87\x65\x0A\x00", 8);
  WriteFile(first, Gbk(kSimplified));
  WriteFile(utf16, utf16Text);
  std::filesystem::create_directory(folder);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  WriteFile(last, Gbk(kSimplified));

  RunReport report =
      RunConversion({first, missing, utf16, folder, fifo, last}, ConversionMode::RbGB2Big5, true);
  EXPECT_EQ(ReadFile(first), Big5(kTraditional));
  EXPECT_EQ(ReadFile(last), Big5(kTraditional));
  EXPECT_EQ(ReadFile(utf16), utf16Text);
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_EQ(CompletionMessage(report),
            "编码转换完成！\n\n以下文件未改动：\n" +  //
                missing + "：文件不存在\n" +          //
                utf16 + "：含有零字节，不是文本文件\n" + folder + "：是文件夹\n" + fifo +
                "：不是普通文件");
}

TEST(CompletionMessage, IsTheBareNoticeWhenEveryFileWasConverted) {
  EXPECT_EQ(CompletionMessage({}), "编码转换完成！");
}

TEST_F(RunTest, LinkedFilesAreConvertedThroughTheirLinks) {
  std::string target = dir / "target.txt";
  std::string symlink = dir / "symlink.txt";
  std::string hard = dir / "hard.txt";
  std::string other = dir / "other-name.txt";
  WriteFile(target, Gbk(kSimplified));
  WriteFile(hard, Gbk(kSimplified));
  ASSERT_EQ(::symlink("target.txt", symlink.c_str()), 0);
  ASSERT_EQ(::link(hard.c_str(), other.c_str()), 0);
  RunConversion({symlink, hard}, ConversionMode::RbGB2GBK, true);
  EXPECT_TRUE(S_ISLNK(testing::Stat(symlink).st_mode));
  EXPECT_EQ(ReadFile(target), Gbk(kTraditional));
  EXPECT_EQ(ReadFile(other), Gbk(kTraditional));
}

TEST_F(RunTest, AFileListedTwiceIsConvertedTwice) {
  // Also under another name: a symbolic link to it, or a second hard link.
  const ConversionMode mode = ConversionMode::RbGB2Big5;
  const std::string once = ApplyMode(mode, Gbk(kSimplified));
  const std::string twice = ApplyMode(mode, once);
  ASSERT_NE(once, twice);
  std::string file = dir / "file.txt";
  std::string symlink = dir / "symlink.txt";
  std::string hard = dir / "hard.txt";
  ASSERT_EQ(::symlink("file.txt", symlink.c_str()), 0);
  for (const std::string& again : {file, symlink, hard}) {
    WriteFile(file, Gbk(kSimplified));
    if (again == hard) {
      ASSERT_EQ(::link(file.c_str(), hard.c_str()), 0);
    }
    RunConversion({file, again}, mode, true);
    EXPECT_EQ(ReadFile(file), twice) << again;
  }
}

TEST_F(RunTest, AWriteFailureAtTheThirdOfFiveStopsTheRunThere) {
  std::vector<std::string> paths;
  for (int i = 0; i < 5; ++i) {
    paths.push_back(dir / ("file" + std::to_string(i) + ".txt"));
    WriteFile(paths.back(), Gbk(kSimplified));
  }
  FailWritesAfterForTesting(5, paths[2]);
  try {
    RunConversion(paths, ConversionMode::RbGB2Big5, true);
    ADD_FAILURE() << "the run did not stop";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Stream write error");
  }
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(ReadFile(paths[i]), i < 2 ? Big5(kTraditional) : Gbk(kSimplified)) << i;
  EXPECT_EQ(testing::CountEntries(dir.path()), 5u);
}

// As a user to whom permissions apply.
TEST(RunUnprivileged, AReadOnlyFileStopsTheRunBeforeAnythingOfItIsWritten) {
  testing::NobodyDir dir;
  std::vector<std::string> paths;
  for (int i = 0; i < 5; ++i)
    paths.push_back(
        dir.Add("file" + std::to_string(i) + ".txt", Gbk(kSimplified), i == 2 ? 0444 : 0644));
  std::string result = testing::AsUnprivilegedUser([&] {
    try {
      RunConversion(paths, ConversionMode::RbGB2Big5, true);
      return std::string("completed");
    } catch (const Error& e) {
      return std::string(e.what());
    }
  });
  EXPECT_EQ(result, "Cannot create file " + paths[2]);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(ReadFile(paths[i]), i < 2 ? Big5(kTraditional) : Gbk(kSimplified)) << i;
  EXPECT_EQ(testing::CountEntries(dir.path()), 5u);
}

TEST(RunUnprivileged, AnUnreadableFileIsLeftAloneAndTheRunGoesOn) {
  testing::NobodyDir dir;
  std::string unreadable = dir.Add("unreadable.txt", Gbk(kSimplified), 0200);
  std::string readable = dir.Add("readable.txt", Gbk(kSimplified));
  std::string result = testing::AsUnprivilegedUser([&] {
    return CompletionMessage(
        RunConversion({unreadable, readable}, ConversionMode::RbGB2Big5, true));
  });
  EXPECT_EQ(result, "编码转换完成！\n\n以下文件未改动：\n" + unreadable + "：没有读取权限");
  EXPECT_EQ(ReadFile(unreadable), Gbk(kSimplified));
  EXPECT_EQ(ReadFile(readable), Big5(kTraditional));
}

}  // namespace
}  // namespace orvela
