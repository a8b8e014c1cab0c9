// The "Adjust Colors" window of the gradient editor: how far to turn the hue and
// raise or lower the saturation and luminance of the points.
#pragma once

#include <QDialog>

#include "ui/gradient_editing.h"

class QCheckBox;
class QSpinBox;

namespace zt {

// User-interface thread only. "SelectionOnly" is kept under Forms\AdjustColors.
class TAdjustColorsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TAdjustColorsDialog(QWidget* parent = nullptr);

  THSLShift Shift() const;
  QSpinBox* HueBox() const { return hue_; }
  QSpinBox* SaturationBox() const { return saturation_; }
  QSpinBox* LuminanceBox() const { return luminance_; }
  QCheckBox* SelectionOnlyBox() const { return selection_only_; }

  void accept() override;

 private:
  QSpinBox* hue_;
  QSpinBox* saturation_;
  QSpinBox* luminance_;
  QCheckBox* selection_only_;
};

}  // namespace zt
