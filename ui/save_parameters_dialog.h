// The "Save Parameters" window: where the document's parameter set goes, under
// which title, and whether the entries it uses travel along.
#pragma once

#include "ui/save_entry_dialog.h"

class QCheckBox;

namespace zt {

class TFractal;

// User-interface thread only. As its base, with "Save formulas", which appends
// the entries that are not in the standard files.
class TSaveParametersDialog : public TSaveEntryDialog {
  Q_OBJECT

 public:
  TSaveParametersDialog(TFractal& fractal, QWidget* parent = nullptr);

  QCheckBox* CarryEntries() const { return carry_; }

 private:
  QCheckBox* carry_;
};

}  // namespace zt
