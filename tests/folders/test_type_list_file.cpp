#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/error.h"
#include "folders/type_list_file.h"
#include "tests/support/temp_tree.h"
#include "tests/support/unprivileged.h"

namespace orvela {
namespace {

using Entries = std::vector<std::string>;
using test::TempTree;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

struct ParseCase {
  std::string content;
  Entries lines;
};

TEST(TypeListFile, ReadFormSplitsLinesAsWritten) {
  using namespace std::string_literals;
  for (const auto& c : std::vector<ParseCase>{
           {"", {}},
           {"*.txt\r\n*.log\r\n", {"*.txt", "*.log"}},
           {"*.txt\n*.log\n", {"*.txt", "*.log"}},  // LF only
           {"*.txt\r*.log\r", {"*.txt", "*.log"}},  // CR only
           {"*.txt\r\n*.log", {"*.txt", "*.log"}},  // last line without an end
           {"*.txt\r\n\r\n", {"*.txt", ""}},        // two final ends: an empty entry
           {"\r\n", {""}},
           {"a\n\rb", {"a", "", "b"}},  // LF CR is two line ends
           {"a\r\r\nb", {"a", "", "b"}},
           {"a\r\n\nb", {"a", "", "b"}},
           {" *.txt \r\n", {" *.txt "}},                          // verbatim
           {"*.TXT\r\n*.txt\r\n", {"*.TXT", "*.txt"}},            // no case change, no dedup
           {"*.txt\r\n*.l\0og\r\n*.ini\r\n"s, {"*.txt", "*.l"}},  // NUL ends the content
           {"\0*.txt"s, {}},
       }) {
    EXPECT_EQ(ParseTypeList(c.content), c.lines) << ::testing::PrintToString(c.content);
  }
}

TEST(TypeListFile, WrittenFormEndsEveryEntryWithCrLf) {
  EXPECT_EQ(FormatTypeList({}), "");
  EXPECT_EQ(FormatTypeList({"*.txt", "", " *.x"}), "*.txt\r\n\r\n *.x\r\n");
}

TEST(TypeListFile, RoundTripThroughARealFile) {
  TempTree tree;
  const std::string path = tree.Path("varu_ext.txt");
  EXPECT_EQ(ReadTypeListFile(path), std::nullopt);  // missing

  tree.File("varu_ext.txt", "*.txt\n *.md\n");  // LF only, longer than what follows
  auto read = ReadTypeListFile(path);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, (Entries{"*.txt", " *.md"}));
  WriteTypeListFile(path, {"*.c"});  // truncates
  EXPECT_EQ(Slurp(path), "*.c\r\n");

  WriteTypeListFile(path, {});
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  EXPECT_EQ(ReadTypeListFile(path), Entries{});  // an empty file is an empty list
}

TEST(TypeListFile, OnlyARegularFileIsRead) {
  TempTree tree;
  tree.Dir("folder/varu_ext.txt");
  EXPECT_EQ(ReadTypeListFile(tree.Path("folder/varu_ext.txt")), std::nullopt);
  // A FIFO with no writer would block the open; a device could be read without end.
  tree.Fifo("varu_ext.txt");
  EXPECT_EQ(ReadTypeListFile(tree.Path("varu_ext.txt")), std::nullopt);
  EXPECT_EQ(ReadTypeListFile("/dev/zero"), std::nullopt);
  // A link to a regular file is read through.
  tree.File("real.txt", "*.md\r\n");
  tree.Link("link.txt", "real.txt");
  EXPECT_EQ(ReadTypeListFile(tree.Path("link.txt")), Entries{"*.md"});
}

TEST(TypeListFile, SaveThatCannotCreateTheFileNamesIt) {
  TempTree tree;
  const std::string path = tree.Path("missing/varu_ext.txt");
  try {
    WriteTypeListFile(path, {"*.txt"});
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + path + ": No such file or directory");
  }
}

TEST(TypeListFile, SaveOverAFifoWithoutReaderCannotCreateTheFile) {
  TempTree tree;
  tree.Fifo("varu_ext.txt");
  const std::string path = tree.Path("varu_ext.txt");
  try {
    WriteTypeListFile(path, {"*.txt"});
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + path + ": No such device or address");
  }
}

TEST(TypeListFile, SaveIntoAFileTheUserMayNotWriteFailsAndKeepsIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to drop privileges";
  TempTree tree;
  ::chmod(tree.Root().c_str(), 0755);
  const std::string path = tree.File("varu_ext.txt", "*.old\r\n");
  ::chmod(path.c_str(), 0644);  // owned by root: nobody may not write it
  const std::string result = testing::AsUnprivilegedUser([&]() -> std::string {
    try {
      WriteTypeListFile(path, {"*.new"});
      return "saved";
    } catch (const Error& e) {
      return e.what();
    }
  });
  EXPECT_EQ(result, "Cannot create file " + path + ": Permission denied");
  EXPECT_EQ(Slurp(path), "*.old\r\n");
}

// The new list is written beside the old one and renamed over it: a save that fails midway, as
// on a full disk, keeps the old list whole and leaves nothing behind.
TEST(TypeListFile, AFailedSaveKeepsTheOldListWhole) {
  for (bool exists : {true, false}) {
    SCOPED_TRACE(exists ? "over an old list" : "a new file");
    TempTree tree;
    const std::string path = tree.Path("varu_ext.txt");
    if (exists) tree.File("varu_ext.txt", "*.old\r\n*.older\r\n");
    SetTypeListWriteLimitForTest(7);
    try {
      WriteTypeListFile(path, {"*.txt", "*.log"});
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot create file " + path + ": No space left on device");
    }
    SetTypeListWriteLimitForTest(std::nullopt);
    EXPECT_EQ(std::filesystem::exists(path), exists);
    if (exists) {
      EXPECT_EQ(Slurp(path), "*.old\r\n*.older\r\n");
    }
    std::size_t entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(tree.Root())) ++entries;
    EXPECT_EQ(entries, exists ? 1u : 0u) << "a temporary file was left behind";
    WriteTypeListFile(path, {"*.txt", "*.log"});  // a later save succeeds
    EXPECT_EQ(Slurp(path), "*.txt\r\n*.log\r\n");
  }
}

// A device in the file's place is neither written nor replaced by a new file.
TEST(TypeListFile, ADeviceInThePlaceIsRefused) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_THROW(WriteTypeListFile("/dev/full", {"*.txt"}), Error);
  EXPECT_THROW(WriteTypeListFile("/dev/full", {}), Error);
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST(TypeListFile, PlaceIsBesideTheExecutableWhenWritableOrAlreadyThere) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to drop privileges";
  TempTree tree;
  const std::string exeDir = tree.Dir("bin");
  const std::string config = tree.Path("config");
  const std::string exe = exeDir.substr(0, exeDir.size() - 1);
  ::chmod(tree.Root().c_str(), 0755);
  ::chmod(exe.c_str(), 0755);  // writable for root only

  EXPECT_EQ(ChooseTypeListPath(exe, config), exe + "/varu_ext.txt");
  // nobody may not write the folder: the configuration folder takes the file...
  EXPECT_EQ(testing::AsUnprivilegedUser([&] { return ChooseTypeListPath(exe, config); }),
            config + "/varu_ext.txt");
  // ...unless the file is already beside the executable.
  tree.File("bin/varu_ext.txt");
  EXPECT_EQ(testing::AsUnprivilegedUser([&] { return ChooseTypeListPath(exe, config); }),
            exe + "/varu_ext.txt");
}

}  // namespace
}  // namespace orvela
