// The first-run settings: which groups are written into which existing
// settings, how the file is read and written back, and its removal.
#include "setup/first_run_settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "setup/testing/test_package.h"

namespace zt::setup {
namespace {

using namespace testing;

constexpr char kDirectories[] =
    "[Directories]\n"
    "AlphaChannelDirectory=/z/Alpha/\n"
    "ColoringDirectory=/z/Formula/\n"
    "ExportDirectory=/z/Export/\n"
    "FormulaDirectory=/z/Formula/\n"
    "FractalDirectory=/z/Fractal/\n"
    "GradientDirectory=/z/Gradient/\n"
    "OpenDirectory=/z/\n"
    "ParameterDirectory=/z/Parameters/\n"
    "TransformationDirectory=/z/Formula/\n";
constexpr char kGeneral[] =
    "[General]\n"
    "Wallpaper=/z/Tile.bmp\n"
    "WallpaperOptions=1\n"
    "SoundWhenReady=/z/Click.wav\n"
    "PlaySoundWhenReady=1\n";
constexpr char kDefaults[] =
    "[Defaults]\n"
    "DefaultParamEntry=ClassicMandelbrot\n"
    "DefaultParamFile=/z/Parameters/Examples.zpr\n";
constexpr char kEnvironment[] = "[Environment]\nStartupFractalOptions=3\n";

QByteArray Groups(std::initializer_list<const char*> groups) {
  QByteArray text;
  for (const char* group : groups) text += (text.isEmpty() ? "" : "\n") + QByteArray(group);
  return text;
}

TEST(FirstRunSettings, DirectoriesAlwaysOtherGroupsOnlyWhenMissing) {
  const struct {
    const char* Case;
    QByteArray Before;
    QByteArray After;
  } kCases[] = {
      {"first run", "", Groups({kDirectories, kGeneral, kDefaults, kEnvironment})},
      {"later run: only the folders change",
       "[general]\nAnimFrames=9\n[Defaults]\n[Environment]\nTabSize=4\n"
       "[Directories]\nOpenDirectory=/old/\nUseLastDirectory=0\n",
       "[general]\nAnimFrames=9\n\n[Defaults]\n\n[Environment]\nTabSize=4\n\n"
       "[Directories]\nOpenDirectory=/z/\nUseLastDirectory=0\n" +
           QByteArray(kDirectories).mid(14).replace("OpenDirectory=/z/\n", "")},
      {"Environment waits for Defaults", "[Defaults]\n",
       Groups({"[Defaults]\n", kDirectories, kGeneral})},
      {"Environment kept when Defaults is new", "[Environment]\nTabSize=3\n",
       Groups({"[Environment]\nTabSize=3\n", kDirectories, kGeneral, kDefaults})},
  };
  for (const auto& c : kCases) {
    TSettingsText settings(c.Before);
    ApplyFirstRunSettings(settings, QStringLiteral("/z/"));
    EXPECT_EQ(settings.Text(), c.After) << c.Case;
  }
}

TEST(FirstRunSettings, TheFileIsReadAndWrittenAsTheProgramDoes) {
  TSettingsText settings(
      "garbage before any group\r\n"
      "[Forms\\Main]\r\n"
      "; a comment\r\n"
      "Left=3\r\n"
      "Left=4\r\n"
      "no equals sign\r\n"
      "[broken\r\n"
      "Lost=1\r\n"
      "[FORMS\\main]\r\n"
      "Text=a\\\\b\\nc\r\n");
  settings.Set("Forms\\Main", "Path", QStringLiteral("C:\\x\ny"));
  EXPECT_EQ(settings.Text(),
            QByteArray("[Forms\\Main]\nLeft=4\nText=a\\\\b\\nc\nPath=C:\\\\x\\ny\n"));
}

TEST(FirstRunSettings, WritingReplacesTheFileAndDeletingLeavesOnlyOtherFiles) {
  QTemporaryDir config;
  const QString file = SettingsFile(config.path(), QStringLiteral("/zentrope/2.0"));
  EXPECT_EQ(file, config.path() + QStringLiteral("/zentrope/2.0/settings.ini"));
  ASSERT_TRUE(WriteFirstRunSettings(file, QStringLiteral("/z/")));
  WriteFile(file, ReadFile(file).replace("OpenDirectory=/z/", "OpenDirectory=/mine/"));
  ASSERT_TRUE(WriteFirstRunSettings(file, QStringLiteral("/z/")));
  EXPECT_EQ(ReadFile(file), Groups({kDirectories, kGeneral, kDefaults, kEnvironment}));

  WriteFile(config.filePath(QStringLiteral("zentrope/other.txt")), "not ours");
  DeleteSettings(config.path(), QStringLiteral("/zentrope/2.0"));
  EXPECT_EQ(TreeOf(config.path()), QStringList({"zentrope", "zentrope/other.txt"}));
  QFile::remove(config.filePath(QStringLiteral("zentrope/other.txt")));
  WriteFirstRunSettings(file, QStringLiteral("/z/"));
  DeleteSettings(config.path(), QStringLiteral("/zentrope/2.0"));
  EXPECT_EQ(TreeOf(config.path()), QStringList());
}

}  // namespace
}  // namespace zt::setup
