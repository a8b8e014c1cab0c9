// The New Batch Render window (see batch_render_dialog.h).
#include "ui/batch_render_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "document/disk/render_checks.h"
#include "document/settings/config_manager.h"
#include "platform/program_folder.h"
#include "platform/user_interface.h"
#include "ui/export_options.h"
#include "ui/file_filters.h"
#include "ui/render_form.h"
#include "ui/render_size_fields.h"

namespace zt {
namespace {

constexpr const char* kFormatNames[kImageFormatCount] = {
    "Bitmap image (BMP)", "Photoshop image (PSD)", "PNG image", "JPEG image", "Targa image"};

// A caption whose shortcut moves the focus to `buddy`.
QLabel* Caption(const char* text, QWidget* buddy) {
  auto* label = new QLabel(QString::fromUtf8(text), buddy->parentWidget());
  label->setBuddy(buddy);
  return label;
}

// A line edit with a Browse button beside it.
QHBoxLayout* WithBrowse(QLineEdit* edit, QPushButton* browse) {
  auto* row = new QHBoxLayout;
  row->addWidget(edit, 1);
  row->addWidget(browse);
  return row;
}

}  // namespace

TBatchRenderDialog::TBatchRenderDialog(TConfigManager& config, QWidget* parent)
    : QDialog(parent), config_(config) {
  setWindowTitle(QStringLiteral("New Batch Render"));
  parameter_file_ = new QLineEdit(this);
  parameter_file_->setMinimumWidth(320);
  auto* browse_file = new QPushButton(QStringLiteral("&Browse..."), this);
  connect(browse_file, &QPushButton::clicked, this, &TBatchRenderDialog::BrowseParameterFile);
  folder_ = new QLineEdit(this);
  auto* browse_folder = new QPushButton(QStringLiteral("Brow&se..."), this);
  connect(browse_folder, &QPushButton::clicked, this, &TBatchRenderDialog::BrowseFolder);
  format_ = new QComboBox(this);
  for (const char* name : kFormatNames) format_->addItem(QString::fromUtf8(name));
  format_->setCurrentIndex(std::clamp(config.ExportFormat, 1, 5) - 1);
  auto* options = new QPushButton(QStringLiteral("Opt&ions..."), this);
  connect(options, &QPushButton::clicked, this, &TBatchRenderDialog::FormatOptions);
  skip_ = new QCheckBox(QStringLiteral("S&kip existing images"), this);
  skip_->setChecked(config.SkipExistingImages);
  fields_ =
      new TRenderSizeFields(config, QStringLiteral("Use &original aspect ratio"), nullptr, this);

  auto* format_row = new QHBoxLayout;
  format_row->addWidget(format_, 1);
  format_row->addWidget(options);
  auto* form = new QFormLayout;
  form->addRow(Caption("&Parameter file:", parameter_file_),
               WithBrowse(parameter_file_, browse_file));
  form->addRow(Caption("&Destination folder:", folder_), WithBrowse(folder_, browse_folder));
  form->addRow(Caption("&Format:", format_), format_row);
  form->addRow(skip_);
  LayOutRenderWindow(*this, form, fields_, [this] { Render(); });

  connect(parameter_file_, &QLineEdit::editingFinished, this, &TBatchRenderDialog::Update);
  connect(folder_, &QLineEdit::editingFinished, this, &TBatchRenderDialog::Update);
  connect(format_, &QComboBox::currentIndexChanged, this, &TBatchRenderDialog::Update);
  connect(fields_, &TRenderSizeFields::Changed, this, &TBatchRenderDialog::Update);
  Update();
}

TBatchSettings TBatchRenderDialog::Settings() const {
  TBatchSettings s;
  s.ParameterFile = parameter_file_->text().trimmed().toStdString();
  s.Folder = folder_->text().trimmed().toStdString();
  s.Width = fields_->ImageWidth();
  s.Height = fields_->ImageHeight();
  s.Format = static_cast<TImageFormat>(std::max(0, format_->currentIndex()));
  s.Options = {config_.ExportPSDLayers, config_.ExportJPEGQuality, config_.ExportJPEGBaseline};
  s.Threshold = fields_->Threshold();
  s.Depth = fields_->Depth();
  s.SkipExisting = skip_->isChecked();
  s.OriginalAspect = fields_->OriginalAspect();
  return s;
}

void TBatchRenderDialog::BrowseParameterFile() {
  const QString file = QFileDialog::getOpenFileName(
      this, QStringLiteral("Parameter File"),
      QString::fromStdString(ResolveFolder(config_.ParameterDirectory)),
      QtFilters(kParameterFilters).join(QStringLiteral(";;")));
  if (file.isEmpty()) return;
  parameter_file_->setText(file);
  Update();
}

void TBatchRenderDialog::BrowseFolder() {
  const QString folder = QFileDialog::getExistingDirectory(
      this, QStringLiteral("Destination Folder"),
      folder_->text().isEmpty() ? QString::fromStdString(ResolveFolder(config_.ExportDirectory))
                                : folder_->text());
  if (folder.isEmpty()) return;
  folder_->setText(folder);
  Update();
}

void TBatchRenderDialog::FormatOptions() {
  // OK in either window stores its options in the settings that Settings reads.
  if (format_->currentIndex() == static_cast<int>(TImageFormat::kPSD))
    TPhotoshopOptionsDialog(this).exec();
  else if (format_->currentIndex() == static_cast<int>(TImageFormat::kJPEG))
    TJpegOptionsDialog(this).exec();
  Update();
}

void TBatchRenderDialog::Update() {
  const TBatchSettings s = Settings();
  fields_->ShowSpace(BatchRequiredSpace(s),
                     s.Folder.empty() ? ResolveFolder(config_.ExportDirectory) : s.Folder);
}

TRenderForm* TBatchRenderDialog::Render() {
  const TBatchSettings s = Settings();
  const double required = BatchRequiredSpace(s);
  // Starting would truncate the batch file that render is writing.
  if (RunningRender(BatchTemporaryFile(s.Folder, s.ParameterFile, 0, 1)) != nullptr) {
    UserInterface().ShowMessage("Error", RunningRenderText(s.Folder), TMessageKind::kError);
    return nullptr;
  }
  TRenderCheck check = CheckBatchRender(s.ParameterFile, s.Folder, s.SkipExisting, false, required);
  if (check.Result == TRenderCheck::TResult::kAsk) {
    if (UserInterface().Ask("Confirm", check.Message, TButtons::kYesNo, TAnswer::kNo) !=
        TAnswer::kYes)
      return nullptr;
    check = CheckBatchRender(s.ParameterFile, s.Folder, s.SkipExisting, true, required);
  }
  if (check.Result != TRenderCheck::TResult::kProceed) {
    UserInterface().ShowMessage("Error", check.Message, TMessageKind::kError);
    return nullptr;
  }
  fields_->Store(config_);
  config_.SkipExistingImages = s.SkipExisting;
  config_.ExportFormat = static_cast<int>(s.Format) + 1;

  std::unique_ptr<TBatchRender> job;
  try {
    job = TBatchRender::Start(s, WindowRenderOptions(config_));
  } catch (const EZentrope& e) {
    UserInterface().ShowMessage("Error", e.Message(), TMessageKind::kError);
    return nullptr;
  }
  TRenderForm* form = ShowRenderForm(std::move(job), config_, parentWidget());
  accept();
  return form;
}

}  // namespace zt
