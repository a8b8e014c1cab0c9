// The "Save Parameters" window: where the document's parameter set goes, under
// which title, and whether the entries it uses travel along.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace zt {

class TFractal;

// User-interface thread only. OK saves (appending the set to the file) and
// closes; a missing title, an unusable file, a failed save or a cancelled
// overwrite question keep the window open.
class TSaveParametersDialog : public QDialog {
  Q_OBJECT

 public:
  TSaveParametersDialog(TFractal& fractal, QWidget* parent = nullptr);

  QLineEdit* FileEdit() const { return file_; }
  QLineEdit* TitleEdit() const { return title_; }
  QCheckBox* CarryEntries() const { return carry_; }

  void accept() override;

 private:
  void BrowseFile();

  TFractal& fractal_;
  QLineEdit* file_;
  QLineEdit* title_;
  QCheckBox* carry_;
};

}  // namespace zt
