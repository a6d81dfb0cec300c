#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "base/error.h"
#include "conversion/safe_rewrite.h"
#include "test_run_support.h"

namespace orvela {
namespace {

using testing::CountEntries;
using testing::ReadFile;
using testing::Stat;
using testing::WriteFile;

class SafeRewriteTest : public ::testing::Test {
 protected:
  void TearDown() override { FailWritesAfterForTesting(std::nullopt); }
  testing::TempDir dir;
};

TEST_F(SafeRewriteTest, ReplacesTheContentAndKeepsThePermissionBits) {
  for (mode_t mode : {0600, 0640, 0755, 02755, 0444}) {
    std::string path = dir / "file.txt";
    WriteFile(path, "old text, longer than the new one");
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    SafeRewrite(path, "new");
    EXPECT_EQ(ReadFile(path), "new") << std::oct << mode;
    EXPECT_EQ(Stat(path).st_mode & 07777, mode) << std::oct << mode;
    EXPECT_EQ(CountEntries(dir.path()), 1u) << "a temporary file was left behind";
    ::unlink(path.c_str());
  }
}

TEST_F(SafeRewriteTest, GrowsAndEmpties) {
  std::string path = dir / "file.txt";
  WriteFile(path, "ab");
  const std::string big(3 << 20, 'x');
  SafeRewrite(path, big);
  EXPECT_EQ(ReadFile(path), big);
  SafeRewrite(path, "");
  EXPECT_EQ(ReadFile(path), "");
}

TEST_F(SafeRewriteTest, KeepsTheOwnerWhenRootRewritesAnotherUsersFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can own a file for another user";
  std::string path = dir / "file.txt";
  WriteFile(path, "old");
  ASSERT_EQ(::chown(path.c_str(), testing::kNobody, testing::kNobody), 0);
  SafeRewrite(path, "new");
  EXPECT_EQ(Stat(path).st_uid, testing::kNobody);
  EXPECT_EQ(Stat(path).st_gid, testing::kNobody);
}

TEST_F(SafeRewriteTest, ASymbolicLinkRewritesItsTargetAndStaysALink) {
  std::filesystem::create_directory(dir.path() / "real");
  std::string target = dir / "real/file.txt";
  std::string link = dir / "link.txt";
  WriteFile(target, "old");
  ASSERT_EQ(::symlink("real/file.txt", link.c_str()), 0);
  SafeRewrite(link, "new");
  EXPECT_TRUE(S_ISLNK(Stat(link).st_mode));
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(CountEntries(dir.path() / "real"), 1u);
}

TEST_F(SafeRewriteTest, AHardLinkedFileIsRewrittenInPlace) {
  std::string first = dir / "first.txt";
  std::string second = dir / "second.txt";
  WriteFile(first, "old text that is long");
  ASSERT_EQ(::link(first.c_str(), second.c_str()), 0);
  const ino_t inode = Stat(first).st_ino;
  SafeRewrite(first, "new");
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
      testing::TempDir folder;
      std::string path = folder / "file.txt";
      WriteFile(path, original);
      if (hardLinked) {
        ASSERT_EQ(::link(path.c_str(), (folder / "other.txt").c_str()), 0);
      }
      FailWritesAfterForTesting(failAfter);
      try {
        SafeRewrite(path, replacement);
        ADD_FAILURE() << "no error";
      } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Stream write error");
      }
      FailWritesAfterForTesting(std::nullopt);
      SCOPED_TRACE(std::string(hardLinked ? "hard-linked" : "single name") + ", failing after " +
                   std::to_string(failAfter) + " bytes");
      EXPECT_EQ(ReadFile(path), original);
      EXPECT_EQ(CountEntries(folder.path()), hardLinked ? 2u : 1u);
    }
  }
}

TEST_F(SafeRewriteTest, AMissingFileCannotBeCreated) {
  std::string path = dir / "gone.txt";
  try {
    SafeRewrite(path, "new");
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + path);
  }
  EXPECT_EQ(CountEntries(dir.path()), 0u);
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
    std::string result = testing::AsUnprivilegedUser([&] {
      try {
        SafeRewrite(path, "new");
        return std::string("written");
      } catch (const Error& e) {
        return std::string(e.what());
      }
    });
    SCOPED_TRACE(c.name);
    EXPECT_EQ(result, "written");
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(Stat(path).st_uid, c.uid);
    EXPECT_EQ(Stat(path).st_gid, c.gid);
    EXPECT_EQ(Stat(path).st_mode & 07777, 0666u);
    EXPECT_EQ(Stat(path).st_ino, inode);
    EXPECT_EQ(CountEntries(dir.path()), 1u) << "a temporary file was left behind";
  }
}

// As a user to whom permissions apply: a read-only file, or a file in a folder that does not
// take new files, is refused before anything of it is written.
TEST(SafeRewriteUnprivileged, RefusesWhatTheUserMayNotWrite) {
  testing::NobodyDir dir;
  std::string readOnly = dir.Add("read-only.txt", "old", 0444);
  std::filesystem::create_directory(dir.path() / "closed");
  std::string inClosed = dir / "closed/file.txt";
  WriteFile(inClosed, "old");
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown((dir / "closed").c_str(), testing::kNobody, testing::kNobody), 0);
    ASSERT_EQ(::chown(inClosed.c_str(), testing::kNobody, testing::kNobody), 0);
  }
  ASSERT_EQ(::chmod((dir / "closed").c_str(), 0555), 0);

  std::string result = testing::AsUnprivilegedUser([&] {
    std::string messages;
    for (const std::string& path : {readOnly, inClosed}) {
      try {
        SafeRewrite(path, "new");
        messages += "written;";
      } catch (const Error& e) {
        messages += std::string(e.what()) + ";";
      }
    }
    return messages;
  });
  EXPECT_EQ(result, "Cannot create file " + readOnly + ";Cannot create file " + inClosed + ";");
  EXPECT_EQ(ReadFile(readOnly), "old");
  EXPECT_EQ(ReadFile(inClosed), "old");
  EXPECT_EQ(CountEntries(dir.path() / "closed"), 1u);
  ::chmod((dir / "closed").c_str(), 0755);
}

}  // namespace
}  // namespace orvela
