// Tests of the settings store: typed reads, writes and flushing, the unconnected
// store, window positions and the location of the settings folder.
#include "document/settings/registry_manager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <tuple>

#include "testing/test_support.h"

namespace zt {
namespace {

using testing::TScopedVariable;

TEST(RegistryManager, ReadsTypedValuesOrTheDefault) {
  testing::TempDir dir;
  dir.Write("settings.ini",
            "[Values]\n"
            "Int=12\nBlanks= 7 \nPlus=+3\nNegative=-4\nFraction=1.5\nWord=abc\nHuge=99999999999\n"
            "Float=2.5\nSci=1E-5\nWhole=5\nComma=1,5\n"
            "True=1\nFalse=0\nTwo=2\nYes=yes\n"
            "Text= a b \nEmpty=\n");
  TRegistryManager store(dir.path());
  ASSERT_TRUE(store.Connected());
  EXPECT_EQ(store.ConnectError(), "");
  const char* g = "values";
  EXPECT_EQ(store.ReadInteger(g, "Int", -1), 12);
  EXPECT_EQ(store.ReadInteger(g, "Blanks", -1), 7);
  EXPECT_EQ(store.ReadInteger(g, "Plus", -1), 3);
  EXPECT_EQ(store.ReadInteger(g, "Negative", -1), -4);
  EXPECT_EQ(store.ReadInteger(g, "Fraction", -1), -1);
  EXPECT_EQ(store.ReadInteger(g, "Word", -1), -1);
  EXPECT_EQ(store.ReadInteger(g, "Huge", -1), -1);
  EXPECT_EQ(store.ReadInteger(g, "Missing", -1), -1);
  EXPECT_EQ(store.ReadInteger("Nowhere", "Int", -1), -1);
  EXPECT_EQ(store.ReadFloat(g, "Float", -1), 2.5L);
  EXPECT_EQ(store.ReadFloat(g, "Sci", -1), 1e-5L);
  EXPECT_EQ(store.ReadFloat(g, "Whole", -1), 5.0L);
  EXPECT_EQ(store.ReadFloat(g, "Comma", -1), -1.0L);
  EXPECT_EQ(store.ReadFloat(g, "Word", -1), -1.0L);
  EXPECT_TRUE(store.ReadBoolean(g, "True", false));
  EXPECT_FALSE(store.ReadBoolean(g, "False", true));
  EXPECT_TRUE(store.ReadBoolean(g, "Two", false));
  EXPECT_FALSE(store.ReadBoolean(g, "Yes", false));
  EXPECT_TRUE(store.ReadBoolean(g, "Missing", true));
  EXPECT_EQ(store.ReadString(g, "Text", "d"), " a b ");
  EXPECT_EQ(store.ReadString(g, "Empty", "d"), "");
  EXPECT_EQ(store.ReadString(g, "Missing", "d"), "d");
}

TEST(RegistryManager, WritesReachTheFileOnlyWhenFlushed) {
  testing::TempDir dir;
  TRegistryManager store(dir.path());
  store.WriteInteger("General", "AnimFrames", -12);
  store.WriteBoolean("General", "LimitAnimSize", false);
  store.WriteFloat("Rendering", "Threshold", 0.1L);
  store.WriteString("Defaults", "DefaultAuthor", "Ann = B");
  EXPECT_FALSE(std::filesystem::exists(store.FileName()));
  ASSERT_TRUE(store.Flush());
  EXPECT_EQ(store.SaveError(), "");
  EXPECT_EQ(testing::ReadFile(dir.path() / "settings.ini"),
            "[General]\nAnimFrames=-12\nLimitAnimSize=0\n\n"
            "[Rendering]\nThreshold=0.1\n\n"
            "[Defaults]\nDefaultAuthor=Ann = B\n");
  EXPECT_EQ(store.ReadFloat("Rendering", "Threshold", 0), 0.1L);

  store.WriteInteger("General", "AnimFrames", 3);
  store.Reload();
  EXPECT_EQ(store.ReadInteger("General", "AnimFrames", 0), -12);
}

TEST(RegistryManager, FailedFlushKeepsTheMessage) {
  testing::TempDir dir;
  TRegistryManager store(dir.path());
  std::filesystem::create_directories(dir.path() / "settings.ini" / "in the way");
  store.WriteInteger("General", "AnimFrames", 3);
  EXPECT_FALSE(store.Flush());
  EXPECT_EQ(store.SaveError(), "Could not write '" + (dir.path() / "settings.ini").string() + "'");
}

TEST(RegistryManager, UnusableFolderLeavesTheStoreUnconnected) {
  testing::TempDir dir;
  auto blocker = dir.Write("file", "[General]\nAnimFrames=12\n");
  for (const std::filesystem::path& folder :
       {blocker, blocker / "below", std::filesystem::path()}) {
    TRegistryManager store(folder);
    EXPECT_FALSE(store.Connected());
    EXPECT_EQ(store.ConnectError(), "Could not connect to registry");
    store.WriteInteger("General", "AnimFrames", 3);
    EXPECT_EQ(store.ReadInteger("General", "AnimFrames", 8), 8);
    EXPECT_FALSE(store.Flush());
    EXPECT_EQ(store.SaveError(), "");
  }
  EXPECT_EQ(testing::ReadFile(blocker), "[General]\nAnimFrames=12\n");
}

TEST(RegistryManager, MissingOrGarbledFileGivesDefaults) {
  testing::TempDir dir;
  dir.Write("settings.ini", std::string("\0\xff\xfe[General\n=\n\x01", 15));
  TRegistryManager store(dir.path());
  EXPECT_TRUE(store.Connected());
  EXPECT_EQ(store.ReadInteger("General", "AnimFrames", 8), 8);
  testing::TempDir empty;
  EXPECT_EQ(TRegistryManager(empty.path() / "new" / "folder").ReadString("A", "B", "d"), "d");
  EXPECT_TRUE(std::filesystem::is_directory(empty.path() / "new" / "folder"));
}

TEST(RegistryManager, WindowPositionsAreLimitedToTheScreen) {
  struct Case {
    const char* Stored;
    bool Resizable;
    bool Found;
    TWindowPosition Expected;
  };
  const TWindowPosition unchanged{"W", false, 1, 2, 3, 4, TWindowState::kNormal};
  const Case cases[] = {
      {"Top=50\n", false, false, unchanged},
      {"Left=x\n", false, false, unchanged},
      {"Left=5000\nTop=5000\nWidth=9\n", false, true, {"W", false, 1004, 748, 3, 4}},
      {"Left=-30\nTop=40\n", false, true, {"W", false, -30, 40, 3, 4}},
      {"Left=10\n", false, true, {"W", false, 10, 2, 3, 4}},
      {"Left=5000\nTop=20\nWidth=500\nHeight=400\nState=0\n",
       true,
       true,
       {"W", true, 1004, 20, 500, 400, TWindowState::kNormal}},
      {"Left=5\nTop=6\nWidth=500\nHeight=400\nState=1\n",
       true,
       true,
       {"W", true, 5, 6, 500, 400, TWindowState::kNormal}},
      {"Left=5\nTop=6\nWidth=500\nHeight=400\nState=2\n",
       true,
       true,
       {"W", true, 1, 2, 3, 4, TWindowState::kMaximized}},
      {"Left=5\nTop=6\nState=9\n", true, true, {"W", true, 5, 6, 3, 4, TWindowState::kNormal}},
  };
  for (const Case& c : cases) {
    testing::TempDir dir;
    dir.Write("settings.ini", std::string("[Forms\\W]\n") + c.Stored);
    TRegistryManager store(dir.path());
    TWindowPosition window = unchanged;
    window.Resizable = c.Resizable;
    EXPECT_EQ(store.LoadWindowPosition(window, 1024, 768), c.Found) << c.Stored;
    EXPECT_EQ(std::tie(window.Left, window.Top, window.Width, window.Height),
              std::tie(c.Expected.Left, c.Expected.Top, c.Expected.Width, c.Expected.Height))
        << c.Stored;
    EXPECT_EQ(window.State, c.Expected.State) << c.Stored;
  }
}

TEST(RegistryManager, SavesWindowPositionsAndValuesUnderTheWindowsGroup) {
  testing::TempDir dir;
  {
    TRegistryManager store(dir.path());
    store.WriteWindowValue("Browser", "LastFormula", "Mandel");
    store.WriteWindowValue("Browser", "ActivePage", 2);
    store.WriteWindowValue("Browser", "Visible", true);
    store.SaveWindowPosition({"Browser", true, 5000, 7, 300, 200, TWindowState::kMinimized});
    store.SaveWindowPosition({"About", false, 10, 20, 30, 40, TWindowState::kMaximized});
  }
  EXPECT_EQ(testing::ReadFile(dir.path() / "settings.ini"),
            "[Forms\\Browser]\nLastFormula=Mandel\nActivePage=2\nVisible=1\n"
            "Left=5000\nTop=7\nWidth=300\nHeight=200\nState=1\n\n"
            "[Forms\\About]\nLeft=10\nTop=20\n");
  TRegistryManager store(dir.path());
  EXPECT_EQ(store.ReadWindowValue("Browser", "LastFormula", "none"), "Mandel");
  EXPECT_EQ(store.ReadWindowValue("Browser", "LastGradient", "none"), "none");
  EXPECT_EQ(store.ReadWindowValue("Browser", "ActivePage", 0), 2);
  EXPECT_TRUE(store.ReadWindowValue("Browser", "Visible", false));
}

TEST(DefaultSettingsFolder, FollowsTheEnvironment) {
  TScopedVariable config("ZENTROPE_CONFIG_DIR", "/tmp/zt-config");
  TScopedVariable xdg("XDG_CONFIG_HOME", "/tmp/xdg");
  TScopedVariable home("HOME", "/tmp/home");
  EXPECT_EQ(DefaultSettingsFolder(), "/tmp/zt-config");
  {
    TScopedVariable no_config("ZENTROPE_CONFIG_DIR", nullptr);
    EXPECT_EQ(DefaultSettingsFolder(), "/tmp/xdg/zentrope/2.0");
    TScopedVariable relative_xdg("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(DefaultSettingsFolder(), "/tmp/home/.config/zentrope/2.0");
    TScopedVariable no_xdg("XDG_CONFIG_HOME", "");
    EXPECT_EQ(DefaultSettingsFolder(), "/tmp/home/.config/zentrope/2.0");
    TScopedVariable no_home("HOME", nullptr);
    EXPECT_EQ(DefaultSettingsFolder(), "");
  }
}

}  // namespace
}  // namespace zt
