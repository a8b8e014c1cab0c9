// One rendered layer of a disk render: a calculating layer with a document
// layer's settings whose pixel store holds the rows of one strip only, and the
// layer's overlap row, the colored first row of the next strip.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "color/layer.h"

namespace zt {

// Threads: user-interface thread; the layer's pieces report to it through the
// main-thread dispatcher. The layer stays inside an update bracket except while
// Start hands it a calculation, so nothing else starts one.
class TStripLayer {
 public:
  // A copy of `source`'s settings (compiled once for the whole render) for an
  // image `width` pixels wide; the overlap row starts black.
  TStripLayer(const TLayer& source, const TLayerDefaults& defaults, int width, int thread_count,
              int priority);
  TStripLayer(const TStripLayer&) = delete;
  TStripLayer& operator=(const TStripLayer&) = delete;

  TLayer& Layer() { return *layer_; }

  // Sizes the pixel store to width + 1 columns and `rows` rows that stand for
  // the rows from `first_row` on of a width x height image; starts nothing.
  void Place(int width, int height, int first_row, int rows);
  int FirstRow() const { return first_row_; }
  // Starts the calculation of the placed rows, or continues the state that
  // Restore gave the layer.
  void Start();
  // Puts a saved pixel store and calculation state back into the placed layer
  // before Start. Raises EZentrope for a state that does not fit the store.
  void Restore(std::vector<std::uint16_t>& pixels, const std::vector<std::uint8_t>& state);
  // No calculation runs (it ended or was stopped).
  bool Done() const { return layer_->State() != kLayerCalculating; }
  void Stop() { layer_->Stop(); }
  // The share of the placed rows calculated so far (1 without pixels).
  double Share() const;

  // Colors the grid's rows through the layer's convert table: all placed rows
  // from grid row 0 on when `first_strip`, else the overlap row first and the
  // placed rows below it. The grid's last colored row becomes the overlap row.
  void Color(std::uint32_t* grid, bool first_strip);
  std::vector<std::uint32_t>& Overlap() { return overlap_; }

 private:
  std::unique_ptr<TLayer> layer_;
  std::vector<std::uint32_t> overlap_;
  int first_row_ = 0;
};

}  // namespace zt
