// Tests of the program-wide settings: defaults, read rules, round trips, and
// that the file keeps what this version does not know.
#include "document/settings/config_manager.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "testing/test_support.h"

namespace zt {
namespace {

TEST(ConfigManager, FirstStartGivesTheDefaults) {
  testing::TempDir dir;
  TConfigManager config(dir.path());
  config.LoadAll();
  int processors = static_cast<int>(std::thread::hardware_concurrency());
  EXPECT_EQ(config.ThreadNumber, std::clamp(processors, 1, 16));
  EXPECT_FALSE(std::filesystem::exists(config.FileName()));

  // Saving the defaults writes every group once, in load order, and reading
  // that file back changes nothing.
  ASSERT_TRUE(config.SaveAll());
  std::string text = testing::ReadFile(config.FileName());
  size_t last = 0;
  for (const char* group : {"[General]", "[Defaults]", "[Environment]", "[Fractals]", "[Previews]",
                            "[Directories]", "[Options]", "[Rendering]"}) {
    size_t at = text.find(group);
    ASSERT_NE(at, std::string::npos) << group;
    EXPECT_GT(at + 1, last) << group;
    last = at;
  }
  for (const char* line : {"\nAnimation=1\n", "\nDefaultImageResolution=300\n",
                           "\nEditorFontName=Courier New\n", "\nEditorFontStrikeOut=0\n",
                           "\nThreshold=0.3\n", "\nUseLastDirectory=1\n", "\nDepth=1\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  TConfigManager again(dir.path());
  again.LoadAll();
  ASSERT_TRUE(again.SaveAll());
  EXPECT_EQ(testing::ReadFile(config.FileName()), text);
}

TEST(ConfigManager, ReadsAreClampedAndNormalised) {
  testing::TempDir dir;
  dir.Write("settings.ini",
            "[General]\nAnimFrames=100\nAnimMaxWidth=10\nBackgroundColor=-1\nZoomFactor=-3\n"
            "Animation=77\n"
            "[Environment]\nTabSize=0\nEditorFontName=\nEditorFontSize=500\n"
            "[Rendering]\nThreshold=5\nWidth=0\nDepth=abc\n"
            "[Defaults]\nDefaultImageGamma=0\nDefaultImageResolution=1E9999\n"
            "[Fractals]\nThreadNumber=64\nThreadBackPriority=0\n"
            "[Directories]\nOpenDirectory=/data/fractals\nExportDirectory=/out/\n");
  TConfigManager config(dir.path());
  config.LoadAll();
  EXPECT_EQ(config.AnimFrames, 50);
  EXPECT_EQ(config.AnimMaxWidth, 160);
  EXPECT_EQ(config.BackgroundColor, 0xFFFFFF);
  EXPECT_EQ(config.ZoomFactor, 0);
  EXPECT_EQ(config.Animation, 77);
  EXPECT_EQ(config.TabSize, 1);
  EXPECT_EQ(config.EditorFont.Name, "Courier New");
  EXPECT_EQ(config.EditorFont.Size, 100);
  EXPECT_EQ(config.Threshold, 3.0);
  EXPECT_EQ(config.Width, 1);
  EXPECT_EQ(config.Depth, 1);
  EXPECT_EQ(config.DefaultImageGamma, 0.1L);
  EXPECT_EQ(config.DefaultImageResolution, 300.0);
  EXPECT_EQ(config.ThreadNumber, 16);
  EXPECT_EQ(config.ThreadBackPriority, 1);
  EXPECT_EQ(config.OpenDirectory, "/data/fractals/");
  EXPECT_EQ(config.ExportDirectory, "/out/");
}

TEST(ConfigManager, SaveAllAndLoadAllRoundTrip) {
  testing::TempDir dir;
  TConfigManager config(dir.path());
  config.AnimFrames = 20;
  config.BackgroundColor = 0x123456;
  config.DefaultImageGamma = 2.2L;
  config.DefaultComments = "first line\r\nsecond \\ line";
  config.EditorFont = {"DejaVu Sans Mono", 12, true, false, true, true};
  config.ThreadNumber = 3;
  config.FormulaDirectory = "/home/a b/formulas/";
  config.UseLastDirectory = false;
  config.Threshold = 0.1L;
  ASSERT_TRUE(config.SaveAll());

  TConfigManager loaded(dir.path());
  loaded.LoadAll();
  EXPECT_EQ(loaded.AnimFrames, 20);
  EXPECT_EQ(loaded.BackgroundColor, 0x123456);
  EXPECT_EQ(loaded.DefaultImageGamma, 2.2L);
  EXPECT_EQ(loaded.DefaultComments, "first line\r\nsecond \\ line");
  EXPECT_EQ(loaded.EditorFont.Name, "DejaVu Sans Mono");
  EXPECT_EQ(loaded.EditorFont.Size, 12);
  EXPECT_TRUE(loaded.EditorFont.Bold);
  EXPECT_FALSE(loaded.EditorFont.Italic);
  EXPECT_TRUE(loaded.EditorFont.Underline);
  EXPECT_TRUE(loaded.EditorFont.StrikeOut);
  EXPECT_EQ(loaded.ThreadNumber, 3);
  EXPECT_EQ(loaded.FormulaDirectory, "/home/a b/formulas/");
  EXPECT_FALSE(loaded.UseLastDirectory);
  EXPECT_EQ(loaded.Threshold, 0.1L);
}

TEST(ConfigManager, DescribesEachSettingWithItsFieldAndRange) {
  testing::TempDir dir;
  TConfigManager config(dir.path());
  const std::vector<TSettingInfo> settings = config.Describe();
  std::set<std::string> keys;
  for (const TSettingInfo& s : settings) EXPECT_TRUE(keys.insert(s.Key).second) << s.Key;
  const auto find = [&](const std::string& key) {
    for (const TSettingInfo& s : settings)
      if (key == s.Key) return s;
    ADD_FAILURE() << key;
    return settings.front();
  };
  const struct {
    const char* Key;
    long double Low, High;
  } kRanges[] = {{"AnimFrames", 2, 50},
                 {"AnimMaxWidth", 160, INT_MAX},
                 {"BackgroundColor", 0, 0xFFFFFF},
                 {"DefaultImageGamma", 0.1L, 10},
                 {"ThreadForePriority", 1, 3},
                 {"Threshold", 0, 3},
                 {"PlaySoundWhenReady", 0, 1}};
  for (const auto& r : kRanges) {
    EXPECT_EQ(find(r.Key).Low, r.Low) << r.Key;
    EXPECT_EQ(find(r.Key).High, r.High) << r.Key;
  }
  *std::get<int*>(find("TabSize").Field) = 7;
  *std::get<std::string*>(find("EditorFontName").Field) = "Mono";
  EXPECT_EQ(config.TabSize, 7);
  EXPECT_EQ(config.EditorFont.Name, "Mono");
  EXPECT_STREQ(find("Depth").Group, "Rendering");
}

TEST(ConfigManager, KeepsWhatItDoesNotKnow) {
  testing::TempDir dir;
  dir.Write("settings.ini",
            "[General]\n"
            "NewerKey=kept\n"
            "AnimFrames=12\n"
            "[Forms\\Main]\n"
            "Left=3\n"
            "[Plugins]\n"
            "Path=/opt/z\n");
  TConfigManager config(dir.path());
  config.LoadAll();
  EXPECT_EQ(config.AnimFrames, 12);
  ASSERT_TRUE(config.SaveAll());
  std::string text = testing::ReadFile(config.FileName());
  EXPECT_EQ(text.find("[General]\nNewerKey=kept\nAnimFrames=12\nAnimation=1\n"), 0u) << text;
  EXPECT_NE(text.find("\n[Forms\\Main]\nLeft=3\n\n[Plugins]\nPath=/opt/z\n\n[Defaults]\n"),
            std::string::npos)
      << text;
}

TEST(ConfigManager, UnconnectedStoreKeepsDefaultsAndWritesNothing) {
  testing::TempDir dir;
  auto blocker = dir.Write("blocker", "x");
  TConfigManager config(blocker / "settings");
  EXPECT_EQ(config.ConnectError(), "Could not connect to registry");
  config.AnimFrames = 30;
  config.LoadAll();
  EXPECT_EQ(config.AnimFrames, 8);
  EXPECT_FALSE(config.SaveAll());
  EXPECT_EQ(testing::ReadFile(blocker), "x");
}

TEST(ConfigManager, UsesTheFolderNamedByTheEnvironment) {
  testing::TempDir dir;
  const char* set_by_main = std::getenv("ZENTROPE_CONFIG_DIR");
  ASSERT_NE(set_by_main, nullptr);
  const std::filesystem::path private_folder = set_by_main;  // a copy: setenv may free it
  {
    testing::TScopedVariable folder("ZENTROPE_CONFIG_DIR", dir.path().c_str());
    TConfigManager config;
    EXPECT_TRUE(config.SaveAll());
    EXPECT_EQ(config.FileName(), dir.path() / "settings.ini");
  }
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "settings.ini"));

  // The program-wide instance was created under the test main's private folder.
  EXPECT_EQ(ConfigManager().FileName().parent_path(), private_folder);
}

}  // namespace
}  // namespace zt
