// Layer list changes with their notifications and the row merge; see layer_list.h.
#include "color/layer_list.h"

#include <algorithm>
#include <cstring>

#include "platform/error.h"

namespace zt {

void TLayerList::BeforeChange() {
  if (change_started_) return;
  change_started_ = true;
  if (OnBeforeChange) OnBeforeChange(*this);
}

void TLayerList::AfterChange() {
  if (update_count_ > 0) {
    change_pending_ = true;
    return;
  }
  change_started_ = false;
  change_pending_ = false;
  if (OnChange) OnChange(*this);
}

void TLayerList::BeginUpdate() { ++update_count_; }

void TLayerList::EndUpdate() {
  if (update_count_ == 0 || --update_count_ > 0) return;
  if (change_started_ || change_pending_) AfterChange();
}

void TLayerList::Add(std::unique_ptr<TLayer> layer) {
  if (!layer) throw EZentrope("Cannot add empty layer");
  BeforeChange();
  layers_.push_back(std::move(layer));
  AfterChange();
}

void TLayerList::Insert(int index, std::unique_ptr<TLayer> layer) {
  if (!layer) throw EZentrope("Cannot insert empty layer");
  BeforeChange();
  layers_.insert(layers_.begin() + std::clamp(index, 0, Count()), std::move(layer));
  AfterChange();
}

void TLayerList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  BeforeChange();
  layers_.erase(layers_.begin() + index);
  AfterChange();
}

void TLayerList::Move(int from, int to) {
  if (from < 0 || from >= Count() || to < 0 || to >= Count()) return;
  BeforeChange();
  std::unique_ptr<TLayer> layer = std::move(layers_[from]);
  layers_.erase(layers_.begin() + from);
  layers_.insert(layers_.begin() + to, std::move(layer));
  AfterChange();
}

void TLayerList::Clear() {
  BeginUpdate();
  while (Count() > 0) Delete(Count() - 1);
  EndUpdate();
}

void TLayerList::MergeRow(int y, int x, int count, std::uint32_t* out) const {
  Merge(y, x, count, out,
        [](const TLayer& layer, int row, int column, int length, std::uint32_t* colors) {
          layer.ColorRow(row, column, length, colors);
        });
}

void TLayerList::MergePreviewRow(const TPreview& preview, int y, std::uint32_t* out) const {
  Merge(y, 0, preview.Width, out,
        [&preview](const TLayer& layer, int row, int column, int length, std::uint32_t* colors) {
          if (layer.Selected())
            layer.PreviewColorRow(preview, row, colors);
          else
            layer.ColorRow(row, column, length, colors);
        });
}

void TLayerList::Merge(int y, int x, int count, std::uint32_t* out,
                       const TColorRowSource& source) const {
  if (layers_.empty() || count <= 0) return;
  int bottom = Count() - 1;
  while (bottom >= 0 && !layers_[bottom]->Visible()) --bottom;
  if (bottom < 0) {
    std::uint32_t background;
    std::memcpy(&background, &layers_[0]->ConvertTable()[kBackgroundEntry], sizeof(background));
    std::fill(out, out + count, background);
    return;
  }
  source(*layers_[bottom], y, x, count, out);
  // Each merging thread keeps its scratch row between calls.
  thread_local std::vector<std::uint32_t> top;
  top.resize(count);
  for (int i = bottom - 1; i >= 0; --i) {
    const TLayer& layer = *layers_[i];
    if (!layer.Visible()) continue;
    source(layer, y, x, count, top.data());
    zt::MergeRow(layer.MergeMode(), out, top.data(), count, layer.OpacityTable());
    if (layer.UseAlpha()) AlphaOverRow(top.data(), out, count);
    std::copy(top.begin(), top.end(), out);
  }
}

}  // namespace zt
