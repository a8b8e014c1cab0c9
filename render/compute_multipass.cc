// The pass structure shared by the multi-pass and guessing threads, and the
// refinement that calculates every new pixel.
#include "render/compute_multipass.h"

#include <algorithm>

#include "render/index_image.h"

namespace zt {

// The thread calls the overrides of this class: it must end before they go.
TComputeMultiPass::~TComputeMultiPass() { StopCalculation(); }

void TComputeMultiPass::Calculate() {
  const TRect rect = Rect();
  const int passes = std::clamp(Passes(), 0, kMaxPasses);
  int column = rect.Left;
  int row = rect.Top;
  int e = passes;
  bool first_pass = true;
  if (State() == kComputeInterrupted && ResumeValid(passes)) {
    first_pass = current_pass_ == passes;
    if (!first_pass) e = current_pass_ + 1;
    column = resume_x_;
    row = resume_y_;
  }
  SetState(kComputeRunning);
  if (rect.Empty()) return;
  if (first_pass) {
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

bool TComputeMultiPass::ResumeValid(int passes) const {
  const TRect rect = Rect();
  if (current_pass_ < 0 || current_pass_ > passes) return false;
  if (resume_y_ == rect.Bottom) return resume_x_ == rect.Left;  // nothing left to do
  const int step = 1 << (current_pass_ == passes ? passes : current_pass_ + 1);
  return resume_x_ >= rect.Left && resume_x_ < rect.Right && resume_y_ >= rect.Top &&
         resume_y_ < rect.Bottom && (resume_x_ - rect.Left) % step == 0 &&
         (resume_y_ - rect.Top) % step == 0;
}

bool TComputeMultiPass::Rows(TRowFunction row, int x, int y, int step) {
  const TRect rect = Rect();
  for (; y < rect.Bottom; y += step) {
    // A request that comes between two rows still leaves a place to resume.
    if (Terminated()) {
      Interrupt(x, y);
      return false;
    }
    row_start_ = x;
    (this->*row)(y, step);
    if (State() == kComputeInterrupted) return false;
    x = rect.Left;
  }
  return true;
}

void TComputeMultiPass::Interrupt(int x, int y) {
  resume_x_ = x;
  resume_y_ = y;
  SetState(kComputeInterrupted);
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
  const int block_bottom = std::min(y + step, rect.Bottom);
  const int ym = y + half;
  AddUpdateRect(TRect{rect.Left, y, rect.Right, block_bottom});
  for (int x = RowStart(); x < rect.Right; x += step) {
    const int xm = x + half;
    const int block_right = std::min(x + step, rect.Right);
    int calculated = 0;
    if (xm < rect.Right) {
      if (ym < rect.Bottom) {
        Put(xm, ym, block_right, block_bottom, CalcPixel(xm, ym, 1, 1));
        ++calculated;
      }
      Put(xm, y, block_right, std::min(ym, rect.Bottom), CalcPixel(xm, y, 1, 1));
      ++calculated;
    }
    if (ym < rect.Bottom) {
      Put(x, ym, std::min(xm, rect.Right), block_bottom, CalcPixel(x, ym, 1, 1));
      ++calculated;
    }
    if (Terminated()) return Interrupt(x, y);
    AddPixelsDone(calculated);
  }
}

}  // namespace zt
