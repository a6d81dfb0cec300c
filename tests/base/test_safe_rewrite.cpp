#include "base/safe_rewrite.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "base/error.h"
#include "base/whole_file.h"
#include "tests/support/temp_files.h"

namespace orvela {
namespace {

using testing::CountEntries;
using testing::ReadFile;
using testing::Stat;
using testing::WriteFile;

// Reads the file and rewrites it with bytes, as the run does.
void Rewrite(const std::string& path, std::string_view bytes) {
  WholeFile file = ReadWholeFile(path);
  if (!file.bytes) throw std::runtime_error("cannot read " + path + ": " + file.whyNot);
  SafeRewrite(file.at, bytes, path);
}

// What a rewrite that failed said: its message, or "written".
std::string Outcome(const std::function<void()>& rewrite) {
  try {
    rewrite();
    return "written";
  } catch (const std::exception& e) {
    return e.what();
  }
}

class SafeRewriteTest : public ::testing::Test {
 protected:
  void TearDown() override {
    FailWritesAfterForTesting(std::nullopt);
    SetRewriteHookForTesting({});
  }
  testing::TempDir dir;
};

TEST_F(SafeRewriteTest, ReplacesTheContentAndKeepsThePermissionBits) {
  // A user to whom permissions apply may not write a read-only file; root may, as sed -i does.
  const bool root = ::geteuid() == 0;
  for (bool hardLinked : {false, true}) {
    for (mode_t mode : {0600, 0640, 0755, 02755, 0444}) {
      SCOPED_TRACE(std::to_string(mode) + (hardLinked ? " hard-linked" : ""));
      std::string path = dir / "file.txt";
      WriteFile(path, "old text, longer than the new one");
      ASSERT_EQ(::chmod(path.c_str(), mode), 0);
      ASSERT_EQ(Stat(path).st_mode & 07777, mode);
      if (hardLinked) {
        ASSERT_EQ(::link(path.c_str(), (dir / "link.txt").c_str()), 0);
      }
      const bool writable = root || (mode & 0200);
      EXPECT_EQ(Outcome([&] { Rewrite(path, "new"); }),
                writable ? "written" : "Cannot create file " + path + ": Permission denied");
      EXPECT_EQ(ReadFile(path), writable ? "new" : "old text, longer than the new one");
      EXPECT_EQ(Stat(path).st_mode & 07777, mode);
      EXPECT_EQ(CountEntries(dir.path()), hardLinked ? 2u : 1u) << "a file of ours was left";
      ::unlink(path.c_str());
      ::unlink((dir / "link.txt").c_str());
    }
  }
}

TEST_F(SafeRewriteTest, GrowsAndEmpties) {
  std::string path = dir / "file.txt";
  WriteFile(path, "ab");
  const std::string big(3 << 20, 'x');
  Rewrite(path, big);
  EXPECT_EQ(ReadFile(path), big);
  Rewrite(path, "");
  EXPECT_EQ(ReadFile(path), "");
}

TEST_F(SafeRewriteTest, KeepsTheOwnerWhenRootRewritesAnotherUsersFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can own a file for another user";
  std::string path = dir / "file.txt";
  WriteFile(path, "old");
  ASSERT_EQ(::chown(path.c_str(), testing::kNobody, testing::kNobody), 0);
  Rewrite(path, "new");
  EXPECT_EQ(Stat(path).st_uid, testing::kNobody);
  EXPECT_EQ(Stat(path).st_gid, testing::kNobody);
}

TEST_F(SafeRewriteTest, ASymbolicLinkRewritesItsTargetAndStaysALink) {
  std::filesystem::create_directory(dir.path() / "real");
  std::string target = dir / "real/file.txt";
  std::string link = dir / "link.txt";
  WriteFile(target, "old");
  ASSERT_EQ(::symlink("real/file.txt", link.c_str()), 0);
  Rewrite(link, "new");
  EXPECT_TRUE(S_ISLNK(Stat(link).st_mode));
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(CountEntries(dir.path() / "real"), 1u);
}

TEST_F(SafeRewriteTest, AHardLinkedFileIsRewrittenInPlaceAndItsRecoveryCopyRemoved) {
  std::string first = dir / "first.txt";
  std::string second = dir / "second.txt";
  WriteFile(first, "old text that is long");
  ASSERT_EQ(::link(first.c_str(), second.c_str()), 0);
  const ino_t inode = Stat(first).st_ino;
  bool copySeen = false;
  SetRewriteHookForTesting([&](RewriteStep step, const std::string&) {
    if (step == RewriteStep::kRecoveryFlushed)
      copySeen = ReadFile(dir / ".first.txt.orvela-recovery") == "old text that is long";
  });
  Rewrite(first, "new");
  EXPECT_TRUE(copySeen) << "no complete copy of the original before it was overwritten";
  EXPECT_EQ(ReadFile(first), "new");
  EXPECT_EQ(ReadFile(second), "new");
  EXPECT_EQ(Stat(first).st_ino, inode);
  EXPECT_EQ(CountEntries(dir.path()), 2u);
}

TEST_F(SafeRewriteTest, AWriteFailingMidwayLeavesTheOriginalIntact) {
  const std::string original = "the original text\r\n第二行\r\n";
  const std::string replacement(100000, 'n');
  for (bool hardLinked : {false, true}) {
    for (std::size_t failAfter : {std::size_t{0}, std::size_t{1}, std::size_t{65536}}) {
      testing::TempDir folder(dir.path());  // one case's own folder
      std::string path = folder / "file.txt";
      WriteFile(path, original);
      if (hardLinked) {
        ASSERT_EQ(::link(path.c_str(), (folder / "other.txt").c_str()), 0);
      }
      FailWritesAfterForTesting(failAfter);
      const std::string outcome = Outcome([&] { Rewrite(path, replacement); });
      FailWritesAfterForTesting(std::nullopt);
      SCOPED_TRACE(std::string(hardLinked ? "hard-linked" : "single name") + ", failing after " +
                   std::to_string(failAfter) + " bytes");
      EXPECT_EQ(outcome, "Cannot create file " + path + ": No space left on device");
      EXPECT_EQ(ReadFile(path), original);
      EXPECT_EQ(CountEntries(folder.path()), hardLinked ? 2u : 1u);
    }
  }
}

// A new file is created only where its folder is: nothing is left anywhere.
TEST_F(SafeRewriteTest, AFileInAMissingFolderCannotBeCreated) {
  const std::string path = dir / "gone/file.txt";
  EXPECT_EQ(Outcome([&] { SaveFile(path, "new"); }),
            "Cannot create file " + path + ": No such file or directory");
  EXPECT_EQ(CountEntries(dir.path()), 0u);
}

// Between the read and the rewrite the name is swapped or the file changed, at each point of
// the rewrite where that can happen: nothing is written anywhere, and nothing of ours is left.
TEST_F(SafeRewriteTest, ANameSwappedOrAFileChangedAfterTheReadIsNotWritten) {
  testing::TempDir elsewhere(dir.path());
  const std::string secret = elsewhere / "secret";
  const std::string other = elsewhere / "other";
  struct Change {
    const char* what;
    std::function<void(const std::string& path)> make;
    std::string after;  // the file's content once changed; "" for a symbolic link to secret
  } changes[] = {
      {"a link to another file",
       [&](const std::string& p) {
         ::unlink(p.c_str());
         ASSERT_EQ(::symlink(secret.c_str(), p.c_str()), 0);
       },
       ""},
      {"another file renamed over it",
       [&](const std::string& p) { ASSERT_EQ(std::rename(other.c_str(), p.c_str()), 0); },
       "other file"},
      {"its name removed", [](const std::string& p) { ::unlink(p.c_str()); }, "(none)"},
      {"appended to", [](const std::string& p) { std::ofstream(p, std::ios::app) << "appended\n"; },
       "old text\nappended\n"},
      {"rewritten at the same size",
       [](const std::string& p) { std::ofstream(p, std::ios::in | std::ios::out) << "OLD"; },
       "OLD text\n"},
      {"given other permission bits", [](const std::string& p) { ::chmod(p.c_str(), 0640); },
       "old text\n"},
  };
  const struct {
    RewriteStep step;
    bool hardLinked;
  } points[] = {{RewriteStep::kStart, false},
                {RewriteStep::kNewTextNamed, false},
                {RewriteStep::kChecked, false},
                {RewriteStep::kStart, true},
                {RewriteStep::kRecoveryFlushed, true}};
  for (const Change& change : changes) {
    for (const auto& point : points) {
      SCOPED_TRACE(std::string(change.what) + " at step " +
                   std::to_string(static_cast<int>(point.step)) +
                   (point.hardLinked ? ", hard-linked" : ""));
      testing::TempDir folder(dir.path());  // one case's own folder
      const std::string path = folder / "file.txt";
      WriteFile(path, "old text\n");
      ::chmod(path.c_str(), 0644);
      // An older modification time, so that a change within the clock's tick still shows.
      const struct timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
      ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), past, 0), 0);
      WriteFile(secret, "secret");
      WriteFile(other, "other file");
      if (point.hardLinked) {
        ASSERT_EQ(::link(path.c_str(), (folder / "link.txt").c_str()), 0);
      }
      SetRewriteHookForTesting([&](RewriteStep step, const std::string&) {
        if (step == point.step) change.make(path);
      });
      EXPECT_EQ(Outcome([&] { Rewrite(path, "new text\n"); }), kReplacedOrChanged);
      SetRewriteHookForTesting({});
      EXPECT_EQ(ReadFile(secret), "secret");
      if (change.after.empty()) {
        EXPECT_TRUE(S_ISLNK(Stat(path).st_mode));
      } else if (change.after == "(none)") {
        EXPECT_FALSE(std::filesystem::exists(path));
      } else {
        EXPECT_EQ(ReadFile(path), change.after);
      }
      EXPECT_EQ(CountEntries(folder.path()),
                (change.after == "(none)" ? 0u : 1u) + (point.hardLinked ? 1u : 0u))
          << "a file of ours was left behind";
    }
  }
}

// A rewrite killed at each of its points leaves, at every instant, the complete original on
// disk: in the file or in a recovery copy that a later run finds.
TEST_F(SafeRewriteTest, AKillAtAnyPointLeavesTheCompleteOriginalOnDisk) {
  const std::string oldText(100, 'o'), newText(100, 'n');
  const std::string mixed = newText.substr(0, 50) + oldText.substr(50);
  struct Case {
    bool hardLinked;
    RewriteStep step;
    std::string file;   // what the file holds after the kill
    bool newTextLeft;   // a new text under its temporary name, for the next run to remove
    bool recoveryCopy;  // the original's copy beside the file
  } cases[] = {
      {false, RewriteStep::kStart, oldText, false, false},
      {false, RewriteStep::kNewTextFlushed, oldText, false, false},
      {false, RewriteStep::kNewTextNamed, oldText, true, false},
      {true, RewriteStep::kStart, oldText, false, false},
      {true, RewriteStep::kRecoveryFlushed, oldText, false, true},
      {true, RewriteStep::kHalfWritten, mixed, false, true},
      {true, RewriteStep::kWrittenInPlace, newText, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.hardLinked ? "hard-linked" : "single name") + ", killed at step " +
                 std::to_string(static_cast<int>(c.step)));
    testing::TempDir folder(dir.path());  // one case's own folder
    const std::string path = folder / "file.txt";
    const std::string newTextName = folder / ".file.txt.orvela-new";
    const std::string copyName = folder / ".file.txt.orvela-recovery";
    WriteFile(path, oldText);
    if (c.hardLinked) {
      ASSERT_EQ(::link(path.c_str(), (folder / "link.txt").c_str()), 0);
    }
    testing::ChildEnd end = testing::InChild([&] {
      SetRewriteHookForTesting([&](RewriteStep step, const std::string&) {
        if (step == c.step) ::raise(SIGKILL);
      });
      Rewrite(path, newText);
      return std::string("not killed");
    });
    EXPECT_EQ(end.signal, SIGKILL) << end.output;
    EXPECT_EQ(ReadFile(path), c.file);
    EXPECT_EQ(std::filesystem::exists(newTextName), c.newTextLeft);
    ASSERT_EQ(std::filesystem::exists(copyName), c.recoveryCopy);
    if (c.recoveryCopy) {
      EXPECT_EQ(ReadFile(copyName), oldText);
    }
    EXPECT_EQ(CountEntries(folder.path()), 1u + c.hardLinked + c.newTextLeft + c.recoveryCopy);

    // What a later run sees: the copy is named, the new text removed.
    WholeFile again = ReadWholeFile(path);
    ASSERT_TRUE(again.bytes);
    EXPECT_EQ(RecoveryCopyOf(again.at), c.recoveryCopy ? std::optional(copyName) : std::nullopt);
    RemoveLeftoverOf(again.at);
    EXPECT_FALSE(std::filesystem::exists(newTextName));
    EXPECT_EQ(std::filesystem::exists(copyName), c.recoveryCopy);
  }
}

// A user who may write another user's file, or a file of a group the user is not in, cannot
// give a new file that owner or group: the file is rewritten in place and keeps both.
TEST(SafeRewriteUnprivileged, AFileTheUserMayWriteButNotGiveAwayKeepsItsOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can make files for other users";
  struct Case {
    const char* name;
    uid_t uid;
    gid_t gid;
  } cases[] = {{"root's file", 0, testing::kNobody}, {"root's group", testing::kNobody, 0}};
  for (const Case& c : cases) {
    testing::NobodyDir dir;
    std::string path = dir.Add("shared.txt", "old text, longer than the new one", 0666);
    ASSERT_EQ(::chown(path.c_str(), c.uid, c.gid), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    const ino_t inode = Stat(path).st_ino;
    std::string result =
        testing::AsUnprivilegedUser([&] { return Outcome([&] { Rewrite(path, "new"); }); });
    SCOPED_TRACE(c.name);
    EXPECT_EQ(result, "written");
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(Stat(path).st_uid, c.uid);
    EXPECT_EQ(Stat(path).st_gid, c.gid);
    EXPECT_EQ(Stat(path).st_mode & 07777, 0666u);
    EXPECT_EQ(Stat(path).st_ino, inode);
    EXPECT_EQ(CountEntries(dir.path()), 1u) << "a file of ours was left behind";
  }
}

// Names up to NAME_MAX get names of ours within it, and two long names that share their start
// do not share them: the copy of one is never taken for the other's.
TEST_F(SafeRewriteTest, LongNamesKeepTheirRecoveryCopiesApart) {
  const std::string first = dir / (std::string(250, 'x') + "1"),
                    second = dir / (std::string(250, 'x') + "2");
  for (const std::string& path : {first, second}) {
    WriteFile(path, "old");
    ASSERT_EQ(::link(path.c_str(), (dir / ("link" + path.substr(path.size() - 1))).c_str()), 0);
  }
  testing::ChildEnd end = testing::InChild([&] {
    SetRewriteHookForTesting([](RewriteStep step, const std::string&) {
      if (step == RewriteStep::kRecoveryFlushed) ::raise(SIGKILL);
    });
    Rewrite(first, "new");
    return std::string("not killed");
  });
  ASSERT_EQ(end.signal, SIGKILL) << end.output;
  EXPECT_TRUE(RecoveryCopyOf(ReadWholeFile(first).at));
  EXPECT_FALSE(RecoveryCopyOf(ReadWholeFile(second).at));
  Rewrite(second, "new");
  EXPECT_EQ(ReadFile(second), "new");
  EXPECT_EQ(CountEntries(dir.path()), 5u);  // two files, two links, one copy
}

// As a user to whom permissions apply: a read-only file is refused before anything of it is
// written; a writable file in a folder that takes no new files is rewritten in place, with its
// recovery copy in the per-user cache folder.
TEST(SafeRewriteUnprivileged, AFolderThatTakesNoFilesGetsAnInPlaceRewrite) {
  testing::NobodyDir dir;
  const std::string cache = dir / "cache";
  std::filesystem::create_directory(cache);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(cache.c_str(), testing::kNobody, testing::kNobody), 0);
  }
  const std::string closed = dir / "closed";
  std::filesystem::create_directory(closed);
  std::string readOnly = dir.Add("closed/read-only.txt", "old", 0444);
  std::string writable = dir.Add("closed/writable.txt", "old text");
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(closed.c_str(), testing::kNobody, testing::kNobody), 0);
  }
  ASSERT_EQ(::chmod(closed.c_str(), 0555), 0);
  const ino_t inode = Stat(writable).st_ino;

  struct Case {
    const char* name;
    std::optional<RewriteStep> killAt;
  } cases[] = {{"rewritten", std::nullopt},
               {"killed with the copy made", RewriteStep::kRecoveryFlushed}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(writable, "old text");  // in place: the folder takes no new files
    testing::ChildEnd end = testing::InChild(
        [&] {
          ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
          SetRewriteHookForTesting([&](RewriteStep step, const std::string&) {
            if (step == c.killAt) ::raise(SIGKILL);
          });
          return Outcome([&] { Rewrite(readOnly, "new"); }) + ";" +
                 Outcome([&] { Rewrite(writable, "new"); });
        },
        true);
    const std::string copy = cache + "/orvela/recovery/" + std::to_string(Stat(writable).st_dev) +
                             "-" + std::to_string(inode);
    if (!c.killAt) {
      EXPECT_EQ(end.output, "Cannot create file " + readOnly + ": Permission denied;written");
      EXPECT_EQ(ReadFile(writable), "new");
      EXPECT_FALSE(std::filesystem::exists(copy));
    } else {
      EXPECT_EQ(end.signal, SIGKILL);
      EXPECT_EQ(ReadFile(writable), "old text");
      ASSERT_TRUE(std::filesystem::exists(copy));
      EXPECT_EQ(ReadFile(copy), "old text");
      // A later run finds the copy by the file's device and inode.
      testing::ChildEnd later = testing::InChild([&] {
        ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
        return RecoveryCopyOf(ReadWholeFile(writable).at).value_or("none");
      });
      EXPECT_EQ(later.output, copy);
    }
    EXPECT_EQ(ReadFile(readOnly), "old");
    EXPECT_EQ(Stat(writable).st_ino, inode);
    EXPECT_EQ(CountEntries(closed), 2u);
  }
  ::chmod(closed.c_str(), 0755);
}

// Gives this process mounts of its own: as root directly, as another user inside a user
// namespace of its own where the system allows one.
bool OwnMountNamespace() {
  if (::geteuid() == 0) return ::unshare(CLONE_NEWNS) == 0;
  const uid_t uid = ::getuid();
  const gid_t gid = ::getgid();
  if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
  auto put = [](const char* file, const std::string& text) {
    std::ofstream out(file);
    out << text;
    out.flush();
    return static_cast<bool>(out);
  };
  return put("/proc/self/setgroups", "deny") &&
         put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
         put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
}

// A real full disk: a small tmpfs, mounted in a mount namespace of a child of its own.
TEST(SafeRewriteOnAFullDisk, FailsWithTheSystemsReasonAndKeepsTheOriginal) {
  testing::TempDir mountPoint;
  const std::string root = mountPoint.path().string();
  const std::string original(40000, 'o');
  struct Case {
    const char* name;
    const char* options;
    bool hardLinked;
    bool createNew;  // SaveFile of a file that does not exist yet
  } cases[] = {
      {"no space for the new text", "size=64k", false, false},
      {"no space for the recovery copy", "size=64k", true, false},
      {"no inode for the new text", "size=1m,nr_inodes=2", false, false},
      {"no inode for a new file", "size=1m,nr_inodes=2", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ChildEnd end = testing::InChild([&]() -> std::string {
      if (!OwnMountNamespace() ||
          ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
          ::mount("none", root.c_str(), "tmpfs", 0, c.options) != 0)
        return std::string("skip: cannot mount a tmpfs here (") + std::strerror(errno) + ")";
      const std::string path = root + "/file.txt";
      const std::string fresh = root + "/new.txt";
      WriteFile(path, original);
      if (c.hardLinked && ::link(path.c_str(), (root + "/link.txt").c_str()) != 0)
        return "cannot link";
      std::string result = c.createNew
                               ? Outcome([&] { SaveFile(fresh, "x"); })
                               : Outcome([&] { Rewrite(path, std::string(original.size(), 'n')); });
      result += ReadFile(path) == original ? "|original kept" : "|original lost";
      result += "|" + std::to_string(CountEntries(root));
      return result;
    });
    if (end.output.starts_with("skip: ")) GTEST_SKIP() << end.output.substr(6);
    const std::string shown = root + (c.createNew ? "/new.txt" : "/file.txt");
    EXPECT_EQ(end.output, "Cannot create file " + shown +
                              ": No space left on device|original kept|" +
                              std::to_string(c.hardLinked ? 2 : 1));
  }
}

}  // namespace
}  // namespace orvela
