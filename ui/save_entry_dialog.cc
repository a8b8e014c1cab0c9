// The entry save window and its checks before the entry is appended.
#include "ui/save_entry_dialog.h"

#include <unistd.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "document/settings/config_manager.h"
#include "platform/error.h"
#include "platform/program_folder.h"
#include "platform/text.h"
#include "platform/user_interface.h"
#include "ui/file_filters.h"

namespace zt {
namespace {

// A file that exists must be readable and writable; a new one needs a folder
// that takes files.
bool UsableFile(const std::filesystem::path& file) {
  std::error_code error;
  if (std::filesystem::exists(file, error))
    return std::filesystem::is_regular_file(file, error) && access(file.c_str(), R_OK | W_OK) == 0;
  const std::filesystem::path folder = file.parent_path();
  return !file.filename().empty() && std::filesystem::is_directory(folder, error) &&
         access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

const TSaveEntryKind kSaveParameters = {
    "Save Parameters",
    "parameter set",
    kParameterFilters,
    ".zpr",
    "SaveParameters",
    "LastParamFile",
    [] { return ResolveFolder(ConfigManager().ParameterDirectory); }};
const TSaveEntryKind kSaveGradient = {
    "Save Gradient",
    "gradient",
    "Gradient files (*.ZGR)|*.ZGR|All files (*.*)|*.*",
    ".zgr",
    "SaveGradient",
    "LastGradientFile",
    [] { return ResolveFolder(ConfigManager().GradientDirectory); }};
const TSaveEntryKind kSaveAlphaChannel = {
    "Save Alpha channel",
    "alpha channel",
    "Alpha channel files (*.ZAL)|*.ZAL|All files (*.*)|*.*",
    ".zal",
    "SaveAlphaChannel",
    "LastAlphaFile",
    [] { return ResolveFolder(ConfigManager().AlphaChannelDirectory); }};

TSaveEntryDialog::TSaveEntryDialog(const TSaveEntryKind& kind, const std::string& title, TSave save,
                                   QWidget* parent)
    : QDialog(parent), kind_(kind), save_(std::move(save)) {
  setWindowTitle(QString::fromUtf8(kind.Caption));
  file_ = new QLineEdit(
      QString::fromStdString(ConfigManager().ReadWindowValue(kind.Window, kind.FileKey, "")), this);
  auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
  connect(browse, &QPushButton::clicked, this, &TSaveEntryDialog::BrowseFile);
  title_ = new QLineEdit(QString::fromStdString(title), this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  const QString noun = QString::fromUtf8(kind.Noun);
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(file_, 1);
  file_row->addWidget(browse);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("1. Where should the %1 be saved?").arg(noun)));
  layout->addLayout(file_row);
  layout->addWidget(new QLabel(QStringLiteral("2. Enter a title for the %1:").arg(noun)));
  layout->addWidget(title_);
  extra_ = new QVBoxLayout;
  layout->addLayout(extra_);
  layout->addWidget(buttons);
  resize(480, sizeHint().height());
}

void TSaveEntryDialog::BrowseFile() {
  const QString start =
      file_->text().isEmpty() ? QString::fromStdString(kind_.Folder()) : file_->text();
  QString picked = QFileDialog::getSaveFileName(this, QString::fromUtf8(kind_.Caption), start,
                                                QtFilters(kind_.Filters).join(QStringLiteral(";;")),
                                                nullptr, QFileDialog::DontConfirmOverwrite);
  if (picked.isEmpty()) return;
  if (QFileInfo(picked).suffix().isEmpty()) picked += QString::fromUtf8(kind_.Extension);
  file_->setText(picked);
}

void TSaveEntryDialog::accept() {
  const std::string title = std::string(Trim(title_->text().toStdString()));
  if (title.empty()) {
    UserInterface().ShowMessage("Error",
                                std::string("Please enter a title for the ") + kind_.Noun + ".",
                                TMessageKind::kError);
    return;
  }
  std::filesystem::path file = std::string(Trim(file_->text().toStdString()));
  if (file.is_relative()) file = ProgramFolder() / file;
  if (!UsableFile(file)) {
    UserInterface().ShowMessage("Error", "Invalid file.\rPlease enter a valid filename.",
                                TMessageKind::kError);
    return;
  }
  try {
    if (!save_(file.string(), title)) return;
  } catch (const EZentrope& e) {
    UserInterface().ShowMessage("Error", e.what(), TMessageKind::kError);
    return;
  }
  ConfigManager().WriteWindowValue(kind_.Window, kind_.FileKey, file.string());
  QDialog::accept();
}

}  // namespace zt
