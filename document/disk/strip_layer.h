// One rendered layer of a disk render: calculating copies of a document layer's
// settings whose pixel stores hold the rows of one strip only, and the layer's
// overlap row, the colored first row of the next strip.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "color/layer.h"

namespace zt {

// Strips alternate between two copies of the layer, so that the next strip can
// be calculated while the one before is still colored, anti-aliased or saved.
// Every call names the strip it is about.
//
// Threads: user-interface thread; the layer's pieces report to it through the
// main-thread dispatcher. Each copy stays inside an update bracket except while
// Start hands it a calculation, so nothing else starts one.
class TStripLayer {
 public:
  // Copies of `source`'s settings (compiled once for the whole render) for an
  // image `width` pixels wide; the overlap row starts black.
  TStripLayer(const TLayer& source, const TLayerDefaults& defaults, int width, int thread_count,
              int priority);
  TStripLayer(const TStripLayer&) = delete;
  TStripLayer& operator=(const TStripLayer&) = delete;

  TLayer& Layer(int strip) { return *Copy(strip).Layer; }
  void SetPriority(int priority);

  // Sizes the strip's pixel store to width + 1 columns and `rows` rows that
  // stand for the rows from `first_row` on of a width x height image; starts
  // nothing.
  void Place(int strip, int width, int height, int first_row, int rows);
  int FirstRow(int strip) const { return Copy(strip).FirstRow; }
  // Starts the calculation of the placed rows, or continues the state that
  // Restore gave the copy.
  void Start(int strip);
  // Puts a saved pixel store and calculation state back into the placed copy
  // before Start. Raises EZentrope for a state that does not fit the store.
  void Restore(int strip, std::vector<std::uint16_t>& pixels,
               const std::vector<std::uint8_t>& state);
  // No calculation runs (it ended or was stopped).
  bool Done(int strip) const { return Copy(strip).Layer->State() != kLayerCalculating; }
  // Threads of the strip's calculation with no work left (see TLayerCalculate).
  int IdleThreads(int strip) const { return Copy(strip).Layer->IdleThreads(); }
  void Stop(int strip) { Copy(strip).Layer->Stop(); }

  // Colors the grid's rows through the strip's convert table: all placed rows
  // from grid row 0 on for strip 0, else the overlap row first and the placed
  // rows below it. The grid's last colored row becomes the overlap row.
  void Color(int strip, std::uint32_t* grid);
  std::vector<std::uint32_t>& Overlap() { return overlap_; }

 private:
  struct TCopy {
    std::unique_ptr<TLayer> Layer;
    int FirstRow = 0;
  };
  TCopy& Copy(int strip) { return copies_[static_cast<std::size_t>(strip % 2)]; }
  const TCopy& Copy(int strip) const { return copies_[static_cast<std::size_t>(strip % 2)]; }

  std::array<TCopy, 2> copies_;
  std::vector<std::uint32_t> overlap_;
};

}  // namespace zt
