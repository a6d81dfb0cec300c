#include <gtest/gtest.h>

#include "folders/file_type_list.h"

namespace orvela {
namespace {

using Entries = std::vector<std::string>;

TEST(FileTypeList, StartsWithTheTenDefaultsInOrder) {
  EXPECT_EQ(FileTypeList().Entries(), (Entries{"*.txt", "*.log", "*.htm", "*.html", "*.ini",
                                               "*.asp", "*.php", "*.jsp", "*.aspx", "*.cpp"}));
}

struct MembershipCase {
  std::string pattern;
  bool held;
};

TEST(FileTypeList, MembershipIsWholeStringWithAsciiCaseIgnored) {
  FileTypeList list;
  list.Assign({"*.txt", " *.log", "*", "*.\xC3\xA9"});
  for (const auto& c : std::vector<MembershipCase>{
           {"*.txt", true},
           {"*.TXT", true},
           {"*.Txt", true},
           {"*.tx", false},    // no prefix match
           {"*.txtx", false},  // no suffix match
           {"*.log", false},   // the entry's leading blank counts
           {" *.LOG", true},
           {"*", true},  // names without a dot
           {"", false},
           {"*.\xC3\xA9", true},  // bytes beyond ASCII compare exactly
           {"*.\xC3\x89", false},
       })
    EXPECT_EQ(list.Contains(c.pattern), c.held) << '"' << c.pattern << '"';
}

struct AddCase {
  std::string typed;
  Entries before;
  Entries after;
};

TEST(FileTypeList, AddLowerCasesAsciiAndSkipsWhatIsPresent) {
  for (const auto& c : std::vector<AddCase>{
           {"*.TXT", {"*.txt"}, {"*.txt"}},
           {"*.Md", {"*.txt"}, {"*.txt", "*.md"}},
           {"txt", {"*.txt"}, {"*.txt", "txt"}},  // no validation
           {"", {"*.txt"}, {"*.txt", ""}},        // empty text is an entry
           {"", {"", "*.txt"}, {"", "*.txt"}},
           {" *.A b", {}, {" *.a b"}},            // blanks kept
           {"*.\xC3\x89X", {}, {"*.\xC3\x89x"}},  // only A-Z change
           {"*.TXT", {"*.TXT"}, {"*.TXT"}},       // held in another case
       }) {
    FileTypeList list;
    list.Assign(c.before);
    EXPECT_EQ(list.Add(c.typed), c.after.size() > c.before.size()) << '"' << c.typed << '"';
    EXPECT_EQ(list.Entries(), c.after) << '"' << c.typed << '"';
  }
}

TEST(FileTypeList, DeleteRemovesOneEntryAndIgnoresPositionsOutside) {
  FileTypeList list;
  list.Assign({"a", "b", "c"});
  list.Delete(1);
  EXPECT_EQ(list.Entries(), (Entries{"a", "c"}));
  list.Delete(2);
  EXPECT_EQ(list.Entries(), (Entries{"a", "c"}));
  list.Delete(0);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 0u);
}

}  // namespace
}  // namespace orvela
