// The document's layers as a table for the layers tool: per row (index 0, the
// top layer, first) the visibility, caption, opacity and merge mode, editable,
// and rows that are dragged to another place move their layer.
#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "ui/document_link.h"

namespace zt {

// The row order as the layers tool drags it: "application/x-zentrope-layer".
inline constexpr const char* kLayerMimeType = "application/x-zentrope-layer";

// The name a merge mode shows under ("normal" for mode 0, which the parameter
// text leaves unnamed).
QString MergeModeLabel(int mode);

// User-interface thread only. The model shows the values it read at the last
// Refresh, so that rows and cells change only when it reports them; edits go to
// the live layer, provided the row still shows it.
class TLayerListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum TColumn { kVisibleColumn, kCaptionColumn, kOpacityColumn, kModeColumn, kColumnCount };

  explicit TLayerListModel(TDocumentLink& link, QObject* parent = nullptr);

  // Reads the layers again: when the rows hold other layers than before the
  // model resets, otherwise only the cells that changed are reported (an open
  // editor keeps what the person types unless its own value changed).
  void Refresh();

  // Moves the layer of row `from` before row `before` (the row count: to the
  // bottom) as one undo step; the current layer stays the current one. What a
  // drop of a dragged row does.
  bool MoveRow(int from, int before);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  // Moves the layer and answers false, so that the view does not remove the
  // dragged row itself.
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
  Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }

 private:
  struct TRow {
    const TLayer* Layer = nullptr;
    bool Visible = true;
    std::string Caption;
    int Opacity = 50;
    int Mode = 0;
  };

  // The row a drag carries, if it came from this model's document.
  int DraggedRow(const QMimeData* data) const;
  // The live layer of `row` if the row still shows it.
  TLayer* LiveLayer(int row) const;
  // Runs `change` on the layer of `row` as one undo step.
  bool EditLayer(int row, const std::string& field, const std::function<void(TLayer&)>& change);

  TDocumentLink& link_;
  std::vector<TRow> rows_;
};

}  // namespace zt
