// A coloring section of the layer properties (the inside or the outside
// coloring): the coloring entry and its choice, density, transfer function,
// gradient offset, repeat, the layer's solid color for the coloring with its
// opacity, and the editors of the entry's parameters and functions.
#pragma once

#include <QCheckBox>
#include <QComboBox>

#include "ui/entry_header.h"
#include "ui/integer_box.h"
#include "ui/layer_section.h"
#include "ui/number_field.h"
#include "ui/param_editors.h"
#include "ui/solid_color_button.h"

namespace zt {

// User-interface thread only.
class TColoringSection : public TLayerSection {
  Q_OBJECT

 public:
  TColoringSection(TDocumentLink& link, bool inside, QWidget* parent = nullptr);

  void ShowLayer(const TLayer* layer) override;

 private:
  static TColoring& Coloring(TLayer& layer, bool inside);
  // Runs `change` on this section's coloring as one edit of `field`.
  void EditColoring(const std::string& field, const std::function<void(TColoring&)>& change);
  void ChooseColoring();

  const bool inside_;
  const std::string prefix_;  // of the field names: "inside." or "outside."
  TEntryHeader header_;
  TNumberField density_;
  QComboBox transfer_;
  TIntegerBox offset_;
  QCheckBox repeat_;
  TSolidColorButton solid_;
  TParamEditors params_;
};

}  // namespace zt
