// The layers table's cell editors.
#include "ui/layer_item_delegate.h"

#include <QComboBox>

#include "color/merge_modes.h"
#include "ui/integer_box.h"
#include "ui/layer_list_model.h"

namespace zt {

QWidget* TLayerItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
  auto* self = const_cast<TLayerItemDelegate*>(this);
  switch (index.column()) {
    case TLayerListModel::kOpacityColumn: {
      auto* box = new TIntegerBox(parent);
      box->setRange(0, 100);
      box->setSuffix("%");
      box->setFrame(false);
      // Each step shows at once; the document merges the steps into one.
      connect(box, &TIntegerBox::ValueEntered, self, [self, box] { emit self->commitData(box); });
      return box;
    }
    case TLayerListModel::kModeColumn: {
      auto* box = new QComboBox(parent);
      for (int mode = 0; mode < kMergeModeCount; ++mode) box->addItem(MergeModeLabel(mode));
      connect(box, &QComboBox::activated, self, [self, box] {
        emit self->commitData(box);
        emit self->closeEditor(box);
      });
      return box;
    }
    default: return QStyledItemDelegate::createEditor(parent, option, index);
  }
}

void TLayerItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  const int value = index.data(Qt::EditRole).toInt();
  switch (index.column()) {
    case TLayerListModel::kOpacityColumn:
      static_cast<TIntegerBox*>(editor)->ShowValue(value);
      break;
    case TLayerListModel::kModeColumn:
      static_cast<QComboBox*>(editor)->setCurrentIndex(value);
      break;
    default: QStyledItemDelegate::setEditorData(editor, index);
  }
}

void TLayerItemDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                      const QModelIndex& index) const {
  switch (index.column()) {
    case TLayerListModel::kOpacityColumn:
      model->setData(index, static_cast<TIntegerBox*>(editor)->value());
      break;
    case TLayerListModel::kModeColumn:
      model->setData(index, static_cast<QComboBox*>(editor)->currentIndex());
      break;
    default: QStyledItemDelegate::setModelData(editor, model, index);
  }
}

}  // namespace zt
