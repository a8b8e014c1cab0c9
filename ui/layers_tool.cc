// The layers tool.
#include "ui/layers_tool.h"

#include <QHeaderView>
#include <QVBoxLayout>

namespace zt {

TLayersTool::TLayersTool(QWidget* parent)
    : QWidget(parent), link_(this), model_(link_), delegate_(this), view_(this) {
  setWindowTitle(tr("Layers"));
  view_.setModel(&model_);
  view_.setItemDelegate(&delegate_);
  view_.setSelectionBehavior(QAbstractItemView::SelectRows);
  view_.setSelectionMode(QAbstractItemView::SingleSelection);
  view_.setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                        QAbstractItemView::EditKeyPressed);
  view_.setDragEnabled(true);
  view_.setAcceptDrops(true);
  view_.setDropIndicatorShown(true);
  view_.setDragDropMode(QAbstractItemView::DragDrop);
  view_.setDefaultDropAction(Qt::MoveAction);
  view_.setDragDropOverwriteMode(false);
  view_.setShowGrid(false);
  view_.verticalHeader()->hide();
  QHeaderView* header = view_.horizontalHeader();
  header->setSectionResizeMode(QHeaderView::ResizeToContents);
  header->setSectionResizeMode(TLayerListModel::kCaptionColumn, QHeaderView::Stretch);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(&view_);
  connect(&link_, &TDocumentLink::Refresh, this, &TLayersTool::Refresh);
  connect(&link_, &TDocumentLink::EditMade, this, &TLayersTool::EditMade);
  connect(view_.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &TLayersTool::RowChosen);
  setEnabled(false);
}

void TLayersTool::SetFractal(TFractal* fractal) {
  link_.SetFractal(fractal);
  setEnabled(fractal != nullptr);
}

void TLayersTool::Refresh() {
  model_.Refresh();
  const TFractal* fractal = link_.Fractal();
  if (!fractal || model_.rowCount() == 0) return;
  // Moving the view's current cell would close an editor the person has open:
  // only another row is chosen here.
  if (view_.currentIndex().row() == fractal->CurrentIndex()) return;
  view_.selectionModel()->setCurrentIndex(
      model_.index(fractal->CurrentIndex(), TLayerListModel::kCaptionColumn),
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TLayersTool::RowChosen(const QModelIndex& current) {
  TFractal* fractal = link_.Fractal();
  // The rows may lag behind the list until the next refresh.
  if (!fractal || !current.isValid() || current.row() == fractal->CurrentIndex() ||
      current.row() >= fractal->Layers().Count())
    return;
  const int row = current.row();
  link_.Edit("", [fractal, row] { fractal->SetCurrentLayer(row); });
}

}  // namespace zt
