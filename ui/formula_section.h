// The formula section of the layer properties: the formula entry and its choice,
// maximum iterations, calculation method, periodicity checking and the editors of
// the entry's parameters and functions.
#pragma once

#include <QComboBox>

#include "ui/entry_header.h"
#include "ui/integer_box.h"
#include "ui/layer_section.h"
#include "ui/param_editors.h"

namespace zt {

// User-interface thread only.
class TFormulaSection : public TLayerSection {
  Q_OBJECT

 public:
  TFormulaSection(TDocumentLink& link, QWidget* parent = nullptr);

  void ShowLayer(const TLayer* layer) override;

 private:
  void ChooseFormula();

  TEntryHeader header_;
  TIntegerBox iterations_;
  QComboBox method_;
  QComboBox periodicity_;
  TParamEditors params_;
};

}  // namespace zt
