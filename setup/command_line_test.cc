// The command lines of the setup program and of the uninstaller.
#include "setup/command_line.h"

#include <gtest/gtest.h>

namespace zt::setup {
namespace {

TEST(SetupCommandLine, ArgumentsAndUsageErrors) {
  const struct {
    const char* Arguments;
    bool Uninstaller;
    TSetupMode Mode;
    const char* Error;
  } kCases[] = {
      {"", false, TSetupMode::kWizard, ""},
      {"--dest /d --no-desktop", false, TSetupMode::kWizard, ""},
      {"--unattended --dest /d --no-menu --no-desktop", false, TSetupMode::kUnattended, ""},
      {"--unattended", false, TSetupMode::kUnattended, "--unattended needs --dest"},
      {"--unattended --dest", false, TSetupMode::kUnattended, "--dest needs a folder"},
      {"--yes", false, TSetupMode::kWizard, "unknown argument '--yes'"},
      {"", true, TSetupMode::kUninstall, ""},
      {"--yes", true, TSetupMode::kUninstall, ""},
      {"--dest /d", true, TSetupMode::kUninstall, "unknown argument '--dest'"},
  };
  for (const auto& c : kCases) {
    const QStringList arguments = QString::fromLatin1(c.Arguments).split(u' ', Qt::SkipEmptyParts);
    const TSetupCommand command = ParseCommandLine(arguments, c.Uninstaller);
    EXPECT_EQ(command.Mode, c.Mode) << c.Arguments;
    EXPECT_EQ(command.Error, QLatin1String(c.Error)) << c.Arguments;
  }
  const TSetupCommand command =
      ParseCommandLine({"--unattended", "--dest", "/d", "--no-menu"}, false);
  EXPECT_EQ(command.Destination, QStringLiteral("/d"));
  EXPECT_FALSE(command.StartMenu);
  EXPECT_TRUE(command.Desktop);
  EXPECT_TRUE(ParseCommandLine({"--yes"}, true).Yes);
  EXPECT_TRUE(IsUninstallerName(QStringLiteral("UNINST.EXE")));
  EXPECT_FALSE(IsUninstallerName(QStringLiteral("Uninst.sh")));
}

}  // namespace
}  // namespace zt::setup
