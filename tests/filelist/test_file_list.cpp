#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "base/error.h"
#include "filelist/file_list.h"

namespace orvela {
namespace {

// "A B C D E" with the given letters selected.
void Fill(FileList& list, const std::string& entries, const std::string& selected) {
  for (char c : entries) list.Append(std::string(1, c));
  for (long i = 0; i < list.Count(); ++i)
    list.SetSelected(i, selected.find(list.Path(i)[0]) != std::string::npos);
}

std::string Entries(const FileList& list) {
  std::string s;
  for (long i = 0; i < list.Count(); ++i) s += list.Path(i);
  return s;
}

std::string SelectedEntries(const FileList& list) {
  std::string s;
  for (long i = 0; i < list.Count(); ++i)
    if (list.Selected(i)) s += list.Path(i);
  return s;
}

TEST(FileListCommands, MoveAndRemoveTable) {
  enum class Command { Up, Down, Remove };
  struct Case {
    const char* entries;
    const char* selected;
    Command command;
    const char* after;
  } cases[] = {
      {"ABCDE", "BCE", Command::Up, "BCAED"},
      {"ABCDE", "BCE", Command::Down, "ADBCE"},
      {"ABCDE", "AB", Command::Up, "ABCDE"},    // a run at the top stays
      {"ABCDE", "DE", Command::Down, "ABCDE"},  // a run at the bottom stays
      {"ABCDE", "ABCDE", Command::Up, "ABCDE"},
      {"ABCDE", "ABCDE", Command::Down, "ABCDE"},
      {"ABCDE", "", Command::Up, "ABCDE"},
      {"ABCDE", "", Command::Down, "ABCDE"},
      {"ABCDE", "AC", Command::Up, "ACBDE"},
      {"ABCDE", "E", Command::Up, "ABCED"},
      {"ABCDE", "A", Command::Down, "BACDE"},
      {"ABCDE", "BD", Command::Remove, "ACE"},
      {"ABCDE", "ABCDE", Command::Remove, ""},
      {"ABCDE", "", Command::Remove, "ABCDE"},
      {"", "", Command::Remove, ""},
      {"", "", Command::Up, ""},
  };
  for (const Case& c : cases) {
    FileList list;
    Fill(list, c.entries, c.selected);
    switch (c.command) {
      case Command::Up:
        list.MoveUp();
        break;
      case Command::Down:
        list.MoveDown();
        break;
      case Command::Remove:
        list.RemoveSelected();
        break;
    }
    const std::string label = std::string(c.entries) + " sel " + c.selected;
    EXPECT_EQ(Entries(list), c.after) << label;
    // Moves keep every selected entry selected; a removal leaves none.
    if (c.command != Command::Remove) {
      std::string expected;
      for (char e : std::string(c.after))
        if (std::string(c.selected).find(e) != std::string::npos) expected += e;
      EXPECT_EQ(SelectedEntries(list), expected) << label;
    } else {
      EXPECT_EQ(SelectedEntries(list), "") << label;
    }
  }
}

TEST(FileListCommands, MovesKeepTheIndexInStep) {
  FileList list;
  Fill(list, "ABCDE", "BCE");
  list.MoveUp();
  list.MoveDown();
  for (const char* p : {"A", "B", "C", "D", "E"}) {
    EXPECT_TRUE(list.Contains(p)) << p;
    EXPECT_EQ(list.Path(list.Find(p)), p);
  }
  EXPECT_FALSE(list.AddUnlessPresent("C"));
  list.RemoveSelected();
  EXPECT_EQ(Entries(list), "AD");
  EXPECT_FALSE(list.Contains("B"));
  EXPECT_TRUE(list.AddUnlessPresent("B"));
  EXPECT_EQ(list.Find("B"), 2);
}

TEST(FileListAddUnlessPresent, ComparesPathsExactlyAsTheFileSystemDoes) {
  FileList list;
  EXPECT_TRUE(list.AddUnlessPresent("/texts/a.txt"));
  struct Case {
    const char* path;
    bool added;
  } cases[] = {
      {"/texts/a.txt", false}, {"/Texts/A.TXT", true},  // another file on Linux
      {"/texts/a.txt ", true}, {"/texts//a.txt", true}, {"/texts/./a.txt", true},
      {"/texts/a.txt", false}, {"/Texts/A.TXT", false}, {"/文本/甲.txt", true},
      {"/文本/甲.txt", false},
  };
  for (const Case& c : cases) EXPECT_EQ(list.AddUnlessPresent(c.path), c.added) << c.path;
  EXPECT_EQ(list.Count(), 6);
  EXPECT_EQ(list.Find("/Texts/A.TXT"), 1);
  EXPECT_EQ(list.Find("/TEXTS/a.txt"), -1);
}

TEST(FileListAddUnlessPresent, FindsTheFirstOfTwoEqualEntries) {
  FileList list;
  list.Append("x");
  list.Append("y");
  list.Append("x");  // a drop appends without the test
  EXPECT_EQ(list.Find("x"), 0);
  list.Delete(0);
  EXPECT_EQ(list.Find("x"), 1);
  list.Delete(1);
  EXPECT_EQ(list.Find("x"), -1);
  EXPECT_TRUE(list.AddUnlessPresent("x"));
}

TEST(FileListAddUnlessPresent, ReplaceMovesThePathInTheIndex) {
  FileList list;
  list.Append("old");
  list.Replace(0, "new");
  EXPECT_TRUE(list.AddUnlessPresent("old"));
  EXPECT_FALSE(list.AddUnlessPresent("new"));
  list.Replace(1, "new");  // both entries now hold "new"
  list.Delete(0);
  EXPECT_FALSE(list.AddUnlessPresent("new"));
  list.Clear();
  EXPECT_TRUE(list.AddUnlessPresent("new"));
}

TEST(FileListErrors, IndexOutOfBoundsNamesTheIndex) {
  FileList list;
  struct Case {
    long index;
    const char* message;
  } cases[] = {{-1, "List index out of bounds (-1)"}, {0, "List index out of bounds (0)"}};
  for (const Case& c : cases) {
    try {
      list.Path(c.index);
      ADD_FAILURE() << c.index;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  list.Append("a");
  EXPECT_THROW(list.Path(1), Error);
  EXPECT_THROW(list.Delete(1), Error);
  EXPECT_THROW(list.Replace(-1, "b"), Error);
  EXPECT_THROW(list.SetSelected(5, true), Error);
  EXPECT_EQ(list.Path(0), "a");
}

TEST(FileListErrors, AFullListRefusesTheAppendAndKeepsWhatItHolds) {
  FileList list(3);
  list.Append("a");
  list.Append("b");
  list.Append("c");
  try {
    list.Append("d");
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Unable to insert a line");
  }
  EXPECT_THROW(list.AddUnlessPresent("d"), Error);
  EXPECT_FALSE(list.AddUnlessPresent("a"));  // present: nothing to insert, no error
  EXPECT_EQ(Entries(list), "abc");
  EXPECT_FALSE(list.Contains("d"));
}

TEST(FileListCurrent, FollowsTheEntriesThatStay) {
  FileList list;
  EXPECT_EQ(list.Current(), -1);
  Fill(list, "ABCDE", "");
  EXPECT_EQ(list.Current(), 0);
  list.SetCurrent(3);  // D
  list.SetSelected(0, true);
  list.SetSelected(1, true);
  list.RemoveSelected();
  EXPECT_EQ(list.Path(list.Current()), "D");
  list.Delete(list.Count() - 1);
  list.Delete(list.Count() - 1);  // D itself goes: the current item stays inside the list
  EXPECT_EQ(list.Current(), list.Count() - 1);
  list.Clear();
  EXPECT_EQ(list.Current(), -1);
}

TEST(FileListScale, TenThousandDistinctPathsAndTheirDuplicates) {
  FileList list;
  for (int i = 0; i < 10000; ++i)
    ASSERT_TRUE(list.AddUnlessPresent("/data/" + std::to_string(i) + ".txt"));
  for (int i = 0; i < 10000; i += 7)
    ASSERT_FALSE(list.AddUnlessPresent("/data/" + std::to_string(i) + ".txt"));
  EXPECT_EQ(list.Count(), 10000);
  EXPECT_EQ(list.Find("/data/9999.txt"), 9999);
}

}  // namespace
}  // namespace orvela

namespace orvela {
namespace {

// The index against the plain linear search, over long random sequences of every
// operation: results must be the same as if there were no index.
TEST(FileListIndex, AgreesWithALinearSearchUnderRandomOperations) {
  std::mt19937 random(20261211);
  FileList list;
  std::vector<std::string> reference;
  std::vector<bool> selected;
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto somePath = [&] { return "/p/" + std::to_string(pick(300)); };
  auto linearFind = [&](const std::string& p) -> long {
    auto it = std::find(reference.begin(), reference.end(), p);
    return it == reference.end() ? -1 : it - reference.begin();
  };
  for (int step = 0; step < 40000; ++step) {
    const int n = static_cast<int>(reference.size());
    switch (pick(20)) {
      case 0:
      case 1:
      case 2:
      case 3: {
        const std::string p = somePath();
        const bool absent = linearFind(p) < 0;
        ASSERT_EQ(list.AddUnlessPresent(p), absent) << step;
        if (absent) reference.push_back(p), selected.push_back(false);
        break;
      }
      case 4:
      case 5: {
        const std::string p = somePath();
        list.Append(p);
        reference.push_back(p), selected.push_back(false);
        break;
      }
      case 6:
      case 7:
        if (n) {
          const int i = pick(n);
          list.Delete(i);
          reference.erase(reference.begin() + i), selected.erase(selected.begin() + i);
        }
        break;
      case 8:
        if (n) {
          const int i = pick(n);
          const std::string p = somePath();
          list.Replace(i, p);
          reference[i] = p;
        }
        break;
      case 9:
      case 10:
        if (n) {
          const int i = pick(n);
          list.SetSelected(i, !selected[i]);
          selected[i] = !selected[i];
        }
        break;
      case 11:
        list.MoveUp();
        for (int i = 1; i < n; ++i)
          if (selected[i] && !selected[i - 1]) {
            std::swap(reference[i], reference[i - 1]);
            selected[i - 1] = true, selected[i] = false;
          }
        break;
      case 12:
        list.MoveDown();
        for (int i = n - 2; i >= 0; --i)
          if (selected[i] && !selected[i + 1]) {
            std::swap(reference[i], reference[i + 1]);
            selected[i + 1] = true, selected[i] = false;
          }
        break;
      case 13:
        list.RemoveSelected();
        for (int i = n - 1; i >= 0; --i)
          if (selected[i])
            reference.erase(reference.begin() + i), selected.erase(selected.begin() + i);
        break;
      case 14:
        if (pick(50) == 0) list.Clear(), reference.clear(), selected.clear();
        break;
      default: {
        const std::string p = somePath();
        ASSERT_EQ(list.Find(p), linearFind(p)) << step << " " << p;
        ASSERT_EQ(list.Contains(p), linearFind(p) >= 0) << step;
      }
    }
    ASSERT_EQ(list.Count(), static_cast<long>(reference.size())) << step;
  }
  for (long i = 0; i < list.Count(); ++i) {
    EXPECT_EQ(list.Path(i), reference[i]);
    EXPECT_EQ(list.Selected(i), selected[i]);
  }
}

}  // namespace
}  // namespace orvela
