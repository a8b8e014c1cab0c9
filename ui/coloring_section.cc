// The coloring sections.
#include "ui/coloring_section.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace zt {

TColoringSection::TColoringSection(TDocumentLink& link, bool inside, QWidget* parent)
    : TLayerSection(link, parent),
      inside_(inside),
      prefix_(inside ? "inside." : "outside."),
      header_(this),
      density_(this),
      transfer_(this),
      offset_(this),
      repeat_(tr("Repeat the gradient"), this),
      solid_(inside ? tr("Inside solid color") : tr("Outside solid color"), this),
      params_(this) {
  density_.setObjectName("density");
  density_.SetAccept([](long double density) { return density >= 0; });
  density_.setToolTip(tr("How fast the colors run through the gradient"));
  transfer_.setObjectName("transfer");
  transfer_.addItems({tr("None (solid color)"), tr("Linear"), tr("Square"), tr("Square root"),
                      tr("Cube"), tr("Cube root"), tr("Logarithm"), tr("Exponential"), tr("Sine"),
                      tr("Arc tangent")});
  offset_.setObjectName("offset");
  offset_.setRange(0, 399);
  offset_.setToolTip(tr("The gradient color where the coloring starts"));
  repeat_.setObjectName("repeat");
  solid_.setObjectName("solid");
  solid_.setToolTip(tr("The color of points the coloring leaves solid"));

  auto* settings = new QFormLayout;
  settings->addRow(tr("Density"), &density_);
  settings->addRow(tr("Transfer function"), &transfer_);
  settings->addRow(tr("Gradient offset"), &offset_);
  settings->addRow(QString(), &repeat_);
  settings->addRow(tr("Solid color"), &solid_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(&header_);
  layout->addLayout(settings);
  layout->addWidget(&params_);
  layout->addStretch(1);

  connect(&header_, &TEntryHeader::ChooseClicked, this, &TColoringSection::ChooseColoring);
  connect(&density_, &TNumberField::ValueEntered, this, [this](long double density) {
    EditColoring("density", [density](TColoring& coloring) { coloring.SetDensity(density); });
  });
  connect(&transfer_, &QComboBox::activated, this, [this](int transfer) {
    EditColoring("", [transfer](TColoring& coloring) { coloring.SetTransfer(transfer); });
  });
  connect(&offset_, &TIntegerBox::ValueEntered, this, [this](int offset) {
    EditColoring("offset", [offset](TColoring& coloring) { coloring.SetOffset(offset); });
  });
  connect(&repeat_, &QCheckBox::clicked, this, [this](bool repeat) {
    EditColoring("", [repeat](TColoring& coloring) { coloring.SetRepeat(repeat); });
  });
  connect(&solid_, &TSolidColorButton::ColorChosen, this, [this](TRGB12 color, int alpha) {
    EditLayer(prefix_ + "solid", [this, color, alpha](TLayer& layer) {
      if (inside_) {
        layer.SetInsideColor(color);
        layer.SetInsideAlpha(alpha);
      } else {
        layer.SetOutsideColor(color);
        layer.SetOutsideAlpha(alpha);
      }
    });
  });
  params_.SetApply(
      [this](const std::string& field, const std::function<void(TFormulaBase&)>& change) {
        EditColoring(field, change);
      });
}

TColoring& TColoringSection::Coloring(TLayer& layer, bool inside) {
  return inside ? layer.InsideColoring() : layer.OutsideColoring();
}

void TColoringSection::EditColoring(const std::string& field,
                                    const std::function<void(TColoring&)>& change) {
  EditLayer(field.empty() ? field : prefix_ + field,
            [this, &change](TLayer& layer) { change(Coloring(layer, inside_)); });
}

void TColoringSection::ShowLayer(const TLayer* layer) {
  const TColoring* coloring = !layer    ? nullptr
                              : inside_ ? &layer->InsideColoring()
                                        : &layer->OutsideColoring();
  header_.ShowEntry(coloring);
  params_.ShowEntry(coloring);
  if (!layer) return;
  density_.ShowValue(coloring->Density());
  transfer_.setCurrentIndex(coloring->Transfer());
  offset_.ShowValue(coloring->Offset());
  repeat_.setChecked(coloring->Repeat());
  if (inside_)
    solid_.ShowColor(layer->InsideColor(), layer->InsideAlpha());
  else
    solid_.ShowColor(layer->OutsideColor(), layer->OutsideAlpha());
}

void TColoringSection::ChooseColoring() {
  TLayer* layer = Layer();
  if (!layer) return;
  TColoring& coloring = Coloring(*layer, inside_);
  std::string file = coloring.Code().FileName;
  std::string entry = coloring.Code().EntryName;
  if (!ChooseEntry(TEntryBrowseKind::kColoring, file, entry)) return;
  EditColoring("", [&](TColoring& target) { target.SetEntry(file, entry); });
}

}  // namespace zt
