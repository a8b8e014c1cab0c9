// The export option windows.
#include "ui/export_options.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "document/settings/config_manager.h"

namespace zt {
namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

TPhotoshopOptionsDialog::TPhotoshopOptionsDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Photoshop Export Options"));
  layers_ = new QCheckBox(QStringLiteral("Export layers individually"), this);
  layers_->setChecked(ConfigManager().ExportPSDLayers);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(layers_);
  layout->addWidget(OkCancel(this));
}

void TPhotoshopOptionsDialog::accept() {
  ConfigManager().ExportPSDLayers = layers_->isChecked();
  QDialog::accept();
}

TJpegOptionsDialog::TJpegOptionsDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("JPEG Export Options"));
  quality_ = new QSlider(Qt::Horizontal, this);
  quality_->setRange(1, 100);
  quality_->setSingleStep(5);
  quality_->setPageStep(5);
  quality_->setTickInterval(5);
  quality_->setTickPosition(QSlider::TicksBelow);
  quality_->setValue(ConfigManager().ExportJPEGQuality);
  quality_label_ = new QLabel(this);
  const auto show_quality = [this](int value) {
    quality_label_->setText(QStringLiteral("Quality: %1").arg(value));
  };
  show_quality(quality_->value());
  connect(quality_, &QSlider::valueChanged, this, show_quality);
  baseline_ = new QCheckBox(QStringLiteral("Force baseline compression"), this);
  baseline_->setChecked(ConfigManager().ExportJPEGBaseline);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(quality_label_);
  layout->addWidget(quality_);
  layout->addWidget(baseline_);
  layout->addWidget(OkCancel(this));
  resize(320, sizeHint().height());
}

void TJpegOptionsDialog::accept() {
  ConfigManager().ExportJPEGQuality = quality_->value();
  ConfigManager().ExportJPEGBaseline = baseline_->isChecked();
  QDialog::accept();
}

}  // namespace zt
