// The layer properties tool.
#include "ui/layer_properties_tool.h"

#include <QVBoxLayout>

namespace zt {

TLayerPropertiesTool::TLayerPropertiesTool(QWidget* parent)
    : QWidget(parent),
      link_(this),
      pages_(this),
      formula_(link_),
      inside_(link_, true),
      outside_(link_, false),
      mapping_(link_) {
  setWindowTitle(tr("Layer Properties"));
  pages_.addItem(&formula_, tr("Formula"));
  pages_.addItem(&inside_, tr("Inside coloring"));
  pages_.addItem(&outside_, tr("Outside coloring"));
  pages_.addItem(&mapping_, tr("Mapping"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(&pages_);
  connect(&link_, &TDocumentLink::Refresh, this, &TLayerPropertiesTool::Refresh);
  connect(&link_, &TDocumentLink::EditMade, this, &TLayerPropertiesTool::EditMade);
  pages_.hide();
  setEnabled(false);
}

void TLayerPropertiesTool::SetFractal(TFractal* fractal) {
  link_.SetFractal(fractal);
  setEnabled(fractal != nullptr);
}

void TLayerPropertiesTool::Refresh() {
  TFractal* fractal = link_.Fractal();
  const TLayer* layer =
      fractal && fractal->Layers().Count() > 0 ? &fractal->CurrentLayer() : nullptr;
  // Without a document there is nothing to show, not even the sections.
  pages_.setVisible(layer != nullptr);
  formula_.ShowLayer(layer);
  inside_.ShowLayer(layer);
  outside_.ShowLayer(layer);
  mapping_.ShowLayer(layer);
}

}  // namespace zt
