// Uninstalling: a plain install and uninstall leaves nothing; changed files
// survive with their message; the question, a damaged log, and the file
// associations of the main program.
#include "setup/uninstaller.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "setup/associations.h"
#include "setup/installer.h"
#include "setup/testing/test_package.h"

namespace zt::setup {
namespace {

using namespace testing;

constexpr char kCompleted[] = "Uninstallation successfully completed.";
constexpr char kSomeLeft[] =
    "Uninstallation successfully completed.\n\nSome items could not be removed. You should "
    "manually \nremove items related to Zentrope.";

class UninstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source_ = WritePackage(root_.filePath(QStringLiteral("package")));
    // A home as desktops leave it, with its usual folders.
    for (const QString& path : {folders_.DataHome + QStringLiteral("/applications"),
                                folders_.ConfigHome, folders_.Desktop})
      QDir().mkpath(path);
    before_ = TreeOf(folders_.Home);
    QDir().mkpath(destination_);
    TNoProgress progress;
    Install(source_, {destination_, true, true}, folders_, progress);
  }

  int Run() {
    return Uninstall(destination_, destination_ + QStringLiteral("Uninst"), folders_, messenger_);
  }

  QTemporaryDir root_;
  TInstallSource source_;
  TUserFolders folders_ = FoldersBelow(root_.filePath(QStringLiteral("home")));
  QString destination_ = folders_.Home + QStringLiteral("/.local/opt/Zentrope/");
  QStringList before_;
  TRecordingMessenger messenger_;
};

TEST_F(UninstallerTest, APlainInstallationLeavesNothingBehind) {
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(messenger_.Asked,
            QStringList("Are you sure you want to completely remove Zentrope\nand all of its "
                        "components?"));
  EXPECT_EQ(messenger_.Shown, QStringList(kCompleted));
  EXPECT_EQ(TreeOf(folders_.Home), before_);
}

TEST_F(UninstallerTest, ChangedFilesSurviveAndAreReported) {
  const QString changed = destination_ + QStringLiteral("Formula/Standard.zfm");
  WriteFile(changed, "Mine {\n}\n");
  // The help index of the viewer changes as it is used, and goes all the same.
  WriteFile(destination_ + QStringLiteral("Formula/Help.gid"), "index");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(messenger_.Shown, QStringList(kSomeLeft));
  EXPECT_EQ(ReadFile(changed), QByteArray("Mine {\n}\n"));
  EXPECT_EQ(TreeOf(destination_), QStringList({"Formula", "Formula/Standard.zfm"}));
  EXPECT_FALSE(QFileInfo::exists(folders_.Desktop + QStringLiteral("/Zentrope.desktop")));
}

TEST_F(UninstallerTest, NoRemovesNothingAndADamagedLogIsReported) {
  const QStringList installed = TreeOf(folders_.Home);
  messenger_.Answers = {false};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(TreeOf(folders_.Home), installed);

  WriteFile(destination_ + QStringLiteral("Uninst.dat"), "QXUNINST");
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(messenger_.Shown, QStringList("Could not read the uninstall log file."));
  EXPECT_EQ(TreeOf(folders_.Home), installed);
}

TEST_F(UninstallerTest, TheMainProgramsFileAssociationsGo) {
  WriteFile(folders_.DataHome + QStringLiteral("/mime/packages/zentrope.xml"), "<mime-info/>");
  WriteFile(folders_.DataHome + QStringLiteral("/applications/zentrope.desktop"),
            "[Desktop Entry]");
  const QString list = folders_.ConfigHome + QStringLiteral("/mimeapps.list");
  WriteFile(list,
            "[Default Applications]\r\ntext/plain=editor.desktop\r\n"
            "application/x-zentrope-zfr=zentrope.desktop\r\n"
            "[Added Associations]\r\nAPPLICATION/X-ZENTROPE-ZPR=zentrope.desktop;\r\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(
      QFileInfo::exists(folders_.DataHome + QStringLiteral("/mime/packages/zentrope.xml")));
  EXPECT_FALSE(
      QFileInfo::exists(folders_.DataHome + QStringLiteral("/applications/zentrope.desktop")));
  EXPECT_EQ(ReadFile(list), QByteArray("[Default Applications]\r\ntext/plain=editor.desktop\r\n"
                                       "[Added Associations]\r\n"));

  EXPECT_EQ(WithoutDocumentTypes("[Default Applications]\napplication/x-zentrope-zal=z.desktop\n"),
            QByteArray());
  EXPECT_EQ(WithoutDocumentTypes("[Default Applications]\n"),
            QByteArray("[Default Applications]\n"));
}

}  // namespace
}  // namespace zt::setup
