// Installing a small package: the files, the log, the shortcuts, the settings
// and the uninstaller; reinstalling; and the fatal failures.
#include "setup/installer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "setup/file_time.h"
#include "setup/first_run_settings.h"
#include "setup/setup_error.h"
#include "setup/testing/test_package.h"
#include "setup/uninstall_log.h"

namespace zt::setup {
namespace {

using namespace testing;

// Collects the status lines with the bar's position and maximum.
class TRecordingProgress : public TProgress {
 public:
  void Report(const QString& status, int position, int maximum) override {
    Steps << QStringLiteral("%1 %2/%3").arg(status).arg(position).arg(maximum);
  }
  QStringList Steps;
};

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source_ = WritePackage(root_.filePath(QStringLiteral("package")));
    folders_ = FoldersBelow(root_.filePath(QStringLiteral("home")));
    QDir().mkpath(destination_);
  }

  // The message of the fatal failure, or an empty string.
  QString Run(const TInstallChoices& choices) {
    progress_.Steps.clear();
    try {
      Install(source_, choices, folders_, progress_);
    } catch (const ESetupError& error) {
      return error.Message();
    }
    return QString();
  }

  QTemporaryDir root_;
  TInstallSource source_;
  TUserFolders folders_;
  TRecordingProgress progress_;
  QString destination_ = root_.filePath(QStringLiteral("home/.local/opt/Zentrope/"));
};

TEST_F(InstallerTest, InstallsFilesShortcutsSettingsAndTheUninstaller) {
  ASSERT_EQ(Run({destination_, true, true}), QString());
  EXPECT_EQ(
      progress_.Steps,
      QStringList({"Preparing installation... 0/0", "Preparing installation... 0/6",
                   "Decompressing Readme.txt ... 1/6", "Decompressing user-guide.html ... 2/6",
                   "Decompressing Standard.zfm ... 3/6", "Decompressing Help.gid ... 4/6",
                   "Copying zentrope ... 5/6", "Copying zt ... 6/6", "Creating shortcuts... 6/6"}));
  EXPECT_EQ(ReadFile(destination_ + QStringLiteral("Formula/Standard.zfm")),
            QByteArray("Mandel {\n}\n"));
  EXPECT_TRUE(
      SameTime(*ModificationTime(destination_ + QStringLiteral("Readme.txt")), kPackageTime));
  EXPECT_TRUE(QFileInfo(destination_ + QStringLiteral("zentrope")).isExecutable());
  EXPECT_EQ(ReadFile(destination_ + QStringLiteral("Uninst")), ReadFile(source_.SetupProgram));

  const QString apps = folders_.DataHome + QStringLiteral("/applications/");
  const QString menu = apps + QStringLiteral("Zentrope/");
  std::vector<QString> logged;
  for (const TLogRecord& record :
       ReadUninstallLog(destination_ + QStringLiteral("Uninst.dat")).Records)
    logged.push_back((record.Folder ? QStringLiteral("folder ") : QString()) +
                     QDir(root_.path()).relativeFilePath(record.Path));
  const std::vector<QString> expected = {
      "home/.local/opt/Zentrope/Readme.txt",
      "home/.local/opt/Zentrope/help/user-guide.html",
      "folder home/.local/opt/Zentrope/help",
      "home/.local/opt/Zentrope/Formula/Standard.zfm",
      "home/.local/opt/Zentrope/Formula/Help.gid",
      "folder home/.local/opt/Zentrope/Formula",
      "folder home/.local/opt/Zentrope/Export",
      "home/.local/opt/Zentrope/zentrope",
      "home/.local/opt/Zentrope/zt",
      "home/.local/share/applications/Zentrope/Zentrope.desktop",
      "home/.local/share/applications/Zentrope/Zentrope Help.desktop",
      "home/.local/share/applications/Zentrope/Read Me.desktop",
      "home/.local/share/desktop-directories/zentrope.directory",
      "home/.config/menus/applications-merged/zentrope.menu",
      "folder home/.local/share/applications/Zentrope",
      "home/Desktop/Zentrope.desktop",
      // The folders made on the way, innermost first.
      "folder home/Desktop",
      "folder home/.config/menus/applications-merged",
      "folder home/.config/menus",
      "folder home/.config",
      "folder home/.local/share/desktop-directories",
      "folder home/.local/share/applications",
      "folder home/.local/share",
  };
  EXPECT_EQ(logged, expected);
  EXPECT_TRUE(ReadFile(apps + QStringLiteral("Uninstall Zentrope.desktop"))
                  .contains("\nName=Uninstall Zentrope\nExec=\"" + QFile::encodeName(destination_) +
                            "Uninst\"\n"));
  EXPECT_TRUE(ReadFile(SettingsFile(folders_.ConfigHome, QStringLiteral("/zentrope/2.0")))
                  .contains("\nOpenDirectory=" + QFile::encodeName(destination_) + '\n'));
}

TEST_F(InstallerTest, ReinstallingReplacesShortcutsAndKeepsSettings) {
  ASSERT_EQ(Run({destination_, true, true}), QString());
  const QString settings = SettingsFile(folders_.ConfigHome, QStringLiteral("/zentrope/2.0"));
  WriteFile(settings,
            ReadFile(settings).replace("StartupFractalOptions=3", "StartupFractalOptions=0"));
  const QStringList first = TreeOf(folders_.Home);
  ASSERT_EQ(Run({destination_, true, true}), QString());
  EXPECT_EQ(TreeOf(folders_.Home), first);
  EXPECT_TRUE(ReadFile(settings).contains("StartupFractalOptions=0"));
}

TEST_F(InstallerTest, UntickedShortcutsAreLeftOut) {
  ASSERT_EQ(Run({destination_, false, false}), QString());
  EXPECT_EQ(TreeOf(folders_.DataHome),
            QStringList({"applications", "applications/Uninstall Zentrope.desktop"}));
  EXPECT_FALSE(QFileInfo::exists(folders_.Desktop));
}

TEST_F(InstallerTest, FatalFailuresStopWithTheirMessages) {
  // Counting comes first: a damaged data file leaves the destination untouched.
  const QString data = source_.Folder + QStringLiteral("Setup.dat");
  const QByteArray intact = ReadFile(data);
  WriteFile(data, intact.left(intact.size() - 40));
  EXPECT_EQ(Run({destination_, true, true}),
            QStringLiteral("Error reading from compressed data file.\nTry downloading Zentrope "
                           "again."));
  EXPECT_EQ(TreeOf(destination_), QStringList());

  WriteFile(data, intact);
  QDir().mkpath(destination_ + QStringLiteral("Readme.txt"));
  EXPECT_EQ(Run({destination_, true, true}),
            QStringLiteral("Could not create the file '%1Readme.txt'.").arg(destination_));
  QDir().rmdir(destination_ + QStringLiteral("Readme.txt"));

  WriteFile(destination_ + QStringLiteral("Export"), "a file where a folder goes");
  EXPECT_EQ(Run({destination_, true, true}),
            QStringLiteral("Could not create the directory '%1Export'.").arg(destination_));
  QFile::remove(destination_ + QStringLiteral("Export"));

  QFile::remove(source_.Folder + QStringLiteral("zt"));
  EXPECT_EQ(
      Run({destination_, true, true}),
      QStringLiteral("Error copying the file '%1zt' to '%2zt'.").arg(source_.Folder, destination_));
  // Nothing was logged for good: the uninstaller would not be there either.
  EXPECT_FALSE(QFileInfo::exists(destination_ + QStringLiteral("Uninst.dat")));
}

}  // namespace
}  // namespace zt::setup
