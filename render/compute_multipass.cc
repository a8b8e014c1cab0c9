// The pass structure shared by the multi-pass and guessing threads, and the
// refinement that calculates every new pixel.
#include "render/compute_multipass.h"

#include <algorithm>

#include "render/index_image.h"

namespace zt {

// The thread calls the overrides of this class: it must end before they go.
TComputeMultiPass::~TComputeMultiPass() { StopAndJoin(); }

void TComputeMultiPass::Calculate() {
  const TRect rect = Rect();
  const int passes = Passes();
  int column = rect.Left;
  int row = rect.Top;
  int e = passes;
  bool firstPass = true;
  if (State() == csInterrupted) {
    firstPass = current_pass_ == passes;
    if (!firstPass) e = current_pass_ + 1;
    column = resume_x_;
    row = resume_y_;
  }
  SetState(csRunning);
  if (rect.Empty()) return;
  if (firstPass) {
    current_pass_ = passes;
    if (!Rows(&TComputeMultiPass::FirstPassRow, column, row, 1 << passes)) return;
    column = rect.Left;
    row = rect.Top;
  }
  for (; e > 0; --e) {
    current_pass_ = e - 1;
    if (!Rows(&TComputeMultiPass::RefineRow, column, row, 1 << e)) return;
    column = rect.Left;
    row = rect.Top;
  }
  // A request to stop that comes after the last pixel must not make a resumed
  // piece repeat its last pass.
  resume_x_ = rect.Left;
  resume_y_ = rect.Bottom;
}

bool TComputeMultiPass::Rows(TRowFunction row, int x, int y, int step) {
  const TRect rect = Rect();
  for (; y < rect.Bottom; y += step) {
    if (Terminated()) {
      Interrupt(x, y);
      return false;
    }
    row_start_ = x;
    (this->*row)(y, step);
    if (State() == csInterrupted) return false;
    x = rect.Left;
  }
  return true;
}

void TComputeMultiPass::Interrupt(int x, int y) {
  resume_x_ = x;
  resume_y_ = y;
  SetState(csInterrupted);
}

void TComputeMultiPass::Put(int x1, int y1, int x2, int y2, std::uint16_t value) {
  if (x2 == x1 + 1 && y2 == y1 + 1) {
    Image().SetPixel(x1, y1, value);
  } else {
    Image().FillRect(x1, y1, x2, y2, value);
  }
}

void TComputeMultiPass::FirstPassRow(int y, int step) {
  const TRect rect = Rect();
  const int bottom = std::min(y + step, rect.Bottom);
  AddUpdateRect(TRect{rect.Left, y, rect.Right, bottom});
  for (int x = RowStart(); x < rect.Right; x += step) {
    Put(x, y, std::min(x + step, rect.Right), bottom, CalcPixel(x, y, 1, 1));
    if (Terminated()) return Interrupt(x, y);
    AddPixelsDone(1);
  }
}

void TComputeMultiPass::RefineRow(int y, int step) {
  const TRect rect = Rect();
  const int half = step / 2;
  const int blockBottom = std::min(y + step, rect.Bottom);
  const int ym = y + half;
  AddUpdateRect(TRect{rect.Left, y, rect.Right, blockBottom});
  for (int x = RowStart(); x < rect.Right; x += step) {
    const int xm = x + half;
    const int blockRight = std::min(x + step, rect.Right);
    int calculated = 0;
    if (xm < rect.Right) {
      if (ym < rect.Bottom) {
        Put(xm, ym, blockRight, blockBottom, CalcPixel(xm, ym, 1, 1));
        ++calculated;
      }
      Put(xm, y, blockRight, std::min(ym, rect.Bottom), CalcPixel(xm, y, 1, 1));
      ++calculated;
    }
    if (ym < rect.Bottom) {
      Put(x, ym, std::min(xm, rect.Right), blockBottom, CalcPixel(x, ym, 1, 1));
      ++calculated;
    }
    if (Terminated()) return Interrupt(x, y);
    AddPixelsDone(calculated);
  }
}

}  // namespace zt
