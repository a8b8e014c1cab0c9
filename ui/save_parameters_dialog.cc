// The parameter-set save window and its checks before the set is appended.
#include "ui/save_parameters_dialog.h"

#include <unistd.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "document/fractal_params.h"
#include "document/settings/config_manager.h"
#include "platform/program_folder.h"
#include "platform/text.h"
#include "platform/user_interface.h"
#include "ui/file_filters.h"

namespace zt {
namespace {

constexpr const char* kWindow = "SaveParameters";

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

TSaveParametersDialog::TSaveParametersDialog(TFractal& fractal, QWidget* parent)
    : QDialog(parent), fractal_(fractal) {
  setWindowTitle(QStringLiteral("Save Parameters"));
  file_ = new QLineEdit(
      QString::fromStdString(ConfigManager().ReadWindowValue(kWindow, "LastParamFile", "")), this);
  auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
  connect(browse, &QPushButton::clicked, this, &TSaveParametersDialog::BrowseFile);
  title_ = new QLineEdit(QString::fromStdString(fractal.Title()), this);
  carry_ = new QCheckBox(QStringLiteral("Save &formulas"), this);
  carry_->setToolTip(
      QStringLiteral("Also save the formulas, colorings and transformations that are not "
                     "in the standard files, so that the set opens where they are missing"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* file_row = new QHBoxLayout;
  file_row->addWidget(file_, 1);
  file_row->addWidget(browse);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("1. Where should the parameter set be saved?")));
  layout->addLayout(file_row);
  layout->addWidget(new QLabel(QStringLiteral("2. Enter a title for the parameter set:")));
  layout->addWidget(title_);
  layout->addWidget(carry_);
  layout->addWidget(buttons);
  resize(480, sizeHint().height());
}

void TSaveParametersDialog::BrowseFile() {
  const QString start =
      file_->text().isEmpty()
          ? QString::fromStdString(ResolveFolder(ConfigManager().ParameterDirectory))
          : file_->text();
  QString picked =
      QFileDialog::getSaveFileName(this, QStringLiteral("Save Parameters"), start,
                                   QtFilters(kParameterFilters).join(QStringLiteral(";;")), nullptr,
                                   QFileDialog::DontConfirmOverwrite);
  if (picked.isEmpty()) return;
  if (QFileInfo(picked).suffix().isEmpty()) picked += QStringLiteral(".zpr");
  file_->setText(picked);
}

void TSaveParametersDialog::accept() {
  const std::string title = std::string(Trim(title_->text().toStdString()));
  if (title.empty()) {
    UserInterface().ShowMessage("Error", "Please enter a title for the parameter set.",
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
    if (!SaveParameterSet(fractal_, file.string(), title, carry_->isChecked())) return;
  } catch (const EZentrope& e) {
    UserInterface().ShowMessage("Error", e.what(), TMessageKind::kError);
    return;
  }
  ConfigManager().WriteWindowValue(kWindow, "LastParamFile", file.string());
  QDialog::accept();
}

}  // namespace zt
