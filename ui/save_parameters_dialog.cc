// The parameter-set save window.
#include "ui/save_parameters_dialog.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "document/fractal_params.h"

namespace zt {

TSaveParametersDialog::TSaveParametersDialog(TFractal& fractal, QWidget* parent)
    : TSaveEntryDialog(
          kSaveParameters, fractal.Title(),
          [this, &fractal](const std::string& file, const std::string& title) {
            return SaveParameterSet(fractal, file, title, carry_->isChecked());
          },
          parent) {
  carry_ = new QCheckBox(QStringLiteral("Save &formulas"), this);
  carry_->setToolTip(
      QStringLiteral("Also save the formulas, colorings and transformations that are not "
                     "in the standard files, so that the set opens where they are missing"));
  ExtraRows()->addWidget(carry_);
}

}  // namespace zt
