// Tests of the atomic file writer: patches reach bytes both on the disk and
// still in the buffer, permissions are kept, and every kind of failure keeps the
// old destination and leaves no temporary file behind.
#include "platform/atomic_output.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "testing/test_support.h"

namespace zt {
namespace {

using testing::CountEntries;

TEST(AtomicOutputFile, DestinationAppearsOnlyOnCommitWithItsPermissions) {
  testing::TempDir dir;
  auto path = dir.Write("image.bmp", "old");
  TAtomicOutputFile file(path);
  ASSERT_TRUE(file.Created());
  ASSERT_TRUE(file.Write("new contents"));
  EXPECT_EQ(file.Size(), 12u);
  EXPECT_EQ(testing::ReadFile(path), "old");
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(testing::ReadFile(path), "new contents");
  EXPECT_EQ(CountEntries(dir.path()), 1);

  // A replaced file keeps its permissions.
  chmod(path.c_str(), 0640);
  WriteFileAtomically(path, "second");
  EXPECT_EQ(testing::ReadFile(path), "second");
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(AtomicOutputFile, PatchesReachFlushedAndBufferedBytes) {
  testing::TempDir dir;
  auto path = dir.path() / "big.bin";
  std::string expected(200000, 'x');
  TAtomicOutputFile file(path);
  ASSERT_TRUE(file.Write(expected));
  // Across the boundary between what went to the disk and what is buffered.
  struct Case {
    uint64_t Position;
    std::string Bytes;
  } cases[] = {{0, "AB"}, {65534, "CDEF"}, {131072, "G"}, {199998, "HI"}};
  for (const Case& c : cases) {
    ASSERT_TRUE(file.Patch(c.Position, c.Bytes.data(), c.Bytes.size())) << c.Position;
    expected.replace(c.Position, c.Bytes.size(), c.Bytes);
  }
  EXPECT_FALSE(file.Patch(199999, "JK", 2)) << "past the end";
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(testing::ReadFile(path), expected);
}

TEST(AtomicOutputFile, MissingFolderIsNotCreated) {
  testing::TempDir dir;
  auto path = dir.path() / "missing" / "image.png";
  TAtomicOutputFile file(path);
  EXPECT_FALSE(file.Created());
  EXPECT_FALSE(file.Write("x"));
  EXPECT_FALSE(file.Commit());
  EXPECT_EQ(testing::ErrorMessageOf([&] { WriteFileAtomically(path, "text"); }),
            "Could not write '" + path.string() + "'");
  EXPECT_EQ(CountEntries(dir.path()), 0);
}

// Each way of failing: the old file stays byte for byte, no temporary file
// remains and no descriptor stays open.
TEST(AtomicOutputFile, FailuresKeepTheOldDestination) {
  const int open_files = CountEntries("/proc/self/fd");
  struct Case {
    const char* Name;
    std::function<void(TAtomicOutputFile&)> Sabotage;
  } cases[] = {
      {"first write", [](TAtomicOutputFile& f) { f.FailWrite(1); }},
      {"second write", [](TAtomicOutputFile& f) { f.FailWrite(2); }},
      {"dev full", [](TAtomicOutputFile& f) { ASSERT_TRUE(f.DivertToDevFull()); }},
  };
  for (const Case& c : cases) {
    testing::TempDir dir;
    auto path = dir.Write("image.psd", "old image");
    {
      TAtomicOutputFile file(path);
      c.Sabotage(file);
      bool ok = file.Write(std::string(100000, 'y')) && file.Write("tail") && file.Commit();
      EXPECT_FALSE(ok) << c.Name;
      EXPECT_FALSE(file.Write("more")) << c.Name << ": failures stick";
    }
    EXPECT_EQ(testing::ReadFile(path), "old image") << c.Name;
    EXPECT_EQ(CountEntries(dir.path()), 1) << c.Name;
    EXPECT_EQ(CountEntries("/proc/self/fd"), open_files) << c.Name;
  }
}

TEST(AtomicOutputFile, FailedRenameKeepsTheDestination) {
  testing::TempDir dir;
  // A non-empty folder cannot be replaced by a file: the temporary file is
  // written completely and only the final rename fails.
  auto target = dir.Write("target/inside.txt", "old").parent_path();
  EXPECT_THROW(WriteFileAtomically(target, "new"), EFileWriteError);
  EXPECT_EQ(testing::ReadFile(target / "inside.txt"), "old");
  EXPECT_EQ(CountEntries(dir.path()), 1);
}

// Devices are written in place: renaming over one would replace the device node.
TEST(AtomicOutputFile, DevicesAreWrittenInPlace) {
  struct TCase {
    const char* Device;
    bool Commits;
  };
  for (const TCase& c : {TCase{"/dev/null", true}, TCase{"/dev/full", false}}) {
    if (!std::filesystem::is_character_file(c.Device)) continue;
    {
      TAtomicOutputFile file(c.Device);
      ASSERT_TRUE(file.Created()) << c.Device;
      // More than one buffer, so that the device sees writes before the commit.
      EXPECT_EQ(file.Write(std::string(200000, 'x')), c.Commits) << c.Device;
      EXPECT_EQ(file.Commit(), c.Commits) << c.Device;
    }
    EXPECT_TRUE(std::filesystem::is_character_file(c.Device)) << c.Device;
    const std::string temporary = "." + std::filesystem::path(c.Device).filename().string() + ".";
    for (const auto& entry : std::filesystem::directory_iterator("/dev"))
      EXPECT_NE(entry.path().filename().string().rfind(temporary, 0), 0u) << entry.path();
  }
}

}  // namespace
}  // namespace zt
