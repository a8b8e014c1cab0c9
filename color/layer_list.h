// The ordered layers of one document and the merge of their visible layers into
// image rows. Index 0 is the top layer, the last index the bottom layer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "color/layer.h"
#include "render/layer_stack.h"

namespace zt {

// Threads: the list changes on the user-interface thread only. The merges may run
// on the update manager's thread while the user-interface thread is stopped from
// changing sizes or the list (the manager's BeginStop/EndStop).
class TLayerList : public TLayerStack {
 public:
  using TNotify = std::function<void(TLayerList& sender)>;

  TLayerList() = default;
  TLayerList(const TLayerList&) = delete;
  TLayerList& operator=(const TLayerList&) = delete;

  int Count() const override { return static_cast<int>(layers_.size()); }
  // No range check.
  TLayer& operator[](int index) { return *layers_[index]; }
  const TLayer& operator[](int index) const { return *layers_[index]; }

  // Raise EZentrope "Cannot add empty layer" / "Cannot insert empty layer" for a
  // missing layer. Insert clamps the index to 0 to Count().
  void Add(std::unique_ptr<TLayer> layer);
  void Insert(int index, std::unique_ptr<TLayer> layer);
  // Frees the layer; an index outside the list changes nothing.
  void Delete(int index);
  // An index outside the list changes nothing.
  void Move(int from, int to);
  // Deletes every layer inside one bracket.
  void Clear();

  void BeginUpdate();
  void EndUpdate();

  // The merged colors of `count` pixels of row `y` from column `x` (blue in the low
  // byte; the high byte is meaningless). All layers must have the same image
  // size and the range must lie inside it; an empty list writes nothing.
  void MergeRow(int y, int x, int count, std::uint32_t* out) const override;
  void MergePreviewRow(const TPreview& preview, int y, std::uint32_t* out) const override;
  TLayerCalculate& Calculation(int index) override { return *layers_[index]; }
  bool Selected(int index) const override { return layers_[index]->Selected(); }

  TNotify OnBeforeChange;
  TNotify OnChange;

 private:
  // Merges with each layer's color row taken from `source`.
  using TColorRowSource =
      std::function<void(const TLayer& layer, int y, int x, int count, std::uint32_t* out)>;
  void Merge(int y, int x, int count, std::uint32_t* out, const TColorRowSource& source) const;
  void BeforeChange();
  void AfterChange();

  std::vector<std::unique_ptr<TLayer>> layers_;
  int update_count_ = 0;
  bool change_started_ = false;
  bool change_pending_ = false;
};

}  // namespace zt
