// The wizard's pages and buttons, its close question, the destination check,
// and whole runs through the real installation.
#include "setup/wizard.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "setup/folder_browser.h"
#include "setup/testing/test_package.h"

namespace zt::setup {
namespace {

using namespace testing;

constexpr char kCancelQuestion[] =
    "Zentrope has not been fully installed yet.\nAre you sure you want to cancel Zentrope Setup?";

class TRecordingLauncher : public TLauncher {
 public:
  void OpenDocument(const QString& file) override { Started << file; }
  void StartProgram(const QString& program, const QString& folder) override {
    Started << program + QStringLiteral(" in ") + folder;
  }
  QStringList Started;
};

class WizardTest : public ::testing::Test {
 protected:
  WizardTest()
      : source_(WritePackage(root_.filePath(QStringLiteral("package")))),
        wizard_(source_, QStringLiteral("Zentrope"), {destination_, true, false},
                FoldersBelow(root_.filePath(QStringLiteral("home"))), messenger_, launcher_),
        ended_(&wizard_, &TSetupWizard::Ended) {
    wizard_.show();
  }

  void Next() { QTest::mouseClick(wizard_.NextButton(), Qt::LeftButton); }

  QTemporaryDir root_;
  QString destination_ = root_.filePath(QStringLiteral("home/Zentrope"));
  TInstallSource source_;
  TRecordingMessenger messenger_;
  TRecordingLauncher launcher_;
  TSetupWizard wizard_;
  QSignalSpy ended_;
};

TEST_F(WizardTest, ButtonsFollowThePagesToTheEnd) {
  struct TState {
    bool BackEnabled, BackVisible;
    const char* Next;
    bool NextVisible;
    const char* Cancel;
    bool CancelEnabled, CancelVisible;
  };
  constexpr TState kStates[] = {
      {false, true, "&Next >", true, "Cancel", true, true},
      {true, true, "&Yes", true, "&No", true, true},
      {true, true, "&Next >", true, "Cancel", true, true},
      {true, true, "&Install", true, "Cancel", true, true},
      {true, false, "&Install", false, "Cancel", false, true},
      {true, false, "&Finish", true, "Cancel", false, false},
  };
  std::vector<int> pages;
  auto check = [&] {
    const int page = wizard_.Page();
    pages.push_back(page);
    const TState& s = kStates[page];
    EXPECT_EQ(wizard_.BackButton()->isEnabled(), s.BackEnabled) << page;
    EXPECT_EQ(wizard_.BackButton()->isVisible(), s.BackVisible) << page;
    EXPECT_EQ(wizard_.NextButton()->text(), QLatin1String(s.Next)) << page;
    EXPECT_EQ(wizard_.NextButton()->isVisible(), s.NextVisible) << page;
    EXPECT_TRUE(wizard_.NextButton()->isDefault()) << page;
    EXPECT_EQ(wizard_.CancelButton()->text(), QLatin1String(s.Cancel)) << page;
    EXPECT_EQ(wizard_.CancelButton()->isEnabled(), s.CancelEnabled) << page;
    EXPECT_EQ(wizard_.CancelButton()->isVisible(), s.CancelVisible) << page;
    if (page != TSetupWizard::kPageCopy) {
      EXPECT_EQ(wizard_.focusWidget(), wizard_.NextButton()) << page;
    }
  };
  EXPECT_EQ(wizard_.WelcomeLabel()->text(),
            QStringLiteral("This program will install Zentrope on your computer."));
  for (int page = 0; page < 4; ++page) {
    check();
    if (page == TSetupWizard::kPageIcon) {
      // Page 4 shows while the installation lets pending events run; it refuses to close.
      QMetaObject::invokeMethod(
          &wizard_,
          [&] {
            check();
            wizard_.close();
          },
          Qt::QueuedConnection);
    }
    Next();
  }
  check();
  EXPECT_EQ(pages, std::vector<int>({0, 1, 2, 3, 4, 5}));
  EXPECT_TRUE(messenger_.Asked.isEmpty());
  EXPECT_TRUE(wizard_.isVisible());
  EXPECT_EQ(wizard_.StatusLabel()->text(), QStringLiteral("Creating shortcuts..."));
  EXPECT_TRUE(QFileInfo::exists(destination_ + QStringLiteral("/Uninst.dat")));
  EXPECT_FALSE(QFileInfo::exists(root_.filePath(QStringLiteral("home/Desktop"))));

  wizard_.ReadmeBox()->setChecked(false);
  Next();
  EXPECT_EQ(launcher_.Started,
            QStringList(destination_ + QStringLiteral("/zentrope in ") + destination_ + u'/'));
  EXPECT_FALSE(wizard_.isVisible());
  EXPECT_EQ(ended_.count(), 1);
}

TEST_F(WizardTest, ClosingAsksFirst) {
  messenger_.Answers = {false, true};
  wizard_.close();
  EXPECT_TRUE(wizard_.isVisible());
  Next();
  QTest::mouseClick(wizard_.CancelButton(), Qt::LeftButton);  // "&No" on the license page
  EXPECT_EQ(messenger_.Asked, QStringList({kCancelQuestion, kCancelQuestion}));
  EXPECT_FALSE(wizard_.isVisible());
  ASSERT_EQ(ended_.count(), 1);
  EXPECT_EQ(ended_.front().front().toInt(), 0);
}

TEST_F(WizardTest, TheDestinationIsCheckedBeforeTheNextPage) {
  Next();
  Next();
  QDir().mkpath(destination_);
  messenger_.Answers = {false, true};
  Next();
  EXPECT_EQ(wizard_.Page(), TSetupWizard::kPageDest);
  Next();
  EXPECT_EQ(wizard_.Page(), TSetupWizard::kPageIcon);
  EXPECT_EQ(messenger_.Asked,
            QStringList(2, QStringLiteral("The destination folder already exists. If you proceed, "
                                          "\nexisting files in this folder may be overwritten."
                                          "\n\nDo you want to proceed?")));
  QTest::mouseClick(wizard_.BackButton(), Qt::LeftButton);
  const QString under_a_file = source_.Folder + QStringLiteral("Setup.dat/Zentrope");
  wizard_.DestinationBox()->setText(under_a_file);
  Next();
  EXPECT_EQ(wizard_.Page(), TSetupWizard::kPageDest);
  EXPECT_EQ(messenger_.Shown,
            QStringList(QStringLiteral("Could not create the folder '%1'.\nPlease specify a valid "
                                       "name.")
                            .arg(under_a_file)));
}

TEST_F(WizardTest, AFatalFailureIsShownAndEndsTheWizard) {
  QFile::remove(source_.Folder + QStringLiteral("zt"));
  for (int page = 0; page < 4; ++page) Next();
  ASSERT_EQ(messenger_.Shown.size(), 1);
  EXPECT_TRUE(messenger_.Shown.front().startsWith(QStringLiteral("Error copying the file")));
  EXPECT_FALSE(wizard_.isVisible());
  ASSERT_EQ(ended_.count(), 1);
  EXPECT_EQ(ended_.front().front().toInt(), 1);
}

TEST_F(WizardTest, TheFolderBrowserStartsAtTheTypedFolder) {
  const QString missing = root_.filePath(QStringLiteral("package/not/there"));
  const struct {
    QString Typed, Directory;
  } kCases[] = {
      {source_.Folder + QStringLiteral("/"), root_.path()},
      {missing, root_.filePath(QStringLiteral("package"))},
  };
  for (const auto& c : kCases) {
    TFolderBrowser browser(&wizard_, c.Typed);
    EXPECT_EQ(browser.windowTitle(),
              QStringLiteral("This is the directory in which Zentrope will be installed:"));
    EXPECT_EQ(browser.directory().absolutePath(), c.Directory) << c.Typed.toStdString();
    EXPECT_EQ(browser.StatusText(), QDir::cleanPath(c.Typed));
  }
}

}  // namespace
}  // namespace zt::setup
