// The installation wizard. Its pages, in order: 0 "Welcome", 1 "License",
// 2 "Dest" (the destination folder), 3 "Icon" (which shortcuts), 4 "Copy" (the
// installation runs), 5 "Ready"; and three buttons, Back, Next (the default
// button) and Cancel, whose captions and states follow the page. Closing asks
// first, except on the last page; during the installation it is refused.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>

#include "setup/installer.h"
#include "setup/launcher.h"
#include "setup/messenger.h"

namespace zt::setup {

// User-interface thread only. `messenger` and `launcher` must outlive the wizard.
class TSetupWizard : public QDialog, private TProgress {
  Q_OBJECT

 public:
  enum TPage { kPageWelcome, kPageLicense, kPageDest, kPageIcon, kPageCopy, kPageReady };

  // `display_name` from the installation data; `preset` gives the suggested
  // destination and the shortcut choices.
  TSetupWizard(TInstallSource source, const QString& display_name, const TInstallChoices& preset,
               TUserFolders folders, TMessenger& messenger, TLauncher& launcher);

  int Page() const { return pages_->currentIndex(); }
  QPushButton* BackButton() const { return back_; }
  QPushButton* NextButton() const { return next_; }
  QPushButton* CancelButton() const { return cancel_; }
  QLabel* WelcomeLabel() const { return welcome_; }
  QLineEdit* DestinationBox() const { return destination_; }
  QCheckBox* ReadmeBox() const { return readme_; }
  QLabel* StatusLabel() const { return status_; }

 signals:
  // The wizard has closed: 0 after closing, 1 after a fatal failure.
  void Ended(int status);

 public slots:
  // Escape closes the way the window's close button does.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* MakeWelcomePage(const QString& display_name);
  QWidget* MakeLicensePage();
  QWidget* MakeDestPage(const QString& destination);
  QWidget* MakeIconPage(const TInstallChoices& preset);
  QWidget* MakeCopyPage();
  QWidget* MakeReadyPage();

  void ShowPage(int page);
  void Back();
  void Next();
  void Browse();
  void RunInstallation();
  void Finish();
  void Report(const QString& status, int position, int maximum) override;

  TInstallSource source_;
  TUserFolders folders_;
  TMessenger& messenger_;
  TLauncher& launcher_;
  QString accepted_destination_;  // ends in "/" once page 2 was passed
  bool ended_ = false;
  int exit_status_ = 0;

  QStackedWidget* pages_;
  QPushButton* back_;
  QPushButton* next_;
  QPushButton* cancel_;
  QLabel* welcome_ = nullptr;
  QLineEdit* destination_ = nullptr;
  QCheckBox* start_menu_ = nullptr;
  QCheckBox* desktop_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QCheckBox* readme_ = nullptr;
  QCheckBox* start_program_ = nullptr;
};

}  // namespace zt::setup
