// What the update manager sees of a document's layers: how many there are, their
// calculations (index images and written rectangles), which ones the navigation
// preview moves, and their merged rows. The document's layer list implements it.
#pragma once

#include <cstdint>

#include "render/layer_calculate.h"
#include "render/preview.h"

namespace zt {

// Threads: the update manager's thread calls every member while drawing; the
// user-interface thread changes the list and the layers' sizes only while it
// holds the manager stopped (TUpdateManager::BeginStop).
class TLayerStack {
 public:
  virtual ~TLayerStack() = default;

  virtual int Count() const = 0;
  virtual TLayerCalculate& Calculation(int index) = 0;
  // The navigation preview moves the selected layers.
  virtual bool Selected(int index) const = 0;
  // `count` pixels of row `y` from column `x` of the visible layers merged into
  // `out` (32-bit colors, blue in the low byte). The range lies inside the images.
  virtual void MergeRow(int y, int x, int count, std::uint32_t* out) const = 0;
  // Whole row `y` merged with the selected layers seen through `preview`, whose
  // size is the layers'.
  virtual void MergePreviewRow(const TPreview& preview, int y, std::uint32_t* out) const = 0;
};

}  // namespace zt
