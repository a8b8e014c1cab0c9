// The layers table.
#include "ui/layer_list_model.h"

#include <QCoreApplication>
#include <QMimeData>
#include <cstdint>

#include "color/merge_modes.h"

namespace zt {

namespace {

// Where a drag comes from: the process and the document, so that a drop into
// another document or program moves nothing.
QByteArray DragOrigin(const TFractal* fractal) {
  return QStringLiteral("%1:%2")
      .arg(QCoreApplication::applicationPid())
      .arg(reinterpret_cast<std::uintptr_t>(fractal))
      .toLatin1();
}

}  // namespace

QString MergeModeLabel(int mode) {
  const std::string_view name = MergeModeName(mode);
  if (name.empty()) return QStringLiteral("normal");
  return QString::fromLatin1(name.data(), static_cast<int>(name.size()));
}

TLayerListModel::TLayerListModel(TDocumentLink& link, QObject* parent)
    : QAbstractTableModel(parent), link_(link) {}

void TLayerListModel::Refresh() {
  std::vector<TRow> rows;
  if (TFractal* fractal = link_.Fractal()) {
    for (int i = 0; i < fractal->Layers().Count(); ++i) {
      const TLayer& layer = fractal->Layers()[i];
      rows.push_back(
          TRow{&layer, layer.Visible(), layer.Caption(), layer.Opacity(), layer.MergeMode()});
    }
  }
  bool same_layers = rows.size() == rows_.size();
  for (std::size_t i = 0; same_layers && i < rows.size(); ++i)
    same_layers = rows[i].Layer == rows_[i].Layer;
  if (!same_layers) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
    return;
  }
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    TRow& shown = rows_[static_cast<std::size_t>(r)];
    const TRow& now = rows[static_cast<std::size_t>(r)];
    const bool changed[kColumnCount] = {shown.Visible != now.Visible, shown.Caption != now.Caption,
                                        shown.Opacity != now.Opacity, shown.Mode != now.Mode};
    shown = now;
    for (int c = 0; c < kColumnCount; ++c)
      if (changed[c]) emit dataChanged(index(r, c), index(r, c));
  }
}

int TLayerListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TLayerListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant TLayerListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  const TRow& row = rows_[static_cast<std::size_t>(index.row())];
  switch (index.column()) {
    case kVisibleColumn:
      if (role == Qt::CheckStateRole) return row.Visible ? Qt::Checked : Qt::Unchecked;
      if (role == Qt::ToolTipRole) return tr("Shown in the image");
      break;
    case kCaptionColumn:
      if (role == Qt::DisplayRole || role == Qt::EditRole)
        return QString::fromStdString(row.Caption);
      break;
    case kOpacityColumn:
      if (role == Qt::DisplayRole) return QStringLiteral("%1%").arg(row.Opacity);
      if (role == Qt::EditRole) return row.Opacity;
      if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
      break;
    case kModeColumn:
      if (role == Qt::DisplayRole) return MergeModeLabel(row.Mode);
      if (role == Qt::EditRole) return row.Mode;
      break;
  }
  return {};
}

QVariant TLayerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case kVisibleColumn: return tr("Visible");
    case kCaptionColumn: return tr("Layer");
    case kOpacityColumn: return tr("Opacity");
    case kModeColumn: return tr("Merge mode");
  }
  return {};
}

Qt::ItemFlags TLayerListModel::flags(const QModelIndex& index) const {
  // Rows are dropped between rows, never onto one.
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
  if (index.column() == kVisibleColumn)
    flags |= Qt::ItemIsUserCheckable;
  else
    flags |= Qt::ItemIsEditable;
  return flags;
}

TLayer* TLayerListModel::LiveLayer(int row) const {
  TFractal* fractal = link_.Fractal();
  if (!fractal || row < 0 || row >= static_cast<int>(rows_.size()) ||
      row >= fractal->Layers().Count())
    return nullptr;
  TLayer& layer = fractal->Layers()[row];
  return &layer == rows_[static_cast<std::size_t>(row)].Layer ? &layer : nullptr;
}

bool TLayerListModel::EditLayer(int row, const std::string& field,
                                const std::function<void(TLayer&)>& change) {
  TLayer* layer = LiveLayer(row);
  if (!layer) return false;
  const std::string key =
      field.empty() ? field : field + "@" + std::to_string(reinterpret_cast<std::uintptr_t>(layer));
  return link_.Edit(key, [&] { change(*layer); });
}

bool TLayerListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  const TLayer* layer = LiveLayer(index.row());
  if (!layer) return false;
  switch (index.column()) {
    case kVisibleColumn: {
      if (role != Qt::CheckStateRole) return false;
      const bool visible = value.toInt() == Qt::Checked;
      if (visible == layer->Visible()) return false;
      return EditLayer(index.row(), "", [visible](TLayer& l) { l.SetVisible(visible); });
    }
    case kCaptionColumn: {
      if (role != Qt::EditRole) return false;
      const std::string caption = value.toString().toStdString();
      if (caption == layer->Caption()) return false;
      return EditLayer(index.row(), "", [&caption](TLayer& l) { l.SetCaption(caption); });
    }
    case kOpacityColumn: {
      if (role != Qt::EditRole) return false;
      const int opacity = std::clamp(value.toInt(), 0, 100);
      if (opacity == layer->Opacity()) return false;
      return EditLayer(index.row(), "opacity", [opacity](TLayer& l) { l.SetOpacity(opacity); });
    }
    case kModeColumn: {
      if (role != Qt::EditRole) return false;
      const int mode = std::clamp(value.toInt(), 0, kMergeModeCount - 1);
      if (mode == layer->MergeMode()) return false;
      return EditLayer(index.row(), "", [mode](TLayer& l) { l.SetMergeMode(mode); });
    }
  }
  return false;
}

bool TLayerListModel::MoveRow(int from, int before) {
  TFractal* fractal = link_.Fractal();
  if (!fractal || !LiveLayer(from)) return false;
  const int count = fractal->Layers().Count();
  if (before < 0 || before > count) before = count;
  const int to = before > from ? before - 1 : before;
  if (to == from) return false;
  return link_.Edit("", [&] {
    const TLayer* current = &fractal->CurrentLayer();
    fractal->MoveLayer(from, to);
    for (int i = 0; i < fractal->Layers().Count(); ++i) {
      if (&fractal->Layers()[i] != current) continue;
      fractal->SetCurrentLayer(i);
      break;
    }
  });
}

QStringList TLayerListModel::mimeTypes() const { return {QString::fromLatin1(kLayerMimeType)}; }

QMimeData* TLayerListModel::mimeData(const QModelIndexList& indexes) const {
  if (indexes.isEmpty() || !link_.Fractal()) return nullptr;
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kLayerMimeType),
                DragOrigin(link_.Fractal()) + ':' + QByteArray::number(indexes[0].row()));
  return data;
}

int TLayerListModel::DraggedRow(const QMimeData* data) const {
  if (!data || !link_.Fractal()) return -1;
  const QByteArray text = data->data(QString::fromLatin1(kLayerMimeType));
  const int colon = text.lastIndexOf(':');
  if (colon < 0 || text.left(colon) != DragOrigin(link_.Fractal())) return -1;
  bool ok = false;
  const int row = text.mid(colon + 1).toInt(&ok);
  return ok && LiveLayer(row) ? row : -1;
}

bool TLayerListModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                      const QModelIndex&) const {
  return action == Qt::MoveAction && DraggedRow(data) >= 0;
}

bool TLayerListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                   const QModelIndex& parent) {
  if (!canDropMimeData(data, action, row, 0, parent)) return false;
  const int before = row >= 0 ? row : parent.isValid() ? parent.row() : rowCount();
  MoveRow(DraggedRow(data), before);
  return false;
}

}  // namespace zt
