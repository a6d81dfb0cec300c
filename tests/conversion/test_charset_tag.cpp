#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "conversion/charset_tag.h"
#include "test_run_support.h"

namespace orvela {
namespace {

using testing::Big5;
using testing::Gbk;

TEST(CollapseSpaces, RunsOfSpacesBecomeOne) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"a", "a"},
      {"  ", " "},
      {"a  b", "a b"},
      {"a     b   c", "a b c"},
      {"   lead and trail   ", " lead and trail "},
      {"tabs\t\tstay \t  here", "tabs\t\tstay \t here"},
      {"no runs at all", "no runs at all"},
  };
  for (const Case& c : cases) EXPECT_EQ(CollapseSpaces(c.in), c.out) << '"' << c.in << '"';
}

TEST(CharsetTagTrigger, EveryModeThatChangesTheCodePageWithTheOptionOn) {
  for (ConversionMode mode : kAllModes) {
    int expected = mode == ConversionMode::RbGB2Big5 || mode == ConversionMode::RbGBK2Big5 ? 1
                   : mode == ConversionMode::RbBig52GB                                     ? 2
                   : mode == ConversionMode::RbBig52GBK                                    ? 3
                                                                                           : 0;
    EXPECT_EQ(CharsetTagDirection(mode, true), expected) << ModeName(mode);
    EXPECT_EQ(CharsetTagDirection(mode, false), 0) << ModeName(mode);
  }
}

struct TagCase {
  const char* what;
  int direction;
  std::string in, out;  // out == in: nothing changes
};

std::vector<TagCase> TagCases() {
  const std::string head = "<html><head>\r\n";
  return {
      {"direction 1, lower-case unquoted form", 1,
       head + "<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n</head>\r\n",
       head + "<meta http-equiv=Content-Type content=text/html;charset=big5>\r\n</head>\r\n"},
      {"direction 2, lower-case unquoted form", 2,
       head + "<meta http-equiv=content-type content=text/html;charset=big5>\r\n",
       head + "<meta http-equiv=content-type content=text/html;charset=GB2312>\r\n"},
      {"quoted form, quotes around the content stay", 1,
       head + "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=GB2312\">\r\n",
       head + "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=big5\">\r\n"},
      {"letter case and runs of spaces, indentation and tabs kept", 1,
       head + " \t  <meta   HTTP-equiv=Content-type   content=\"text/html;\tcharset=Gb2312\">\n",
       head + " \t  <meta   HTTP-equiv=Content-type   content=\"text/html;\tcharset=big5\">\n"},
      {"other content on the line is kept", 2,
       head + "<title>x</title> <Meta Http-Equiv=\"CONTENT-TYPE\" Content=\"text/html; "
              "charset=Big5\"><!-- big5 -->\r\n",
       head + "<title>x</title> <Meta Http-Equiv=\"CONTENT-TYPE\" Content=\"text/html; "
              "charset=GB2312\"><!-- big5 -->\r\n"},
      {"only the first occurrence on a line", 1,
       head + "<meta http-equiv=Content-Type content=\"text/html; charset=gb2312\"> gb2312\n",
       head + "<meta http-equiv=Content-Type content=\"text/html; charset=big5\"> gb2312\n"},
      {"two META lines are both rewritten", 1,
       head + "<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n" +
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\r\n",
       head + "<meta http-equiv=Content-Type content=text/html;charset=big5>\r\n" +
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">\r\n"},
      {"a META line naming another code page stays", 1,
       head + "<meta http-equiv=Content-Type content=text/html;charset=utf-8>\r\n",
       head + "<meta http-equiv=Content-Type content=text/html;charset=utf-8>\r\n"},
      {"direction 2 on a page that already says GB2312", 2,
       head + "<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n",
       head + "<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n"},
      {"a META on the first line", 1,
       "<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n</head>\r\n",
       "<meta http-equiv=Content-Type content=text/html;charset=big5>\r\n</head>\r\n"},
      {"a single line", 1, "<meta http-equiv=Content-Type content=text/html;charset=gb2312>",
       "<meta http-equiv=Content-Type content=text/html;charset=big5>"},
      {"content before http-equiv, single quotes", 1,
       head + "<meta content=\"text/html; charset=gb2312\" http-equiv=\"Content-Type\">\r\n" +
           "<meta http-equiv='Content-Type' content='text/html; charset = GB2312'>\r\n",
       head + "<meta content=\"text/html; charset=big5\" http-equiv=\"Content-Type\">\r\n" +
           "<meta http-equiv='Content-Type' content='text/html; charset = big5'>\r\n"},
      {"HTML5 in every quoting", 1,
       head + "<meta charset=\"gb2312\">\n<META CHARSET='GB2312'/>\n<meta charset=gb2312 />\n",
       head + "<meta charset=\"big5\">\n<META CHARSET='big5'/>\n<meta charset=big5 />\n"},
      {"the XML declaration", 1,
       "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<html><head></head>\n",
       "<?xml version=\"1.0\" encoding=\"big5\"?>\n<html><head></head>\n"},
      {"every GBK name becomes big5", 1,
       head + "<meta charset=gbk><meta charset=GB18030><meta charset=x-gbk>" +
           "<meta charset=cp936><meta charset=windows-936><meta charset=big5>\n",
       head + "<meta charset=big5><meta charset=big5><meta charset=big5>" +
           "<meta charset=big5><meta charset=big5><meta charset=big5>\n"},
      {"every Big5 name becomes GB2312", 2,
       head + "<meta charset=Big5-HKSCS><meta charset=x-x-big5><meta charset=cp950>" +
           "<meta charset=windows-950><meta charset=gbk>\n",
       head + "<meta charset=GB2312><meta charset=GB2312><meta charset=GB2312>" +
           "<meta charset=GB2312><meta charset=gbk>\n"},
      {"or gbk", 3, head + "<meta http-equiv=Content-Type content=\"text/html; charset=big5\">\n",
       head + "<meta http-equiv=Content-Type content=\"text/html; charset=gbk\">\n"},
      {"a charset word in the title, a comment or a script before stays", 1,
       head + "<title>charset=gb2312</title><!-- <meta charset=gb2312> -->\n" +
           "<script>document.write('<meta charset=gb2312>')</script>\n<meta charset=gb2312>\n",
       head + "<title>charset=gb2312</title><!-- <meta charset=gb2312> -->\n" +
           "<script>document.write('<meta charset=gb2312>')</script>\n<meta charset=big5>\n"},
      {"other http-equiv values are not declarations", 1,
       head + "<meta http-equiv=refresh content=\"0; charset=gb2312\">\n",
       head + "<meta http-equiv=refresh content=\"0; charset=gb2312\">\n"},
      {"</head> in any case stops the scan", 1,
       head + "</Head>\r\n<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n",
       head + "</Head>\r\n<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n"},
      {"<body> in any case stops the scan", 1,
       head + "<bOdY>\r\n<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n",
       head + "<bOdY>\r\n<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n"},
      {"the stop line itself is still handled", 1,
       head + "<meta http-equiv=Content-Type content=text/html;charset=gb2312></head>\r\n" +
           "<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n",
       head + "<meta http-equiv=Content-Type content=text/html;charset=big5></head>\r\n" +
           "<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n"},
      {"<body bgcolor=white> ends the head too", 1,
       head + "<body bgcolor=white>\r\n" +
           "<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n</body>\r\n",
       head + "<body bgcolor=white>\r\n" +
           "<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n</body>\r\n"},
      {"line breaks LF, CR and none at the end stay as they are", 1,
       "<html>\r<meta http-equiv=Content-Type content=text/html;charset=gb2312>\n\nend",
       "<html>\r<meta http-equiv=Content-Type content=text/html;charset=big5>\n\nend"},
      {"CR LF after the first line starts the second line", 1,
       "<html>\r\n<meta http-equiv=Content-Type content=text/html;charset=gb2312>",
       "<html>\r\n<meta http-equiv=Content-Type content=text/html;charset=big5>"},
      {"Big5 title with second bytes 0x61-0x7A on the META line is unchanged", 1,
       head + "<title>" + Big5("新可土在") + "</title><meta http-equiv=Content-Type " +
           "content=text/html;charset=gb2312>\r\n",
       head + "<title>" + Big5("新可土在") + "</title><meta http-equiv=Content-Type " +
           "content=text/html;charset=big5>\r\n"},
      {"no match starts inside a Big5 character (勺 is A4 63, 'c')", 1,
       head + "<meta http-equiv=Content-Type content=\"text/html; " + Big5("勺") +
           "harset=gb2312\">\r\n",
       head + "<meta http-equiv=Content-Type content=\"text/html; " + Big5("勺") +
           "harset=gb2312\">\r\n"},
      {"no match starts inside a GBK character (乧 is 81 63, 'c')", 2,
       head + "<meta http-equiv=Content-Type content=\"text/html; " + Gbk("乧") +
           "harset=big5\">\r\n",
       head + "<meta http-equiv=Content-Type content=\"text/html; " + Gbk("乧") +
           "harset=big5\">\r\n"},
      {"a double-byte character before the name stays", 1,
       head + "<meta name=" + Big5("土") + " charset=gb2312>\r\n",
       head + "<meta name=" + Big5("土") + " charset=big5>\r\n"},
      {"a stray lead byte does not hide the '<' after it", 1,
       head + "\xA4<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n",
       head + "\xA4<meta http-equiv=Content-Type content=text/html;charset=big5>\r\n"},
      {"plain text without META lines stays", 2, Gbk("第一行\n第二行 BIG5\n") + "<p>big5</p>\n",
       Gbk("第一行\n第二行 BIG5\n") + "<p>big5</p>\n"},
      {"nothing after a zero byte is examined", 1,
       head + std::string("\0\n", 2) + "<meta http-equiv=Content-Type content=charset=gb2312>\n",
       head + std::string("\0\n", 2) + "<meta http-equiv=Content-Type content=charset=gb2312>\n"},
      {"an empty text", 1, "", ""},
  };
}

TEST(AlterCharsetTagText, ChangesOnlyTheCharsetName) {
  for (const TagCase& c : TagCases()) {
    std::string text = c.in;
    bool changed = AlterCharsetTagText(c.direction, text);
    EXPECT_EQ(text, c.out) << c.what;
    EXPECT_EQ(changed, c.in != c.out) << c.what;
  }
}

class AlterCharsetTagFile : public ::testing::Test {
 protected:
  testing::TempDir dir;
  const std::string page =
      "<html>\n<meta http-equiv=Content-Type content=text/html;charset=gb2312>\n";
};

TEST_F(AlterCharsetTagFile, RewritesThePage) {
  std::string path = dir / "page.htm";
  testing::WriteFile(path, page);
  EXPECT_EQ(AlterCharsetTag(1, path), 1);
  EXPECT_EQ(testing::ReadFile(path),
            "<html>\n<meta http-equiv=Content-Type content=text/html;charset=big5>\n");
}

TEST_F(AlterCharsetTagFile, AFileWithNothingToChangeIsNotWritten) {
  std::string path = dir / "plain.txt";
  testing::WriteFile(path, "line one\nline two");
  const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  const ino_t inode = testing::Stat(path).st_ino;

  EXPECT_EQ(AlterCharsetTag(2, path), 1);
  EXPECT_EQ(testing::ReadFile(path), "line one\nline two");
  EXPECT_EQ(testing::Stat(path).st_ino, inode);
  EXPECT_EQ(testing::Stat(path).st_mtim.tv_sec, 1000000000);
}

TEST_F(AlterCharsetTagFile, OtherDirectionsAndUnreadableFilesGiveZero) {
  std::string path = dir / "page.htm";
  testing::WriteFile(path, page);
  for (int direction : {0, 4, -1}) EXPECT_EQ(AlterCharsetTag(direction, path), 0) << direction;
  EXPECT_EQ(testing::ReadFile(path), page);
  EXPECT_EQ(AlterCharsetTag(1, dir / "missing.htm"), 0);
  EXPECT_EQ(AlterCharsetTag(1, dir.path().string()), 0);  // a folder
}

TEST_F(AlterCharsetTagFile, ALinkedPageKeepsItsLink) {
  std::string target = dir / "page.htm";
  std::string link = dir / "link.htm";
  testing::WriteFile(target, page);
  ASSERT_EQ(::symlink("page.htm", link.c_str()), 0);
  EXPECT_EQ(AlterCharsetTag(1, link), 1);
  EXPECT_TRUE(S_ISLNK(testing::Stat(link).st_mode));
  EXPECT_NE(testing::ReadFile(target).find("charset=big5"), std::string::npos);
}

TEST(AlterCharsetTagUnprivileged, AFileThatMayNotBeWrittenGivesZeroAndStays) {
  testing::NobodyDir dir;
  const std::string page =
      "<html>\n<meta http-equiv=Content-Type content=text/html;charset=big5>\n";
  std::string path = dir.Add("page.htm", page, 0444);
  std::string result =
      testing::AsUnprivilegedUser([&] { return std::to_string(AlterCharsetTag(2, path)); });
  EXPECT_EQ(result, "0");
  EXPECT_EQ(testing::ReadFile(path), page);
  EXPECT_EQ(testing::CountEntries(dir.path()), 1u);
}

}  // namespace
}  // namespace orvela
