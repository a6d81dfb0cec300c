#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "filelist/file_list.h"
#include "filelist/non_text_file.h"

namespace orvela {
namespace {

TEST(IsNonTextFile, EndingsWithoutADot) {
  struct Case {
    const char* name;
    bool refused;
  } cases[] = {
      {"C:/Setup.EXE", true},
      {"D:/Tools/readme.Pif", true},
      {"D:/Tools/WinRAR", true},  // a folder: no dot is looked for
      {"/a.docx", false},
      {"/a.jpeg", false},
      {"/page.html", false},
      {"/notes.txt", false},
      {"/readme.exe.txt", false},
      {"/D/Texts", false},
      {"exe", true},
      {"xe", false},
      {"", false},
      {"/x.dll", true},
      {"/x.gif", true},
      {"/x.jpg", true},
      {"/x.bmp", true},
      {"/x.doc", true},
      {"/x.xls", true},
      {"/x.avi", true},
      {"/x.rar", true},
      {"/x.zip", true},
      {"/x.lnk", true},
      {"/x.flv", true},
      {"/x.ppt", true},
      {"/x.SwF", true},
      {"/x.png", false},
  };
  for (NameEncoding encoding :
       {NameEncoding::SingleByte, NameEncoding::Utf8, NameEncoding::DoubleByte})
    for (const Case& c : cases)
      EXPECT_EQ(IsNonTextFile(c.name, encoding), c.refused)
          << c.name << " encoding " << static_cast<int>(encoding);
}

TEST(IsNonTextFile, TheEndingMustBeginACharacterInGbk) {
  // 0xB0 opens a GBK character whose second byte is 'e': the last three bytes
  // "exe" begin inside that character, so they are not the ending "exe".
  const std::string inside =
      "/a\xB0"
      "exe";
  EXPECT_FALSE(IsNonTextFile(inside, NameEncoding::DoubleByte));
  // After a whole character ("\xB0\xA1") the same three bytes are the ending.
  const std::string after =
      "/a\xB0\xA1"
      "exe";
  EXPECT_TRUE(IsNonTextFile(after, NameEncoding::DoubleByte));
  // A single-byte reading sees the ending in both.
  EXPECT_TRUE(IsNonTextFile(inside, NameEncoding::SingleByte));
  // A GB18030 four-byte character ends just before the ending.
  const std::string fourByte =
      "/\x81\x30\x81\x30"
      "zip";
  EXPECT_TRUE(IsNonTextFile(fourByte, NameEncoding::DoubleByte));
}

TEST(IsNonTextFile, Utf8NamesEndingInChineseOrTheEnding) {
  EXPECT_FALSE(IsNonTextFile("/文本/说明", NameEncoding::Utf8));
  EXPECT_TRUE(IsNonTextFile("/文本/安装.exe", NameEncoding::Utf8));
  EXPECT_TRUE(IsNonTextFile("/文本/安装exe", NameEncoding::Utf8));
}

TEST(IsNonTextFile, TheLocaleDecidesTheEncoding) {
  const std::string saved = std::setlocale(LC_CTYPE, nullptr);
  ASSERT_TRUE(std::setlocale(LC_CTYPE, "C.UTF-8"));
  EXPECT_EQ(LocaleNameEncoding(), NameEncoding::Utf8);
  ASSERT_TRUE(std::setlocale(LC_CTYPE, "C"));
  EXPECT_EQ(LocaleNameEncoding(), NameEncoding::SingleByte);
  // Single-byte: the last three bytes always begin a character.
  EXPECT_TRUE(
      IsNonTextFile("/a\xB0"
                    "exe"));
  std::setlocale(LC_CTYPE, saved.c_str());
}

// What a drop does to the list: names in order, the refused ones skipped, no
// duplicate test.
TEST(DroppedNames, FiveNamesTwoRefusedAppendedAfterTheExistingEntries) {
  FileList list;
  list.Append("/texts/old.txt");
  const char* dropped[] = {"/texts/a.txt", "/bin/Setup.EXE", "/texts/old.txt", "/tools/WinRAR",
                           "/texts/folder"};
  for (const char* name : dropped)
    if (!IsNonTextFile(name, NameEncoding::Utf8)) list.Append(name);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Path(1), "/texts/a.txt");
  EXPECT_EQ(list.Path(2), "/texts/old.txt");  // listed twice now
  EXPECT_EQ(list.Path(3), "/texts/folder");
}

}  // namespace
}  // namespace orvela
