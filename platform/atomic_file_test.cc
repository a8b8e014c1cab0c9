// Tests of atomic file replacement, including that failures keep the old file
// and leave no temporary file behind.
#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "testing/test_support.h"

namespace zt {
namespace {

using testing::CountEntries;

TEST(WriteFileAtomically, CreatesAndReplacesFilesKeepingTheirPermissions) {
  testing::TempDir dir;
  auto path = dir.path() / "settings.ini";
  WriteFileAtomically(path, "first");
  EXPECT_EQ(testing::ReadFile(path), "first");

  chmod(path.c_str(), 0640);
  std::string big(1 << 20, 'x');
  WriteFileAtomically(path, big);
  EXPECT_EQ(testing::ReadFile(path), big);
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);

  WriteFileAtomically(path, "");
  EXPECT_EQ(testing::ReadFile(path), "");
  EXPECT_EQ(CountEntries(dir.path()), 1);
}

TEST(WriteFileAtomically, FailureInAMissingFolderNamesTheFile) {
  testing::TempDir dir;
  auto path = dir.path() / "missing" / "settings.ini";
  EXPECT_EQ(testing::ErrorMessageOf([&] { WriteFileAtomically(path, "text"); }),
            "Could not write '" + path.string() + "'");
  EXPECT_EQ(CountEntries(dir.path()), 0);
}

TEST(WriteFileAtomically, FailedRenameKeepsTheDestinationAndRemovesTheTemporaryFile) {
  testing::TempDir dir;
  // A non-empty folder cannot be replaced by a file: the temporary file is
  // written completely and only the final rename fails.
  auto target = dir.Write("target/inside.txt", "old").parent_path();
  EXPECT_THROW(WriteFileAtomically(target, "new"), EFileWriteError);
  EXPECT_EQ(testing::ReadFile(target / "inside.txt"), "old");
  EXPECT_EQ(CountEntries(dir.path()), 1);
}

TEST(WriteFileAtomically, ReadOnlyFolderKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  testing::TempDir dir;
  auto path = dir.Write("settings.ini", "old");
  chmod(dir.path().c_str(), 0555);
  EXPECT_THROW(WriteFileAtomically(path, "new"), EFileWriteError);
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(testing::ReadFile(path), "old");
  EXPECT_EQ(CountEntries(dir.path()), 1);
}

}  // namespace
}  // namespace zt
