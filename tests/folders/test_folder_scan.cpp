#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "base/error.h"
#include "folders/file_type_list.h"
#include "folders/folder_scan.h"
#include "folders/posix_directory_search.h"
#include "tests/support/temp_tree.h"
#include "tests/support/unprivileged.h"

namespace orvela {
namespace {

using Entries = std::vector<std::string>;
using test::TempTree;

// The file list's side of an import: add-unless-present over exact paths.
struct Import {
  FileTypeList types;
  Entries added;
  std::set<std::string> present;
  int events = 0;
  std::function<void()> onEvent = [] {};

  ScanCallbacks Callbacks() {
    return {[this](const std::string& p) { return types.Contains(p); },
            [this](const std::string& p) {
              if (present.insert(p).second) added.push_back(p);
            },
            [this] {
              ++events;
              onEvent();
            }};
  }
  void Run(const std::string& dir, bool recursive) {
    PosixDirectorySearch search;
    if (recursive)
      IndexDisk(search, dir, Callbacks());
    else
      FlatScan(search, dir, Callbacks());
  }
  // Added paths relative to root, sorted.
  Entries Relative(const std::string& root) const {
    Entries rel;
    for (const auto& p : added) rel.push_back(p.rfind(root, 0) == 0 ? p.substr(root.size()) : p);
    std::sort(rel.begin(), rel.end());
    return rel;
  }
};

TEST(FolderScan, CandidatePatternIsStarAndTheExtension) {
  for (const auto& [name, pattern] : std::vector<std::pair<std::string, std::string>>{
           {"readme.TXT", "*.TXT"},
           {"a.tar.gz", "*.gz"},
           {".htaccess", "*.htaccess"},
           {"README", "*"},
           {"trailing.", "*."},
       })
    EXPECT_EQ(CandidatePattern(name), pattern) << name;
}

TEST(FolderScan, CurrentIsValidDirClassifiesEntries) {
  for (const auto& [rec, kind] : std::vector<std::pair<SearchRec, int>>{
           {{"a.txt", 0}, 0},
           {{"a.txt", faReadOnly | faHidden | faSysFile}, 0},
           {{"sub", faDirectory}, 1},
           {{".git", faDirectory | faHidden}, 1},
           {{".", faDirectory}, 2},
           {{"..", faDirectory}, 2},
           {{"...", faDirectory}, 1},
       })
    EXPECT_EQ(CurrentIsValidDir(rec), kind) << rec.Name;
}

TEST(FolderScan, FinalSeparatorIsAddedOnceAndTheRootKeepsItsOwn) {
  EXPECT_EQ(WithFinalSeparator("/"), "/");
  EXPECT_EQ(WithFinalSeparator("/home/texts"), "/home/texts/");
  EXPECT_EQ(WithFinalSeparator("/home/texts/"), "/home/texts/");
  EXPECT_EQ(WithFinalSeparator("/home/\xE6\x96\x87"), "/home/\xE6\x96\x87/");
}

TEST(FolderScan, EntryFilterOfTheThreeMasks) {
  struct Case {
    int attr;
    bool flat, folders, files;  // masks 33, 16, 47
  };
  for (const auto& c : std::vector<Case>{
           {0, true, true, true},
           {faReadOnly | faArchive, true, true, true},
           {faHidden, false, false, true},
           {faSysFile, false, false, true},
           {faVolumeID, false, false, true},
           {faDirectory, false, true, false},
           {faDirectory | faHidden, false, false, false},
       }) {
    EXPECT_EQ(PassesEntryFilter(c.attr, 33), c.flat) << c.attr;
    EXPECT_EQ(PassesEntryFilter(c.attr, 16), c.folders) << c.attr;
    EXPECT_EQ(PassesEntryFilter(c.attr, 47), c.files) << c.attr;
  }
}

std::map<std::string, int> Listing(const std::string& dir, int mask, bool readOnlyFlag = true) {
  PosixDirectorySearch search(readOnlyFlag);
  std::map<std::string, int> found;
  SearchRec rec;
  for (bool ok = search.FindFirst(dir + "*.*", mask, rec); ok; ok = search.FindNext(rec))
    found[rec.Name] = rec.Attr;
  search.FindClose();
  return found;
}

TEST(PosixDirectorySearch, FlagsFollowTheFileSystem) {
  TempTree tree;
  tree.File("plain.txt");
  tree.File(".hidden.txt");
  tree.Dir("sub");
  tree.Dir(".hiddendir");
  tree.Fifo("pipe.txt");
  tree.Link("tosub", "sub");
  tree.Link("tofile", "plain.txt");
  tree.Link("dangling", "nowhere");

  const auto all = Listing(tree.Root(), 47 | faDirectory);
  EXPECT_EQ(all, (std::map<std::string, int>{{".", faDirectory},
                                             {"..", faDirectory},
                                             {"plain.txt", 0},
                                             {".hidden.txt", faHidden},
                                             {"sub", faDirectory},
                                             {".hiddendir", faDirectory | faHidden},
                                             {"pipe.txt", faSysFile},
                                             {"tosub", faDirectory},
                                             {"tofile", 0},
                                             {"dangling", faSysFile | faReadOnly}}));
  auto names = [](const std::map<std::string, int>& m) {
    Entries n;
    for (auto& [name, attr] : m) n.push_back(name);
    return n;
  };
  EXPECT_EQ(names(Listing(tree.Root(), 33)), (Entries{"plain.txt", "tofile"}));
  EXPECT_EQ(names(Listing(tree.Root(), 16)),
            (Entries{".", "..", "plain.txt", "sub", "tofile", "tosub"}));
  EXPECT_EQ(names(Listing(tree.Root(), 47)),
            (Entries{".hidden.txt", "dangling", "pipe.txt", "plain.txt", "tofile"}));
}

TEST(PosixDirectorySearch, ReadOnlyMeansTheUserMayNotWrite) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to drop privileges";
  TempTree tree;
  ::chmod(tree.Root().c_str(), 0755);
  ::chmod(tree.File("mine.txt").c_str(), 0666);
  ::chmod(tree.File("roots.txt").c_str(), 0644);
  EXPECT_EQ(testing::AsUnprivilegedUser([&]() -> std::string {
              auto found = Listing(tree.Root(), 33);
              if (found["mine.txt"] != 0 || found["roots.txt"] != faReadOnly)
                return "wrong read-only flags";
              // Without the flag, the same entries are delivered.
              auto without = Listing(tree.Root(), 33, false);
              return without == std::map<std::string, int>{{"mine.txt", 0}, {"roots.txt", 0}}
                         ? "ok"
                         : "other entries without the flag";
            }),
            "ok");
}

TEST(PosixDirectorySearch, AMissingFolderDeliversNothing) {
  SearchRec rec;
  PosixDirectorySearch search;
  EXPECT_FALSE(search.FindFirst("/nonexistent-orvela/*.*", 47, rec));
  EXPECT_FALSE(FolderExists(""));
  EXPECT_FALSE(FolderExists("/nonexistent-orvela"));
  TempTree tree;
  EXPECT_TRUE(FolderExists(tree.Root()));
  EXPECT_FALSE(FolderExists(tree.File("a.txt")));
  tree.Link("link", tree.Root());
  EXPECT_TRUE(FolderExists(tree.Path("link")));
}

struct ScanCase {
  std::string name;
  std::function<void(const TempTree&)> build;
  bool recursive;
  Entries expected;  // relative to the chosen folder, sorted
  Entries types = FileTypeList::Defaults();
};

void Texts(const TempTree& t) {
  for (auto name : {"a.txt", "b.TXT", "c.doc", "README"}) t.File(name);
}

TEST(FolderScan, EdgeCasesOverRealTrees) {
  Entries withStar = FileTypeList::Defaults();
  withStar.push_back("*");
  const std::vector<ScanCase> cases{
      {"flat: listed types only, any letter case", Texts, false, {"a.txt", "b.TXT"}},
      {"recursive: the same", Texts, true, {"a.txt", "b.TXT"}},
      {"README only with \"*\" listed", Texts, false, {"README", "a.txt", "b.TXT"}, withStar},
      {"an empty type list takes nothing", Texts, true, {}, {}},
      {"a leading blank matches nothing", Texts, true, {}, {" *.txt", "txt", "*.*", ""}},
      {"a folder named notes.txt is no file (flat)",
       [](const TempTree& t) { t.File("notes.txt/inner.txt"); },
       false,
       {}},
      {"a folder named notes.txt is scanned (recursive)",
       [](const TempTree& t) { t.File("notes.txt/inner.txt"); },
       true,
       {"notes.txt/inner.txt"}},
      {"hidden file: skipped by the flat scan",
       [](const TempTree& t) { t.File(".h.txt"); },
       false,
       {}},
      {"hidden file: taken by the recursive scan, chosen folder and below",
       [](const TempTree& t) {
         t.File(".h.txt");
         t.File("sub/.g.log");
       },
       true,
       {".h.txt", "sub/.g.log"}},
      {"hidden folder: not entered",
       [](const TempTree& t) {
         t.File(".hid/x.txt");
         t.File("vis/y.txt");
       },
       true,
       {"vis/y.txt"}},
      {"system files: skipped flat",
       [](const TempTree& t) {
         t.Fifo("pipe.txt");
         t.Link("dangling.txt", "nowhere");
       },
       false,
       {}},
      {"system files: taken recursively",
       [](const TempTree& t) {
         t.Fifo("pipe.txt");
         t.Link("dangling.txt", "nowhere");
       },
       true,
       {"dangling.txt", "pipe.txt"}},
      {"link to a file is a file",
       [](const TempTree& t) {
         t.File("a.txt");
         t.Link("l.txt", "a.txt");
       },
       false,
       {"a.txt", "l.txt"}},
      {"a link to a folder is no file (flat)",
       [](const TempTree& t) {
         t.File("real/z.txt");
         t.Link("l.txt", "real");
       },
       false,
       {}},
      {"names are bytes: GBK names that are no UTF-8",
       [](const TempTree& t) { t.File("\xD6\xD0\xCE\xC4/\xCE\xC4.TXT"); },
       true,
       {"\xD6\xD0\xCE\xC4/\xCE\xC4.TXT"}},
      {"deep tree", [](const TempTree& t) { t.File("a/b/c/d/e.ini"); }, true, {"a/b/c/d/e.ini"}},
      {"empty folder", [](const TempTree&) {}, true, {}},
      {"no file of a listed type",
       [](const TempTree& t) {
         t.File("x.doc");
         t.File("sub/y.pdf");
       },
       true,
       {}},
  };
  for (const auto& c : cases) {
    TempTree tree;
    c.build(tree);
    Import scan;
    scan.types.Assign(c.types);
    scan.Run(tree.Root(), c.recursive);
    EXPECT_EQ(scan.Relative(tree.Root()), c.expected) << c.name;
    // A second import of the same folder adds nothing.
    const auto before = scan.added.size();
    scan.Run(tree.Root(), c.recursive);
    EXPECT_EQ(scan.added.size(), before) << c.name;
  }
}

TEST(FolderScan, LinkCyclesEndAndAFolderIsEnteredOnce) {
  TempTree tree;
  tree.File("top.txt");
  tree.File("sub/deep.txt");
  tree.Link("sub/up", "..");   // a cycle back to the chosen folder
  tree.Link("sub/self", ".");  // a cycle onto itself
  tree.File("shared/s.txt");
  tree.Link("one", "shared");  // two ways into one folder
  tree.Link("two", "shared");
  Import scan;
  scan.Run(tree.Root(), true);
  const Entries rel = scan.Relative(tree.Root());
  EXPECT_EQ(std::count(rel.begin(), rel.end(), "top.txt"), 1);
  EXPECT_EQ(std::count(rel.begin(), rel.end(), "sub/deep.txt"), 1);
  EXPECT_EQ(std::count_if(rel.begin(), rel.end(),
                          [](const std::string& p) { return p.ends_with("s.txt"); }),
            1);
  EXPECT_EQ(rel.size(), 3u);
}

TEST(FolderScan, LinkToAFolderElsewhereIsEntered) {
  TempTree outside;
  outside.File("far.txt");
  TempTree tree;
  tree.Link("ext", outside.Root());
  Import scan;
  scan.Run(tree.Root(), true);
  EXPECT_EQ(scan.added, Entries{tree.Path("ext/far.txt")});
}

// Names in the order the file system lists them.
Entries ListingOrder(const std::string& dir) {
  Entries names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    names.push_back(e.path().filename().string());
  return names;
}

TEST(FolderScan, EachFolderBeforeItsSubfoldersInListingOrder) {
  TempTree tree;
  for (auto f : {"x", "y", "z"}) {
    tree.File(std::string(f) + ".txt");
    for (auto g : {"p", "q"}) {
      tree.File(std::string(f) + "/" + g + ".txt");
      tree.File(std::string(f) + "/" + g + "/deep.txt");
    }
  }
  Import scan;
  scan.Run(tree.Root(), true);

  // Expected order built from the listings: the folder's files, then each subfolder.
  Entries expected;
  std::function<void(const std::string&)> walk = [&](const std::string& dir) {
    Entries subs;
    for (const auto& name : ListingOrder(dir))
      if (std::filesystem::is_directory(dir + name)) subs.push_back(name);
    for (const auto& name : ListingOrder(dir))
      if (!std::filesystem::is_directory(dir + name)) expected.push_back(dir + name);
    for (const auto& s : subs) walk(dir + s + "/");
  };
  walk(tree.Root());
  EXPECT_EQ(scan.added, expected);
  EXPECT_EQ(scan.added.size(), 3u + 6u + 6u);
}

TEST(FolderScan, FlatScanKeepsListingOrder) {
  TempTree tree;
  Texts(tree);
  Import scan;
  scan.Run(tree.Root(), false);
  Entries expected;
  for (const auto& name : ListingOrder(tree.Root()))
    if (name == "a.txt" || name == "b.TXT") expected.push_back(tree.Root() + name);
  EXPECT_EQ(scan.added, expected);
}

TEST(FolderScan, EventsRunAfterEveryEntryOfTheRecursiveScanOnly) {
  TempTree tree;
  tree.File("a.txt");
  tree.File(".h.doc");
  tree.Dir("sub");
  Import scan;
  scan.Run(tree.Root(), false);
  EXPECT_EQ(scan.events, 0);
  scan.Run(tree.Root(), true);
  // Root: first pass ".", "..", a.txt, sub; second pass a.txt, .h.doc. sub: ".", "..".
  EXPECT_EQ(scan.events, 8);
}

TEST(FolderScan, TheScanGoesOnWithTheListsAsAnEventLeftThem) {
  TempTree tree;
  tree.File("a.txt");
  tree.File("sub/b.txt");
  tree.File("sub/c.log");
  Import scan;
  scan.types.Assign({"*.txt"});
  bool edited = false;
  scan.onEvent = [&] {
    if (!edited && scan.added.size() == 1) {
      // Meanwhile the user deletes "*.txt", adds "*.log" and clears the file list.
      scan.types.Assign({"*.log"});
      scan.added.clear();
      scan.present.clear();
      edited = true;
    }
  };
  scan.Run(tree.Root(), true);
  EXPECT_EQ(scan.added, Entries{tree.Path("sub/c.log")});
}

int OpenDescriptors() {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                        std::filesystem::directory_iterator()));
}

TEST(FolderScan, AnErrorFromTheFileListEndsTheImportAndKeepsWhatWasAdded) {
  TempTree tree;
  for (auto name : {"a.txt", "b.txt", "c.txt"}) tree.File("sub/" + std::string(name));
  Entries added;
  int openWhileAdding = 0;
  const int before = OpenDescriptors();
  ScanCallbacks callbacks{[](const std::string&) { return true; },
                          [&](const std::string& p) {
                            openWhileAdding = std::max(openWhileAdding, OpenDescriptors());
                            if (added.size() == 2) throw UnableToInsertLine();
                            added.push_back(p);
                          },
                          [] {}};
  PosixDirectorySearch search;
  EXPECT_THROW(IndexDisk(search, tree.Root(), callbacks), Error);
  EXPECT_EQ(added.size(), 2u);
  // No folder stays open while the scan works through a listing.
  EXPECT_LE(openWhileAdding, before + 1);
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(FolderScan, AMissingFolderAddsNothing) {
  Import scan;
  scan.Run("/nonexistent-orvela/", true);
  scan.Run("/nonexistent-orvela/", false);
  EXPECT_TRUE(scan.added.empty());
}

TEST(FolderScan, TheRootFolderKeepsItsSingleSeparator) {
  // Every non-hidden regular file directly in "/", whatever its type.
  Import scan;
  scan.types.Assign({});
  Entries expected;
  for (const auto& e : std::filesystem::directory_iterator("/")) {
    const std::string name = e.path().filename().string();
    if (name[0] == '.' || !e.is_regular_file()) continue;
    scan.types.Add(CandidatePattern(name));
    expected.push_back("/" + name);
  }
  scan.Run(WithFinalSeparator("/"), false);
  std::sort(expected.begin(), expected.end());
  Entries got = scan.added;
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, expected);
  const auto before = scan.added.size();
  scan.Run("/", false);
  EXPECT_EQ(scan.added.size(), before);
}

}  // namespace
}  // namespace orvela
