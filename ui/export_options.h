// The option windows that open before a Photoshop or JPEG export: "Photoshop
// Export Options" (layers exported individually or not) and "JPEG Export
// Options" (quality and forced baseline). OK stores the choices in the
// settings that the export reads.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QSlider;

namespace zt {

// User-interface thread only, like the ones below.
class TPhotoshopOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TPhotoshopOptionsDialog(QWidget* parent = nullptr);
  QCheckBox* Layers() const { return layers_; }
  void accept() override;

 private:
  QCheckBox* layers_;
};

class TJpegOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TJpegOptionsDialog(QWidget* parent = nullptr);
  QSlider* Quality() const { return quality_; }
  QCheckBox* Baseline() const { return baseline_; }
  void accept() override;

 private:
  QSlider* quality_;
  QLabel* quality_label_;
  QCheckBox* baseline_;
};

}  // namespace zt
