// The installation wizard's pages, buttons and steps.
#include "setup/wizard.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <utility>

#include "setup/destination.h"
#include "setup/folder_browser.h"
#include "setup/setup_error.h"

namespace zt::setup {
namespace {

// The buttons of one page; a null caption leaves the caption as it was.
struct TPageButtons {
  bool BackEnabled;
  bool BackVisible;
  const char* NextCaption;
  bool NextVisible;
  const char* CancelCaption;
  bool CancelEnabled;
  bool CancelVisible;
};

constexpr TPageButtons kPageButtons[] = {
    {false, true, "&Next >", true, "Cancel", true, true},   // Welcome
    {true, true, "&Yes", true, "&No", true, true},          // License
    {true, true, "&Next >", true, "Cancel", true, true},    // Dest
    {true, true, "&Install", true, "Cancel", true, true},   // Icon
    {true, false, nullptr, false, "Cancel", false, true},   // Copy
    {true, false, "&Finish", true, nullptr, false, false},  // Ready
};

constexpr char kLicense[] =
    "Zentrope 2.0\n\n"
    "This software is provided 'as-is', without any express or implied warranty. In no event "
    "will the authors be held liable for any damages arising from the use of this software.\n\n"
    "Permission is granted to anyone to use this software for any purpose, including commercial "
    "applications, and to redistribute it freely, subject to the following restrictions:\n\n"
    "1. The origin of this software must not be misrepresented.\n"
    "2. This notice may not be removed or altered from any distribution.\n\n"
    "Images you create with Zentrope are yours.";

QWidget* NewPage(const QString& title, QVBoxLayout*& layout) {
  auto* page = new QWidget;
  layout = new QVBoxLayout(page);
  auto* heading = new QLabel(title);
  QFont font = heading->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.3);
  heading->setFont(font);
  layout->addWidget(heading);
  return page;
}

QLabel* Paragraph(const QString& text) {
  auto* label = new QLabel(text);
  label->setWordWrap(true);
  return label;
}

}  // namespace

TSetupWizard::TSetupWizard(TInstallSource source, const QString& display_name,
                           const TInstallChoices& preset, TUserFolders folders,
                           TMessenger& messenger, TLauncher& launcher)
    : source_(std::move(source)),
      folders_(std::move(folders)),
      messenger_(messenger),
      launcher_(launcher),
      pages_(new QStackedWidget),
      back_(new QPushButton(QStringLiteral("< &Back"))),
      next_(new QPushButton(QStringLiteral("&Next >"))),
      cancel_(new QPushButton(QStringLiteral("Cancel"))) {
  setWindowTitle(QStringLiteral("Zentrope Setup"));
  pages_->addWidget(MakeWelcomePage(display_name));
  pages_->addWidget(MakeLicensePage());
  pages_->addWidget(MakeDestPage(preset.Destination));
  pages_->addWidget(MakeIconPage(preset));
  pages_->addWidget(MakeCopyPage());
  pages_->addWidget(MakeReadyPage());

  auto* rule = new QFrame;
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(back_);
  buttons->addWidget(next_);
  buttons->addSpacing(12);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_, 1);
  layout->addWidget(rule);
  layout->addLayout(buttons);
  next_->setDefault(true);
  back_->setAutoDefault(false);
  cancel_->setAutoDefault(false);
  connect(back_, &QPushButton::clicked, this, &TSetupWizard::Back);
  connect(next_, &QPushButton::clicked, this, &TSetupWizard::Next);
  connect(cancel_, &QPushButton::clicked, this, &TSetupWizard::close);
  resize(520, 380);
  ShowPage(kPageWelcome);
}

QWidget* TSetupWizard::MakeWelcomePage(const QString& display_name) {
  QVBoxLayout* layout;
  QWidget* page = NewPage(QStringLiteral("Welcome"), layout);
  welcome_ = Paragraph(QStringLiteral("This program will install ") + display_name.left(57) +
                       QStringLiteral(" on your computer."));
  layout->addWidget(welcome_);
  layout->addWidget(Paragraph(QStringLiteral("Press Next to continue, or Cancel to leave Setup.")));
  layout->addStretch();
  return page;
}

QWidget* TSetupWizard::MakeLicensePage() {
  QVBoxLayout* layout;
  QWidget* page = NewPage(QStringLiteral("License Agreement"), layout);
  layout->addWidget(Paragraph(QStringLiteral("Please read the following license agreement.")));
  auto* text = new QPlainTextEdit(QLatin1String(kLicense));
  text->setReadOnly(true);
  text->setFocusPolicy(Qt::ClickFocus);
  layout->addWidget(text, 1);
  layout->addWidget(Paragraph(
      QStringLiteral("Do you accept all the terms of the license agreement? If you choose No, "
                     "Setup will close.")));
  return page;
}

QWidget* TSetupWizard::MakeDestPage(const QString& destination) {
  QVBoxLayout* layout;
  QWidget* page = NewPage(QStringLiteral("Destination Folder"), layout);
  layout->addWidget(
      Paragraph(QStringLiteral("Setup will install Zentrope in the following folder. To install it "
                               "elsewhere, type another folder or press Browse.")));
  destination_ = new QLineEdit(destination);
  auto* browse = new QPushButton(QStringLiteral("&Browse..."));
  browse->setAutoDefault(false);
  connect(browse, &QPushButton::clicked, this, &TSetupWizard::Browse);
  auto* row = new QHBoxLayout;
  row->addWidget(destination_, 1);
  row->addWidget(browse);
  layout->addLayout(row);
  layout->addStretch();
  return page;
}

QWidget* TSetupWizard::MakeIconPage(const TInstallChoices& preset) {
  QVBoxLayout* layout;
  QWidget* page = NewPage(QStringLiteral("Shortcuts"), layout);
  start_menu_ = new QCheckBox(QStringLiteral("Create a folder in the &Start Menu"));
  desktop_ = new QCheckBox(QStringLiteral("Create a shortcut on the &desktop"));
  start_menu_->setChecked(preset.StartMenu);
  desktop_->setChecked(preset.Desktop);
  layout->addWidget(start_menu_);
  layout->addWidget(desktop_);
  layout->addStretch();
  return page;
}

QWidget* TSetupWizard::MakeCopyPage() {
  QVBoxLayout* layout;
  QWidget* page = NewPage(QStringLiteral("Installing"), layout);
  status_ = new QLabel;
  progress_ = new QProgressBar;
  layout->addWidget(status_);
  layout->addWidget(progress_);
  layout->addStretch();
  return page;
}

QWidget* TSetupWizard::MakeReadyPage() {
  QVBoxLayout* layout;
  QWidget* page = NewPage(QStringLiteral("Setup Complete"), layout);
  layout->addWidget(Paragraph(QStringLiteral("Zentrope has been installed on your computer.")));
  readme_ = new QCheckBox(QStringLiteral("Show &README.TXT"));
  start_program_ = new QCheckBox(QStringLiteral("&Start Zentrope"));
  readme_->setChecked(true);
  start_program_->setChecked(true);
  layout->addWidget(readme_);
  layout->addWidget(start_program_);
  layout->addStretch();
  return page;
}

void TSetupWizard::ShowPage(int page) {
  pages_->setCurrentIndex(page);
  const TPageButtons& state = kPageButtons[page];
  back_->setEnabled(state.BackEnabled);
  back_->setVisible(state.BackVisible);
  if (state.NextCaption) next_->setText(QLatin1String(state.NextCaption));
  next_->setVisible(state.NextVisible);
  if (state.CancelCaption) cancel_->setText(QLatin1String(state.CancelCaption));
  cancel_->setEnabled(state.CancelEnabled);
  cancel_->setVisible(state.CancelVisible);
  if (page != kPageCopy) next_->setFocus();
}

void TSetupWizard::Back() {
  if (Page() > kPageWelcome) ShowPage(Page() - 1);
}

void TSetupWizard::Next() {
  switch (Page()) {
    case kPageDest: {
      const std::optional<QString> accepted =
          AcceptDestination(destination_->text(), folders_.Home, messenger_);
      if (!accepted) return;
      accepted_destination_ = *accepted;
      ShowPage(kPageIcon);
      return;
    }
    case kPageIcon: RunInstallation(); return;
    case kPageReady: Finish(); return;
    default: ShowPage(Page() + 1);
  }
}

void TSetupWizard::Browse() {
  QString typed = destination_->text();
  if (typed.endsWith(u'/') && typed.size() > 1) typed.chop(1);
  const QString chosen = TFolderBrowser::Choose(this, typed);
  if (!chosen.isEmpty()) destination_->setText(chosen);
}

void TSetupWizard::RunInstallation() {
  ShowPage(kPageCopy);
  QCoreApplication::processEvents();
  try {
    Install(source_, {accepted_destination_, start_menu_->isChecked(), desktop_->isChecked()},
            folders_, *this);
  } catch (const ESetupError& error) {
    messenger_.Show(error.Message(), TMessageKind::kWarning);
    exit_status_ = 1;
    ended_ = true;
    close();
    return;
  }
  ShowPage(kPageReady);
}

void TSetupWizard::Finish() {
  if (readme_->isChecked())
    launcher_.OpenDocument(accepted_destination_ + QLatin1String(kReadmeFile));
  if (start_program_->isChecked()) {
    launcher_.StartProgram(accepted_destination_ + QLatin1String(kProgramFile),
                           accepted_destination_);
  }
  close();
}

void TSetupWizard::Report(const QString& status, int position, int maximum) {
  status_->setText(status);
  progress_->setRange(0, maximum);
  progress_->setValue(position);
  QCoreApplication::processEvents();
}

void TSetupWizard::reject() { close(); }

void TSetupWizard::closeEvent(QCloseEvent* event) {
  if (!ended_) {
    const bool may_close =
        Page() == kPageReady ||
        (Page() != kPageCopy &&
         messenger_.Ask(QStringLiteral("Zentrope has not been fully installed yet.\nAre you sure "
                                       "you want to cancel Zentrope Setup?")));
    if (!may_close) {
      event->ignore();
      return;
    }
    ended_ = true;
  }
  event->accept();
  emit Ended(exit_status_);
}

}  // namespace zt::setup
