#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "conversion/modes.h"
#include "tests/conversion/test_run_support.h"

extern char** environ;

namespace orvela {
namespace {

using testing::Big5;
using testing::Gbk;
using testing::ReadFile;
using testing::WriteFile;

struct Outcome {
  int exit = -1;
  std::string out, err;
};

// Runs the program with args and input on standard input; standard output and error are
// collected through files, so large outputs cannot block it.
Outcome Convert(const std::vector<std::string>& args, const std::string& input = "",
                const std::string& program = ORVELA_CONVERT) {
  testing::TempDir io;
  const std::string in = io / "in", out = io / "out", err = io / "err";
  WriteFile(in, input);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + program);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
}

const std::string kSimplified = "简体中文编码转换，网页。\r\n";
const std::string kTraditional = "簡體中文編碼轉換，網頁。\r\n";

TEST(OrvelaConvert, HelpPrintsTheUsage) {
  Outcome o = Convert({"--help"});
  EXPECT_EQ(o.exit, 0);
  EXPECT_NE(o.out.find("Usage: orvela-convert --mode MODE [--no-charset-tag] [--by-char] [--force] "
                       "[--quiet] FILE..."),
            std::string::npos);
  for (const char* mode : {"gb2gbk", "gbk2gb", "gb2big5", "big52gb", "big52gbk", "gbk2big5"})
    EXPECT_NE(o.out.find(mode), std::string::npos) << mode;
  EXPECT_NE(o.out.find("1 when any FILE\nwas left alone"), std::string::npos);
  EXPECT_EQ(o.err, "");
}

TEST(OrvelaConvert, BadUsageExitsWithTwoAndTouchesNothing) {
  testing::TempDir dir;
  const std::string file = dir / "a.txt";
  WriteFile(file, Gbk(kSimplified));
  struct Case {
    std::vector<std::string> args;
    std::string problem;
  } cases[] = {
      {{}, "no --mode given"},
      {{file}, "no --mode given"},
      {{"--mode"}, "--mode needs a MODE"},
      {{"--mode", "gb2tw", file}, "unknown mode 'gb2tw'"},
      {{"--mode", "GB2GBK", file}, "unknown mode 'GB2GBK'"},
      {{"--mode", "gb2gbk"}, "no FILE given"},
      {{"--mode", "gb2gbk", "--no-charset-tag"}, "no FILE given"},
      {{"--mode", "gb2gbk", "--silent", file}, "unknown option '--silent'"},
      {{"--mode", "gb2gbk", "-x", file}, "unknown option '-x'"},
      {{"--mode", "gb2gbk", "-", file}, "'-' cannot be combined with files"},
      {{"--mode", "gb2gbk", "--mode", "gbk2gb", file}, "--mode given more than once"},
      {{"--mode=gb2gbk", "--mode=gb2gbk", file}, "--mode given more than once"},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& a : c.args) line += a + " ";
    Outcome o = Convert(c.args);
    EXPECT_EQ(o.exit, 2) << line;
    EXPECT_EQ(o.out, "") << line;
    EXPECT_EQ(o.err.rfind("orvela-convert: " + c.problem + "\n\nUsage:", 0), 0u) << line << "\n"
                                                                                 << o.err;
    EXPECT_EQ(ReadFile(file), Gbk(kSimplified)) << line;
  }
}

TEST(OrvelaConvert, EachModeNameConvertsFilesInPlace) {
  struct Case {
    const char* name;
    std::string in, out;
  } cases[] = {
      {"gb2gbk", Gbk(kSimplified), Gbk(kTraditional)},
      {"gbk2gb", Gbk(kTraditional), Gbk(kSimplified)},
      {"gb2big5", Gbk(kSimplified), Big5(kTraditional)},
      {"big52gb", Big5(kTraditional), Gbk(kSimplified)},
      {"big52gbk", Big5(kTraditional), Gbk(kTraditional)},
      {"gbk2big5", Gbk(kTraditional), Big5(kTraditional)},
  };
  testing::TempDir dir;
  for (const Case& c : cases) {
    const std::string first = dir / "first.txt", second = dir / "-second.txt";
    WriteFile(first, c.in);
    WriteFile(second, c.in);
    Outcome o = Convert({"--mode", c.name, "--", first, second});
    EXPECT_EQ(o.exit, 0) << c.name;
    EXPECT_EQ(o.out, "编码转换完成！\n") << c.name;
    EXPECT_EQ(o.err, "") << c.name;
    EXPECT_EQ(ReadFile(first), c.out) << c.name;
    EXPECT_EQ(ReadFile(second), c.out) << c.name;
  }
}

// Phrase-aware by default; --by-char maps each character alone, in place and as a
// filter alike.
// Standard error is no terminal here: no progress line, with or without --quiet.
TEST(OrvelaConvert, NoProgressLineUnlessOnATerminal) {
  testing::TempDir dir;
  for (bool quiet : {false, true}) {
    const std::string file = dir / "a.txt";
    WriteFile(file, Gbk(kSimplified));
    std::vector<std::string> args = {"--mode", "gb2big5", file};
    if (quiet) args.insert(args.begin(), "--quiet");
    const Outcome o = Convert(args);
    EXPECT_EQ(o.exit, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(ReadFile(file), Big5(kTraditional));
  }
}

TEST(OrvelaConvert, ByCharMapsCharactersAlone) {
  struct Case {
    std::vector<std::string> args;
    std::string in, out;
  } cases[] = {
      {{"--mode", "gb2gbk"}, Gbk("头发和皇后"), Gbk("頭髮和皇后")},
      {{"--mode", "gb2gbk", "--by-char"}, Gbk("头发和皇后"), Gbk("頭發和皇後")},
      {{"--by-char", "--mode", "gb2big5"}, Gbk("头发"), Big5("頭發")},
      {{"--mode", "gbk2gb"}, Gbk("乾隆"), Gbk("乾隆")},
      {{"--mode", "gbk2gb", "--by-char"}, Gbk("乾隆"), Gbk("干隆")},
  };
  testing::TempDir dir;
  const std::string file = dir / "a.txt";
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& a : c.args) line += a + " ";
    WriteFile(file, c.in);
    std::vector<std::string> inPlace = c.args, filter = c.args;
    inPlace.push_back(file);
    filter.push_back("-");
    EXPECT_EQ(Convert(inPlace).exit, 0) << line;
    EXPECT_EQ(ReadFile(file), c.out) << line;
    Outcome o = Convert(filter, c.in);
    EXPECT_EQ(o.exit, 0) << line;
    EXPECT_EQ(o.out, c.out) << line;
  }
}

// A file not in the mode's source code page is refused (status 1, the reason
// listed), in place and as a filter, unless --force is given.
TEST(OrvelaConvert, TheEncodingCheckRefusesUnlessForced) {
  testing::TempDir dir;
  const std::string file = dir / "big5.txt";
  const std::string big5 = Big5(kTraditional + kTraditional + kTraditional);
  WriteFile(file, big5);
  Outcome refused = Convert({"--mode", "gb2gbk", file});
  EXPECT_EQ(refused.exit, 1);
  EXPECT_EQ(refused.out, "编码转换完成！\n已转换 0 个文件，1 个文件未改动。\n\n以下文件未改动：\n" +
                             file + "：看来是 Big5 文本，不是 GBK 文本\n");
  EXPECT_EQ(ReadFile(file), big5);
  Outcome filtered = Convert({"--mode", "gb2gbk", "-"}, big5);
  EXPECT_EQ(filtered.exit, 1);
  EXPECT_EQ(filtered.out, "");
  EXPECT_EQ(filtered.err, "orvela-convert: -: 看来是 Big5 文本，不是 GBK 文本\n");

  const std::string converted = ApplyMode(ConversionMode::RbGB2GBK, big5);
  Outcome forcedFilter = Convert({"--mode", "gb2gbk", "--force", "-"}, big5);
  EXPECT_EQ(forcedFilter.exit, 0);
  EXPECT_EQ(forcedFilter.out, converted);
  Outcome forced = Convert({"--force", "--mode", "gb2gbk", file});
  EXPECT_EQ(forced.exit, 0);
  EXPECT_EQ(ReadFile(file), converted);
}

TEST(OrvelaConvert, TheCharsetTagIsRewrittenUnlessSwitchedOff) {
  testing::TempDir dir;
  const std::string page = dir / "page.htm";
  auto html = [](const char* charset) {
    return "<html>\n<meta http-equiv=Content-Type content=text/html;charset=" +
           std::string(charset) + ">\n";
  };
  WriteFile(page, html("gb2312"));
  EXPECT_EQ(Convert({"--mode", "gb2big5", page}).exit, 0);
  EXPECT_EQ(ReadFile(page), html("big5"));
  EXPECT_EQ(Convert({"--mode=big52gb", "--no-charset-tag", page}).exit, 0);
  EXPECT_EQ(ReadFile(page), html("big5"));
  EXPECT_EQ(Convert({"--no-charset-tag", "--mode", "big52gb", page}).exit, 0);
  EXPECT_EQ(ReadFile(page), html("big5"));
  EXPECT_EQ(Convert({"--mode", "big52gb", page}).exit, 0);
  EXPECT_EQ(ReadFile(page), html("GB2312"));
}

// Exit status 1 whenever a listed file was not converted; 0 when each was converted or needed
// no change.
TEST(OrvelaConvert, FilesLeftAloneAreListedAfterTheNoticeWithStatusOne) {
  testing::TempDir dir;
  const std::string missing = dir / "missing.txt", binary = dir / "zero.bin",
                    good = dir / "good.txt", ascii = dir / "ascii.txt", folder = dir / "folder";
  const std::string zero("ab\0cd", 5);
  WriteFile(binary, zero);
  WriteFile(ascii, "ascii\n");
  std::filesystem::create_directory(folder);
  struct Case {
    std::vector<std::string> files;
    int exit;
    std::string listed;
  } cases[] = {
      {{missing, good}, 1, missing + "：文件不存在\n"},
      {{binary, good}, 1, binary + "：含有零字节，不是文本文件\n"},
      {{folder, good}, 1, folder + "：是文件夹\n"},
      {{good, good}, 1, good + "：与前面列出的文件是同一个文件\n"},
      {{good, ascii}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.files[0]);
    WriteFile(good, Gbk(kSimplified));
    std::vector<std::string> args{"--mode", "gb2big5"};
    args.insert(args.end(), c.files.begin(), c.files.end());
    Outcome o = Convert(args);
    EXPECT_EQ(o.exit, c.exit);
    EXPECT_EQ(
        o.out,
        c.listed.empty()
            ? "编码转换完成！\n"
            : "编码转换完成！\n已转换 1 个文件，1 个文件未改动。\n\n以下文件未改动：\n" + c.listed);
    EXPECT_EQ(ReadFile(good), Big5(kTraditional));
  }
  EXPECT_EQ(ReadFile(binary), zero);
}

TEST(OrvelaConvert, FiltersStandardInputWithoutTheCharsetStep) {
  const std::string page =
      "<html>\r\n<meta http-equiv=Content-Type content=text/html;charset=gb2312>"
      "\r\n" +
      kSimplified;
  Outcome o = Convert({"--mode", "gb2big5", "-"}, Gbk(page));
  EXPECT_EQ(o.exit, 0);
  EXPECT_EQ(o.out, Big5("<html>\r\n<meta http-equiv=Content-Type content=text/html;charset=gb2312>"
                        "\r\n" +
                        kTraditional));
  EXPECT_EQ(o.err, "");

  // Larger than any pipe buffer.
  std::string large, expected;
  while (large.size() < (4u << 20)) {
    large += Big5(kTraditional);
    expected += Gbk(kSimplified);
  }
  o = Convert({"--mode", "big52gb", "-"}, large);
  EXPECT_EQ(o.exit, 0);
  EXPECT_TRUE(o.out == expected) << "the large input did not come through whole";

  o = Convert({"--mode", "gbk2gb", "-"}, "");
  EXPECT_EQ(o.exit, 0);
  EXPECT_EQ(o.out, "");
}

// As a user to whom permissions apply: the run stops at a read-only file with exit status 1.
TEST(OrvelaConvert, AFileThatMayNotBeWrittenStopsTheRunWithStatusOne) {
  testing::NobodyDir dir;
  // A copy of the program that "nobody" may run wherever the build lives.
  const std::string program = dir / "orvela-convert";
  WriteFile(program, ReadFile(ORVELA_CONVERT));
  ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
  std::vector<std::string> paths;
  for (int i = 0; i < 3; ++i)
    paths.push_back(
        dir.Add("file" + std::to_string(i) + ".txt", Gbk(kSimplified), i == 1 ? 0444 : 0644));
  std::string result = testing::AsUnprivilegedUser([&] {
    Outcome o = Convert({"--mode", "gb2big5", paths[0], paths[1], paths[2]}, "", program);
    return std::to_string(o.exit) + "|" + o.out + "|" + o.err;
  });
  EXPECT_EQ(result, "1||orvela-convert: Cannot create file " + paths[1] + ": Permission denied\n");
  EXPECT_EQ(ReadFile(paths[0]), Big5(kTraditional));
  EXPECT_EQ(ReadFile(paths[1]), Gbk(kSimplified));
  EXPECT_EQ(ReadFile(paths[2]), Gbk(kSimplified));
}

}  // namespace
}  // namespace orvela
