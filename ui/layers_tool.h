// The layers tool: the document's layers, top layer first, with visibility,
// caption, opacity and merge mode; the selected row is the current layer, and
// dragging a row moves its layer.
#pragma once

#include <QTableView>
#include <QWidget>

#include "ui/document_link.h"
#include "ui/layer_item_delegate.h"
#include "ui/layer_list_model.h"

namespace zt {

// User-interface thread only. The document must stay alive while it is set: its
// owner sets nullptr (or another document) before destroying it.
class TLayersTool : public QWidget {
  Q_OBJECT

 public:
  explicit TLayersTool(QWidget* parent = nullptr);

  // The document whose layers the tool shows and edits; nullptr: none (the tool
  // is disabled).
  void SetFractal(TFractal* fractal);

  TLayerListModel& Model() { return model_; }
  QTableView& View() { return view_; }

 signals:
  // After each edit the tool made through the document.
  void EditMade();

 private:
  void Refresh();
  void RowChosen(const QModelIndex& current);

  TDocumentLink link_;
  TLayerListModel model_;
  TLayerItemDelegate delegate_;
  QTableView view_;
};

}  // namespace zt
