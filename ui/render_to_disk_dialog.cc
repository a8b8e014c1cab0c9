// The Render to Disk window (see render_to_disk_dialog.h).
#include "ui/render_to_disk_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <filesystem>

#include "document/disk/disk_render.h"
#include "document/disk/render_checks.h"
#include "document/disk/render_document.h"
#include "document/fractal.h"
#include "document/settings/config_manager.h"
#include "platform/program_folder.h"
#include "platform/text.h"
#include "platform/user_interface.h"
#include "ui/file_commands.h"
#include "ui/render_form.h"
#include "ui/render_size_fields.h"

namespace zt {
namespace {

void ShowError(const std::string& text) {
  UserInterface().ShowMessage("Error", text, TMessageKind::kError);
}

int VisibleLayers(TFractal& fractal) {
  int visible = 0;
  for (int i = 0; i < fractal.Layers().Count(); ++i) visible += fractal.Layers()[i].Visible();
  return visible;
}

}  // namespace

TImageFormat FormatOfName(const std::string& name, TImageFormat fallback) {
  if (EndsWithText(name, ".jpeg")) return TImageFormat::kJPEG;
  for (int i = 0; i < kImageFormatCount; ++i) {
    const auto format = static_cast<TImageFormat>(i);
    if (EndsWithText(name, ImageExtension(format))) return format;
  }
  return fallback;
}

TRenderToDiskDialog::TRenderToDiskDialog(TFractal& fractal, TConfigManager& config, QWidget* parent)
    : QDialog(parent),
      fractal_(fractal),
      config_(config),
      fallback_(static_cast<TImageFormat>(std::clamp(config.ExportFormat, 1, 5) - 1)) {
  setWindowTitle(QStringLiteral("Render to Disk"));
  const std::string proposed = (std::filesystem::path(ResolveFolder(config.ExportDirectory)) /
                                (FileNameFromTitle(fractal.Title()) + ImageExtension(fallback_)))
                                   .string();
  destination_ = new QLineEdit(QString::fromStdString(proposed), this);
  destination_->setMinimumWidth(320);
  auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
  connect(browse, &QPushButton::clicked, this, &TRenderToDiskDialog::Browse);
  temporary_ = new QLabel(this);
  temporary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  const int width = fractal.Width(), height = fractal.Height();
  fields_ = new TRenderSizeFields(
      config, QStringLiteral("Use &original aspect ratio"),
      [width, height](int w) { return AspectHeight(w, width, height); }, this);

  auto* file_row = new QHBoxLayout;
  file_row->addWidget(destination_, 1);
  file_row->addWidget(browse);
  auto* form = new QFormLayout;
  auto* destination_label = new QLabel(QStringLiteral("&Destination:"), this);
  destination_label->setBuddy(destination_);
  form->addRow(destination_label, file_row);
  form->addRow(QStringLiteral("Temporary file:"), temporary_);
  LayOutRenderWindow(*this, form, fields_, [this] { Render(); });

  connect(destination_, &QLineEdit::textChanged, this, &TRenderToDiskDialog::Update);
  connect(fields_, &TRenderSizeFields::Changed, this, &TRenderToDiskDialog::Update);
  Update();
}

TImageFormat TRenderToDiskDialog::Format() const {
  return FormatOfName(destination_->text().trimmed().toStdString(), fallback_);
}

std::string TRenderToDiskDialog::Destination() const {
  const std::string typed = destination_->text().trimmed().toStdString();
  if (typed.empty()) return typed;
  return WithExportExtension(typed, static_cast<int>(Format()) + 1);
}

void TRenderToDiskDialog::Browse() {
  int format = 0;
  const std::string chosen =
      ChooseExportFile(std::filesystem::path(Destination()).filename().string(), this, format);
  if (chosen.empty()) return;
  fallback_ = static_cast<TImageFormat>(format - 1);
  destination_->setText(QString::fromStdString(chosen));
}

void TRenderToDiskDialog::Update() {
  const std::string destination = Destination();
  temporary_->setText(destination.empty() ? QString()
                                          : QString::fromStdString(TemporaryFileFor(destination)));
  const bool psd_layers = Format() == TImageFormat::kPSD && config_.ExportPSDLayers;
  fields_->ShowSpace(RequiredSpace(fields_->ImageWidth(), fields_->ImageHeight(), 1,
                                   psd_layers ? VisibleLayers(fractal_) : 0),
                     destination.empty() ? ResolveFolder(config_.ExportDirectory) : destination);
}

TRenderForm* TRenderToDiskDialog::Render() {
  TRenderSettings settings;
  settings.Destination = Destination();
  settings.Width = fields_->ImageWidth();
  settings.Height = fields_->ImageHeight();
  settings.Depth = fields_->Depth();
  settings.Threshold = fields_->Threshold();
  settings.Format = Format();
  settings.Options = {config_.ExportPSDLayers, config_.ExportJPEGQuality,
                      config_.ExportJPEGBaseline};
  const bool psd_layers = settings.Format == TImageFormat::kPSD && settings.Options.PSDLayers;
  const double required =
      RequiredSpace(settings.Width, settings.Height, 1, psd_layers ? VisibleLayers(fractal_) : 0);
  const TRenderCheck check =
      settings.Destination.empty()
          ? TRenderCheck{TRenderCheck::TResult::kStop, kInvalidDestinationText}
          : CheckDiskRender(settings.Destination, required);
  if (check.Result != TRenderCheck::TResult::kProceed) {
    ShowError(check.Message);
    return nullptr;
  }
  // Starting would truncate the temporary file that render is writing.
  if (RunningRender(TemporaryFileFor(settings.Destination)) != nullptr) {
    ShowError(RunningRenderText(settings.Destination));
    return nullptr;
  }
  fields_->Store(config_);
  if (config_.UseLastDirectory)
    config_.ExportDirectory =
        std::filesystem::absolute(settings.Destination).parent_path().string() + "/";

  std::unique_ptr<TDiskRender> job;
  try {
    job =
        TDiskRender::Start(settings, RenderParameterText(fractal_, settings.Width, settings.Height),
                           WindowRenderOptions(config_));
  } catch (const EZentrope& e) {
    ShowError(e.Message());
    return nullptr;
  }
  TRenderForm* form = ShowRenderForm(std::move(job), config_, parentWidget());
  accept();
  return form;
}

}  // namespace zt
