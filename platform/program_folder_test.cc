// Tests of finding the program's folder and resolving folder settings.
#include "platform/program_folder.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

TEST(ProgramFolder, InstalledDataWinsOverTheSourceTree) {
  const testing::TempDir temp;
  const fs::path prefix = temp.path() / "prefix";
  fs::create_directories(prefix / "bin");
  fs::create_directories(prefix / "share" / "zentrope");
  const fs::path source = temp.path() / "source-data";
  fs::create_directories(source);
  EXPECT_EQ(ChooseProgramFolder((prefix / "bin" / "zt").string(), source.string()),
            (prefix / "share" / "zentrope").string() + "/");
  // A build tree has no share/zentrope beside its bin folder.
  EXPECT_EQ(ChooseProgramFolder((temp.path() / "build" / "zt").string(), source.string()),
            source.string() + "/");
  EXPECT_EQ(ChooseProgramFolder((temp.path() / "build" / "zt").string(), ""),
            (temp.path() / "build").string() + "/");
}

TEST(ProgramFolder, FolderSettingsResolveAgainstIt) {
  EXPECT_EQ(ResolveFolder(""), ProgramFolder());
  EXPECT_EQ(ResolveFolder("formulas"), ProgramFolder() + "formulas/");
  EXPECT_EQ(ResolveFolder("/home/artist/frm/"), "/home/artist/frm/");
  EXPECT_EQ(ResolveFolder("/home/artist/frm"), "/home/artist/frm/");
  // The tests run from the build tree, so the shipped collections are found.
  EXPECT_TRUE(fs::exists(ProgramFolder() + "Standard.zfm"));
}

}  // namespace
}  // namespace zt
