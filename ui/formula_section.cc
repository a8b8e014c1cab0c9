// The formula section.
#include "ui/formula_section.h"

#include <QFormLayout>
#include <QVBoxLayout>
#include <climits>

namespace zt {

TFormulaSection::TFormulaSection(TDocumentLink& link, QWidget* parent)
    : TLayerSection(link, parent),
      header_(this),
      iterations_(this),
      method_(this),
      periodicity_(this),
      params_(this) {
  iterations_.setObjectName("maxiter");
  iterations_.setRange(1, INT_MAX);
  iterations_.setToolTip(tr("The most iterations a point gets before it counts as inside"));
  method_.setObjectName("method");
  method_.addItems({tr("Guessing"), tr("Multi-pass"), tr("One pass")});
  periodicity_.setObjectName("periodicity");
  periodicity_.addItems({tr("Off"), tr("Conservative"), tr("Normal"), tr("Rough")});
  periodicity_.setToolTip(tr("Stops orbits early that repeat themselves (inside points)"));

  auto* settings = new QFormLayout;
  settings->addRow(tr("Maximum iterations"), &iterations_);
  settings->addRow(tr("Method"), &method_);
  settings->addRow(tr("Periodicity checking"), &periodicity_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(&header_);
  layout->addLayout(settings);
  layout->addWidget(&params_);
  layout->addStretch(1);

  connect(&header_, &TEntryHeader::ChooseClicked, this, &TFormulaSection::ChooseFormula);
  connect(&iterations_, &TIntegerBox::ValueEntered, this, [this](int n) {
    EditLayer("maxiter", [n](TLayer& layer) { layer.Formula().SetMaxIterations(n); });
  });
  connect(&method_, &QComboBox::activated, this, [this](int method) {
    // The layer's method is the one in force; the formula's follows, so that a
    // later change of the formula keeps it.
    EditLayer("", [method](TLayer& layer) {
      layer.Formula().SetMethod(static_cast<TCalcMethod>(method));
      layer.SetMethod(method);
    });
  });
  connect(&periodicity_, &QComboBox::activated, this, [this](int mode) {
    EditLayer("", [mode](TLayer& layer) { layer.Formula().SetPeriodicity(mode); });
  });
  params_.SetApply(
      [this](const std::string& field, const std::function<void(TFormulaBase&)>& change) {
        EditLayer("formula." + field, [&change](TLayer& layer) { change(layer.Formula()); });
      });
}

void TFormulaSection::ShowLayer(const TLayer* layer) {
  header_.ShowEntry(layer ? &layer->Formula() : nullptr);
  params_.ShowEntry(layer ? &layer->Formula() : nullptr);
  if (!layer) return;
  iterations_.ShowValue(layer->Formula().MaxIterations());
  method_.setCurrentIndex(layer->Method());
  periodicity_.setCurrentIndex(layer->Formula().Periodicity());
}

void TFormulaSection::ChooseFormula() {
  TLayer* layer = Layer();
  if (!layer) return;
  std::string file = layer->Formula().Code().FileName;
  std::string entry = layer->Formula().Code().EntryName;
  if (!ChooseEntry(TEntryBrowseKind::kFormula, file, entry)) return;
  // A new formula starts from its own settings and shows its default location.
  EditLayer("", [&](TLayer& target) {
    target.Formula().Reset();
    target.Formula().SetEntry(file, entry);
    target.ResetLocation();
  });
}

}  // namespace zt
