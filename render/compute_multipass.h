// The progressive calculation thread: a coarse grid of pixels first, each filling
// its whole block, then block sizes halved pass by pass until every pixel is known.
#pragma once

#include "render/compute.h"

namespace zt {

// One piece calculated in passes. The first pass calculates every 2^passes-th pixel
// of every 2^passes-th row; each refinement with step s then calculates the pixels
// at half the step inside every block of size s. Stops at any block and resumes at
// the same pass, row and block (the block is calculated again).
// Created, started and freed on the main thread; Calculate and RefineRow run on the
// thread itself.
class TComputeMultiPass : public TCompute {
 public:
  using TCompute::TCompute;
  ~TComputeMultiPass() override;

 protected:
  void Calculate() override;
  // Fills the new pixels of the row of blocks of size `step` whose top is `y`,
  // starting with the block at RowStart(). When termination is requested it stops
  // through Interrupt.
  void RefineRow(int y, int step) override;

  // The column of the first block of the row in progress: the piece's left, or
  // the resume position for the first row of a resumed piece.
  int RowStart() const { return row_start_; }
  // Records (x, y) of the current pass as the place to resume; state interrupted.
  void Interrupt(int x, int y);
  // Sets a block of the image to `value` (a single pixel directly).
  void Put(int x1, int y1, int x2, int y2, std::uint16_t value);

 private:
  using TRowFunction = void (TComputeMultiPass::*)(int y, int step);

  void FirstPassRow(int y, int step);
  // Runs `row` for the rows from `y` (the first from column `x`) to the bottom;
  // false when the piece was interrupted.
  bool Rows(TRowFunction row, int x, int y, int step);

  int row_start_ = 0;  // written and read by the worker only
};

}  // namespace zt
