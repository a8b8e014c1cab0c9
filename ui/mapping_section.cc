// The mapping section.
#include "ui/mapping_section.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <cmath>

namespace zt {

TMappingSection::TMappingSection(TDocumentLink& link, QWidget* parent)
    : TLayerSection(link, parent),
      center_(this),
      magnification_(this),
      angle_(this),
      solid_(tr("Mapping solid color"), this),
      transforms_(link, this) {
  center_.setObjectName("center");
  magnification_.setObjectName("magnification");
  magnification_.SetAccept([](long double magnification) { return magnification > 0; });
  angle_.setObjectName("angle");
  // Degrees come from radians: a few digits less hide the conversion's noise.
  angle_.SetDigits(14);
  solid_.setObjectName("solid");
  solid_.setToolTip(tr("The color of points a transformation leaves solid"));

  auto* settings = new QFormLayout;
  settings->addRow(tr("Center"), &center_);
  settings->addRow(tr("Magnification"), &magnification_);
  settings->addRow(tr("Angle (degrees)"), &angle_);
  settings->addRow(tr("Solid color"), &solid_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(settings);
  layout->addWidget(new QLabel(tr("Transformations"), this));
  layout->addWidget(&transforms_);
  layout->addStretch(1);

  connect(&center_, &TComplexField::ValueEntered, this, [this](long double re, long double im) {
    EditLayer("center", [re, im](TLayer& layer) { layer.Mapping().SetCenter(TComplex(re, im)); });
  });
  connect(&magnification_, &TNumberField::ValueEntered, this, [this](long double magnification) {
    EditLayer("magnification",
              [magnification](TLayer& layer) { layer.Mapping().SetMagnification(magnification); });
  });
  connect(&angle_, &TNumberField::ValueEntered, this, [this](long double degrees) {
    EditLayer("angle", [degrees](TLayer& layer) { layer.Mapping().SetAngleDegrees(degrees); });
  });
  connect(&solid_, &TSolidColorButton::ColorChosen, this, [this](TRGB12 color, int alpha) {
    EditLayer("mapsolid", [color, alpha](TLayer& layer) {
      layer.SetMappingColor(color);
      layer.SetMappingAlpha(alpha);
    });
  });
}

void TMappingSection::ShowLayer(const TLayer* layer) {
  transforms_.ShowLayer(layer);
  if (!layer) return;
  const TMapping& mapping = layer->Mapping();
  center_.ShowValue(mapping.Center().real(), mapping.Center().imag());
  magnification_.ShowValue(mapping.Magnification());
  angle_.ShowValue(mapping.AngleDegrees());
  solid_.ShowColor(layer->MappingColor(), layer->MappingAlpha());
}

}  // namespace zt
