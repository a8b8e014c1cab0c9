// The "Adjust Colors" window.
#include "ui/adjust_colors_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include "document/settings/config_manager.h"

namespace zt {

namespace {

constexpr const char* kWindow = "AdjustColors";

QSpinBox* ShiftBox(int limit, const QString& suffix) {
  auto* box = new QSpinBox;
  box->setRange(-limit, limit);
  box->setSuffix(suffix);
  return box;
}

}  // namespace

TAdjustColorsDialog::TAdjustColorsDialog(QWidget* parent)
    : QDialog(parent),
      hue_(ShiftBox(180, QStringLiteral("°"))),
      saturation_(ShiftBox(255, {})),
      luminance_(ShiftBox(255, {})),
      selection_only_(new QCheckBox(QStringLiteral("&Selected points only"))) {
  setWindowTitle(QStringLiteral("Adjust Colors"));
  selection_only_->setChecked(ConfigManager().ReadWindowValue(kWindow, "SelectionOnly", false));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("&Hue:"), hue_);
  form->addRow(QStringLiteral("S&aturation:"), saturation_);
  form->addRow(QStringLiteral("&Luminance:"), luminance_);
  form->addRow(selection_only_);
  form->addRow(buttons);
}

THSLShift TAdjustColorsDialog::Shift() const {
  return {hue_->value(), saturation_->value(), luminance_->value(), selection_only_->isChecked()};
}

void TAdjustColorsDialog::accept() {
  ConfigManager().WriteWindowValue(kWindow, "SelectionOnly", selection_only_->isChecked());
  QDialog::accept();
}

}  // namespace zt
