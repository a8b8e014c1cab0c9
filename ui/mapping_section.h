// The mapping section of the layer properties: the layer's location (center,
// magnification, angle in degrees), the solid color of points a transformation
// leaves solid, and the chain of transformations.
#pragma once

#include "ui/complex_field.h"
#include "ui/layer_section.h"
#include "ui/number_field.h"
#include "ui/solid_color_button.h"
#include "ui/transform_chain.h"

namespace zt {

// User-interface thread only.
class TMappingSection : public TLayerSection {
  Q_OBJECT

 public:
  TMappingSection(TDocumentLink& link, QWidget* parent = nullptr);

  void ShowLayer(const TLayer* layer) override;

 private:
  TComplexField center_;
  TNumberField magnification_;
  TNumberField angle_;
  TSolidColorButton solid_;
  TTransformChain transforms_;
};

}  // namespace zt
