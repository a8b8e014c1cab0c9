// The editors of the layers table's cells: a spin box for the opacity that takes
// effect as it turns, a list of the merge modes, and the usual line editor for
// the caption.
#pragma once

#include <QStyledItemDelegate>

namespace zt {

// User-interface thread only.
class TLayerItemDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
};

}  // namespace zt
