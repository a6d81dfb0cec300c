#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/safe_rewrite.h"
#include "conversion/run.h"
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
      RunReport report = RunConversion({path}, c.mode, {.alterCharsetTag = option});
      EXPECT_EQ(ReadFile(path), c.out) << ModeName(c.mode);
      EXPECT_TRUE(report.leftAlone.empty());
    }
  }
}

// Their converted bytes equal their bytes: they are not written at all, so they keep their inode
// and their times.
TEST_F(RunTest, AsciiAndEmptyFilesAreNotWrittenInAnyMode) {
  const std::string ascii = "plain <b>ASCII</b>\r\nwith gb2312 and big5\rand\nbreaks\n";
  std::string asciiPath = dir / "ascii.txt";
  std::string emptyPath = dir / "empty.txt";
  WriteFile(asciiPath, ascii);
  WriteFile(emptyPath, "");
  const struct timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
  for (const std::string& path : {asciiPath, emptyPath})
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), past, 0), 0);
  const ino_t asciiInode = testing::Stat(asciiPath).st_ino;
  const ino_t emptyInode = testing::Stat(emptyPath).st_ino;
  for (ConversionMode mode : kAllModes) {
    RunReport report = RunConversion({asciiPath, emptyPath}, mode, {});
    EXPECT_EQ(ReadFile(asciiPath), ascii) << ModeName(mode);
    EXPECT_EQ(ReadFile(emptyPath), "") << ModeName(mode);
    EXPECT_TRUE(report.leftAlone.empty());
    for (const std::string& path : {asciiPath, emptyPath})
      EXPECT_EQ(testing::Stat(path).st_mtim.tv_sec, past[1].tv_sec) << path << ModeName(mode);
    EXPECT_EQ(testing::Stat(asciiPath).st_ino, asciiInode);
    EXPECT_EQ(testing::Stat(emptyPath).st_ino, emptyInode);
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
      {ConversionMode::RbGBK2Big5, true, Gbk(page(tc, "gbk")), Big5(page(tc, "big5"))},
      {ConversionMode::RbGBK2Big5, false, Gbk(page(tc, "gbk")), Big5(page(tc, "gbk"))},
      {ConversionMode::RbBig52GBK, true, Big5(page(tc, "big5")), Gbk(page(tc, "gbk"))},
      {ConversionMode::RbBig52GBK, false, Big5(page(tc, "big5")), Gbk(page(tc, "big5"))},
      {ConversionMode::RbGB2GBK, true, Gbk(page(sc, "gb2312")), Gbk(page(tc, "gb2312"))},
      {ConversionMode::RbGBK2GB, true, Gbk(page(tc, "big5")), Gbk(page(sc, "big5"))},
  };
  for (const Case& c : cases) {
    std::string path = dir / "page.htm";
    WriteFile(path, c.in);
    RunConversion({path}, c.mode, {.alterCharsetTag = c.option});
    EXPECT_EQ(ReadFile(path), c.out) << ModeName(c.mode) << (c.option ? " on" : " off");
  }
}

TEST_F(RunTest, FilesThatCannotBeReadOrHoldAZeroByteAreLeftAloneAndReported) {
  std::string first = dir / "first.txt";
  std::string missing = dir / "missing.txt";
  std::string utf16 = dir / "utf16.txt";
  std::string zero = dir / "zero.bin";
  std::string folder = dir / "folder";
  std::string fifo = dir / "fifo";
  std::string last = dir / "last.txt";
  const std::string utf16Text("\xFF\xFE\x2D\x4E\x87\x65\x0A\x00", 8);
  const std::string zeroText = std::string("ascii\0", 6) + Gbk(kSimplified);
  WriteFile(first, Gbk(kSimplified));
  WriteFile(utf16, utf16Text);
  WriteFile(zero, zeroText);
  std::filesystem::create_directory(folder);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  WriteFile(last, Gbk(kSimplified));

  // The UTF-16 file is named by the encoding check, and by its zero bytes without it.
  for (bool check : {true, false}) {
    RunReport report = RunConversion({first, missing, utf16, zero, folder, fifo, last},
                                     ConversionMode::RbGB2Big5, {.checkEncoding = check});
    EXPECT_EQ(ReadFile(first), Big5(kTraditional));
    EXPECT_EQ(ReadFile(last), Big5(kTraditional));
    EXPECT_EQ(ReadFile(utf16), utf16Text);
    EXPECT_EQ(ReadFile(zero), zeroText);
    EXPECT_FALSE(std::filesystem::exists(missing));
    const std::string utf16Reason =
        check ? "以 UTF-16 字节顺序标记开头，是 UTF-16 文本，不是 GBK 文本"
              : "含有零字节，不是文本文件";
    EXPECT_EQ(CompletionMessage(report),
              "编码转换完成！\n已转换 2 个文件，5 个文件未改动。\n\n以下文件未改动：\n" +  //
                  missing + "：文件不存在\n" +                                             //
                  utf16 + "：" + utf16Reason + "\n" +                                      //
                  zero + "：含有零字节，不是文本文件\n" +                                  //
                  folder + "：是文件夹\n" + fifo + "：不是普通文件");
    WriteFile(first, Gbk(kSimplified));
    WriteFile(last, Gbk(kSimplified));
  }
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
  RunConversion({symlink, hard}, ConversionMode::RbGB2GBK, {});
  EXPECT_TRUE(S_ISLNK(testing::Stat(symlink).st_mode));
  EXPECT_EQ(ReadFile(target), Gbk(kTraditional));
  EXPECT_EQ(ReadFile(other), Gbk(kTraditional));
}

// However a file is reached again in one run, it is converted once: converting twice would
// garble it for good.
TEST_F(RunTest, AFileReachedTwiceIsConvertedOnce) {
  const ConversionMode mode = ConversionMode::RbGB2Big5;
  const std::string once = ApplyMode(mode, Gbk(kSimplified));
  ASSERT_NE(ApplyMode(mode, once), once);
  std::filesystem::create_directory(dir.path() / "folder");
  const std::string file = dir / "folder/file.txt";
  ASSERT_EQ(::symlink("folder/file.txt", (dir / "symlink.txt").c_str()), 0);
  ASSERT_EQ(::symlink("folder", (dir / "folder-link").c_str()), 0);
  struct Case {
    const char* how;
    std::string again;
  } cases[] = {
      {"the same path", file},
      {"another spelling of the path", dir / "folder/./file.txt"},
      {"a symbolic link to it", dir / "symlink.txt"},
      {"a second hard link", dir / "folder/hard.txt"},
      {"a link to its folder", dir / "folder-link/file.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    ::unlink((dir / "folder/hard.txt").c_str());
    WriteFile(file, Gbk(kSimplified));
    if (c.again.ends_with("hard.txt")) {
      ASSERT_EQ(::link(file.c_str(), c.again.c_str()), 0);
    }
    for (bool againFirst : {false, true}) {
      WriteFile(file, Gbk(kSimplified));
      const std::vector<std::string> paths =
          againFirst ? std::vector{c.again, file} : std::vector{file, c.again};
      RunReport report = RunConversion(paths, mode, {});
      EXPECT_EQ(ReadFile(file), once);
      EXPECT_EQ(CompletionMessage(report),
                "编码转换完成！\n已转换 1 个文件，1 个文件未改动。\n\n以下文件未改动：\n" +
                    paths[1] + "：" + kSameFileAsBefore);
    }
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
    RunConversion(paths, ConversionMode::RbGB2Big5, {});
    ADD_FAILURE() << "the run did not stop";
  } catch (const Error& e) {
    EXPECT_EQ(e.what(), "Cannot create file " + paths[2] + ": No space left on device");
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
      RunConversion(paths, ConversionMode::RbGB2Big5, {});
      return std::string("completed");
    } catch (const Error& e) {
      return std::string(e.what());
    }
  });
  EXPECT_EQ(result, "Cannot create file " + paths[2] + ": Permission denied");
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(ReadFile(paths[i]), i < 2 ? Big5(kTraditional) : Gbk(kSimplified)) << i;
  EXPECT_EQ(testing::CountEntries(dir.path()), 5u);
}

TEST(RunUnprivileged, AnUnreadableFileIsLeftAloneAndTheRunGoesOn) {
  testing::NobodyDir dir;
  std::string unreadable = dir.Add("unreadable.txt", Gbk(kSimplified), 0200);
  std::string readable = dir.Add("readable.txt", Gbk(kSimplified));
  std::string result = testing::AsUnprivilegedUser([&] {
    return CompletionMessage(RunConversion({unreadable, readable}, ConversionMode::RbGB2Big5, {}));
  });
  EXPECT_EQ(result, "编码转换完成！\n已转换 1 个文件，1 个文件未改动。\n\n以下文件未改动：\n" +
                        unreadable + "：没有读取权限");
  ASSERT_EQ(::chmod(unreadable.c_str(), 0600), 0);  // so that this test, as any user, can look
  EXPECT_EQ(ReadFile(unreadable), Gbk(kSimplified));
  EXPECT_EQ(ReadFile(readable), Big5(kTraditional));
}

// Between the read and the rewrite the name is swapped for a link to a file that must not change
// (as the owner of the folder could do to root's run), or a process appends to the file.
TEST_F(RunTest, AFileSwappedOrChangedDuringTheRunIsLeftAloneWithAReason) {
  testing::TempDir elsewhere;
  const std::string secret = elsewhere / "secret.txt";
  const std::string victim = dir / "victim.txt", next = dir / "next.txt";
  const std::string appended = Gbk("追加的一行\n");
  struct Case {
    const char* what;
    std::function<void()> change;
    std::string after;  // what the listed path then holds
  } cases[] = {
      {"swapped for a link",
       [&] {
         ::unlink(victim.c_str());
         ASSERT_EQ(::symlink(secret.c_str(), victim.c_str()), 0);
       },
       Gbk(kSimplified)},
      {"appended to", [&] { std::ofstream(victim, std::ios::app) << appended; },
       Gbk(kSimplified) + appended},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ::unlink(victim.c_str());
    WriteFile(victim, Gbk(kSimplified));
    WriteFile(next, Gbk(kSimplified));
    WriteFile(secret, Gbk(kSimplified));
    SetRewriteHookForTesting([&](RewriteStep step, const std::string& name) {
      if (step == RewriteStep::kStart && name == "victim.txt") c.change();
    });
    RunReport report = RunConversion({victim, next}, ConversionMode::RbGB2Big5, {});
    SetRewriteHookForTesting({});
    EXPECT_EQ(CompletionMessage(report),
              "编码转换完成！\n已转换 1 个文件，1 个文件未改动。\n\n以下文件未改动：\n" + victim +
                  "：文件在转换期间被替换或修改");
    EXPECT_EQ(ReadFile(secret), Gbk(kSimplified));
    EXPECT_EQ(ReadFile(victim), c.after);
    EXPECT_EQ(ReadFile(next), Big5(kTraditional));
    EXPECT_EQ(testing::CountEntries(dir.path()), 2u);
  }
}

// A run killed during a rewrite: the next run removes a new text it left, and leaves alone a
// file whose recovery copy it left, naming the copy and never overwriting it.
TEST_F(RunTest, AfterAKilledRunTheNextRunCleansUpOrNamesTheRecoveryCopy) {
  struct Case {
    const char* what;
    bool hardLinked;
    RewriteStep step;
  } cases[] = {
      {"killed with the new text under its temporary name", false, RewriteStep::kNewTextNamed},
      {"killed halfway through an in-place rewrite", true, RewriteStep::kHalfWritten},
      {"killed with the new text written in place", true, RewriteStep::kWrittenInPlace},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempDir folder(dir.path());  // one case's own folder
    const std::string path = folder / "file.txt";
    const std::string copy = folder / ".file.txt.orvela-recovery";
    WriteFile(path, Gbk(kSimplified));
    if (c.hardLinked) {
      ASSERT_EQ(::link(path.c_str(), (folder / "link.txt").c_str()), 0);
    }
    testing::ChildEnd end = testing::InChild([&] {
      SetRewriteHookForTesting([&](RewriteStep step, const std::string&) {
        if (step == c.step) ::raise(SIGKILL);
      });
      RunConversion({path}, ConversionMode::RbGB2Big5, {});
      return std::string("not killed");
    });
    ASSERT_EQ(end.signal, SIGKILL) << end.output;
    RunReport report = RunConversion({path}, ConversionMode::RbGB2Big5, {});
    if (c.hardLinked) {
      EXPECT_EQ(CompletionMessage(report),
                "编码转换完成！\n已转换 0 个文件，1 个文件未改动。\n\n以下文件未改动：\n" + path +
                    "：上次转换被中断，原文件的完整副本在 " + copy);
      EXPECT_EQ(ReadFile(copy), Gbk(kSimplified));
    } else {
      EXPECT_TRUE(report.leftAlone.empty());
      EXPECT_EQ(ReadFile(path), Big5(kTraditional));
    }
    EXPECT_EQ(testing::CountEntries(folder.path()), c.hardLinked ? 3u : 1u);
  }
}

// The file is reached through its folder, so a path is never rebuilt into an absolute one that
// the system would refuse as too long.
TEST_F(RunTest, ARelativePathWhoseAbsoluteFormExceedsPathMaxIsConverted) {
  const std::string part(200, 'd');
  const int depth = PATH_MAX / static_cast<int>(part.size()) + 2;
  struct Restore {
    int cwd = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    int made = 0;
    std::string part;
    ~Restore() {
      ::unlink("file.txt");
      for (; made > 0; --made)
        if (::chdir("..") != 0 || ::rmdir(part.c_str()) != 0) break;
      if (::fchdir(cwd) != 0) std::abort();
      ::close(cwd);
    }
  } restore{.part = part};
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  for (; restore.made < depth; ++restore.made) {
    ASSERT_EQ(::mkdir(part.c_str(), 0755), 0);
    ASSERT_EQ(::chdir(part.c_str()), 0);
  }
  WriteFile("file.txt", Gbk(kSimplified));
  RunReport report = RunConversion({"file.txt"}, ConversionMode::RbGB2Big5, {});
  EXPECT_TRUE(report.leftAlone.empty());
  EXPECT_EQ(ReadFile("file.txt"), Big5(kTraditional));
}

// A file larger than the memory the process may have is converted all the same: it is read,
// converted and written a piece at a time.
TEST_F(RunTest, AFileLargerThanTheMemoryAllowedIsConvertedInPieces) {
  const std::string big = dir / "big.txt";
  const std::string line = Gbk(kTraditional);
  std::string text;
  while (text.size() < (80u << 20)) text += line;
  WriteFile(big, text);
  const std::string expected = Big5(kTraditional);
  testing::ChildEnd end = testing::InChild([&] {
    ApplyMode(ConversionMode::RbGBK2Big5, line);  // the tables are not what is measured
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    // Room for the pieces, a head window of the charset step (RbGBK2Big5 has one) and the
    // check's own thread; far less than the file and its converted text together.
    const rlim_t limit = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (48 << 20);
    const struct rlimit rl = {limit, limit};
    if (::setrlimit(RLIMIT_AS, &rl) != 0) return std::string("cannot limit memory");
    return CompletionMessage(RunConversion({big}, ConversionMode::RbGBK2Big5, {}));
  });
  EXPECT_EQ(end.output, "编码转换完成！");
  const std::string after = ReadFile(big);
  ASSERT_EQ(after.size(), text.size() / line.size() * expected.size());
  for (std::size_t at = 0; at < after.size(); at += expected.size())
    if (after.compare(at, expected.size(), expected) != 0) FAIL() << "differs at " << at;
}

}  // namespace
}  // namespace orvela
