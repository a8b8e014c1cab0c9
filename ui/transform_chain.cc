// The transformation chain of the mapping section.
#include "ui/transform_chain.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace zt {

TTransformChain::TTransformChain(TDocumentLink& link, QWidget* parent)
    : TLayerSection(link, parent),
      list_(this),
      add_(tr("Add..."), this),
      remove_(tr("Remove"), this),
      up_(this),
      down_(this),
      params_(this) {
  list_.setObjectName("transforms");
  list_.setToolTip(tr("Transformations run in this order; unchecked ones are skipped"));
  list_.setMaximumHeight(list_.fontMetrics().height() * 6);
  add_.setObjectName("add");
  remove_.setObjectName("remove");
  up_.setObjectName("up");
  up_.setArrowType(Qt::UpArrow);
  up_.setToolTip(tr("Earlier in the chain"));
  down_.setObjectName("down");
  down_.setArrowType(Qt::DownArrow);
  down_.setToolTip(tr("Later in the chain"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(&add_);
  buttons->addWidget(&remove_);
  buttons->addStretch(1);
  buttons->addWidget(&up_);
  buttons->addWidget(&down_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(&list_);
  layout->addLayout(buttons);
  layout->addWidget(&params_);

  connect(&add_, &QPushButton::clicked, this, &TTransformChain::Add);
  connect(&remove_, &QPushButton::clicked, this, &TTransformChain::Remove);
  connect(&up_, &QToolButton::clicked, this, [this] { MoveBy(-1); });
  connect(&down_, &QToolButton::clicked, this, [this] { MoveBy(1); });
  connect(&list_, &QListWidget::currentRowChanged, this, &TTransformChain::Selected);
  // Only the person's check marks arrive: the refresh blocks the list's signals.
  connect(&list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    const bool enabled = item->checkState() == Qt::Checked;
    EditTransform(list_.row(item), "", [enabled](TTransform& t) { t.SetEnabled(enabled); });
  });
  params_.SetApply(
      [this](const std::string& field, const std::function<void(TFormulaBase&)>& change) {
        const int row = list_.currentRow();
        EditTransform(row, "transform" + std::to_string(row) + "." + field, change);
      });
}

void TTransformChain::ShowLayer(const TLayer* layer) {
  const QSignalBlocker block(list_);
  std::vector<const TTransform*> items;
  if (layer)
    for (int i = 0; i < layer->Mapping().Transforms().Count(); ++i)
      items.push_back(&layer->Mapping().Transforms().Item(i));
  const int row = select_row_ >= 0 ? select_row_ : list_.currentRow();
  select_row_ = -1;
  if (items != shown_ || list_.count() != static_cast<int>(items.size())) {
    list_.clear();
    for (const TTransform* transform : items) {
      auto* item = new QListWidgetItem(QString::fromStdString(transform->Title()), &list_);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
      item->setToolTip(QString::fromStdString(transform->Code().EntryName) + tr(" in ") +
                       QFileInfo(QString::fromStdString(transform->Code().FileName)).fileName());
    }
    shown_ = items;
    list_.setCurrentRow(std::min(std::max(row, 0), list_.count() - 1));
  }
  for (int i = 0; i < list_.count(); ++i)
    list_.item(i)->setCheckState(items[i]->Enabled() ? Qt::Checked : Qt::Unchecked);
  const int current = list_.currentRow();
  params_.ShowEntry(current >= 0 ? items[current] : nullptr);
  UpdateButtons();
}

void TTransformChain::Selected() {
  const int row = list_.currentRow();
  params_.ShowEntry(row >= 0 && row < static_cast<int>(shown_.size()) ? shown_[row] : nullptr);
  UpdateButtons();
}

void TTransformChain::UpdateButtons() {
  const int row = list_.currentRow();
  remove_.setEnabled(row >= 0);
  up_.setEnabled(row > 0);
  down_.setEnabled(row >= 0 && row + 1 < list_.count());
}

void TTransformChain::EditTransform(int index, const std::string& field,
                                    const std::function<void(TTransform&)>& change) {
  if (index < 0 || index >= static_cast<int>(shown_.size())) return;
  const TTransform* expected = shown_[index];
  EditLayer(field, [&](TLayer& layer) {
    TTransformList& list = layer.Mapping().Transforms();
    if (index >= list.Count() || &list.Item(index) != expected) return;
    layer.Stop();
    change(list.Item(index));
    layer.Forget();
    layer.Recalculate();
  });
}

void TTransformChain::Add() {
  std::string file = last_file_;
  std::string entry;
  if (!ChooseEntry(TEntryBrowseKind::kTransformation, file, entry)) return;
  last_file_ = file;
  EditLayer("", [&](TLayer& layer) {
    auto transform = std::make_unique<TTransform>();
    transform->SetEntry(file, entry);
    layer.Mapping().Transforms().Add(std::move(transform));
    // The new transformation is the one to set up next.
    select_row_ = layer.Mapping().Transforms().Count() - 1;
  });
}

void TTransformChain::Remove() {
  const int row = list_.currentRow();
  if (row < 0 || row >= static_cast<int>(shown_.size())) return;
  const TTransform* expected = shown_[row];
  EditLayer("", [&](TLayer& layer) {
    TTransformList& list = layer.Mapping().Transforms();
    if (row < list.Count() && &list.Item(row) == expected) list.Delete(row);
  });
}

void TTransformChain::MoveBy(int offset) {
  const int row = list_.currentRow();
  const int to = row + offset;
  if (row < 0 || row >= static_cast<int>(shown_.size()) || to < 0 ||
      to >= static_cast<int>(shown_.size()))
    return;
  const TTransform* expected = shown_[row];
  EditLayer("", [&](TLayer& layer) {
    TTransformList& list = layer.Mapping().Transforms();
    if (to >= list.Count() || &list.Item(row) != expected) return;
    list.Move(row, to);
    select_row_ = to;
  });
}

}  // namespace zt
