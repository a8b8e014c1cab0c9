// The guessing refinement: a new pixel is calculated only when one of its known
// neighbours disagrees with it; otherwise it keeps the index of its block.
#include "render/compute_guessing.h"

#include <algorithm>
#include <initializer_list>

#include "render/index_image.h"

namespace zt {
namespace {

// A neighbour outside the piece; it never equals an index.
constexpr int kNone = -1;

bool AnyDiffers(int value, std::initializer_list<int> neighbours) {
  return std::any_of(neighbours.begin(), neighbours.end(), [value](int n) { return n != value; });
}

}  // namespace

TComputeGuessing::~TComputeGuessing() { StopCalculation(); }

void TComputeGuessing::RefineRow(int y, int step) {
  const TRect rect = Rect();
  const int left = rect.Left;
  const int right = rect.Right;
  const int bottom = rect.Bottom;
  const TIndexImage& image = Image();
  int x = RowStart();
  if (x >= right) return;
  const int half = step / 2;
  const int ym = y + half;
  const int above = std::max(y - half, rect.Top);
  const int block_bottom = std::min(y + step, bottom);
  const bool below_known = y + step < bottom;
  AddUpdateRect(TRect{left, y, right, block_bottom});

  // Neighbours carried from block to block. A row resumed in its middle takes
  // them from the finished blocks to its left, exactly as an uninterrupted row
  // would have carried them, so that a resumed piece gives the same image.
  int top_left = image.GetPixel(x, y);
  int bottom_left = below_known ? image.GetPixel(x, y + step) : top_left;
  int above_left = image.GetPixel(x, above);
  int prev_top = top_left;
  int prev_center = top_left;
  if (x > left) {
    if (!below_known) bottom_left = kNone;
    prev_top = image.GetPixel(x - half, y);
    prev_center = ym < bottom ? image.GetPixel(x - half, ym) : image.GetPixel(x - step, y);
  }

  for (; x < right; x += step) {
    const int xm = x + half;
    const bool has_top = xm < right;
    const bool has_left = ym < bottom;
    const bool has_center = has_top && has_left;
    const bool right_known = x + step < right;
    int top_right = kNone, bottom_right = kNone, above_middle = kNone, above_right = kNone;
    if (has_top) {
      above_middle = image.GetPixel(xm, above);
      if (right_known) {
        top_right = image.GetPixel(x + step, y);
        if (below_known) bottom_right = image.GetPixel(x + step, y + step);
        above_right = image.GetPixel(x + step, above);
      }
    }

    int top = top_left, center = top_left, left_middle = top_left;
    bool open_top = has_top, open_center = has_center, open_left = has_left;
    while (!Terminated()) {
      if (open_center &&
          AnyDiffers(center, {bottom_right, top_right, bottom_left, top, left_middle})) {
        center = CalcPixel(xm, ym, 1, 1);
        open_center = false;
      }
      if (open_top && AnyDiffers(top, {center, top_right, above_middle, above_left, above_right,
                                       left_middle})) {
        top = CalcPixel(xm, y, 1, 1);
        open_top = false;
        continue;
      }
      if (!open_left ||
          !AnyDiffers(left_middle, {center, bottom_left, prev_center, prev_top, top})) {
        break;
      }
      left_middle = CalcPixel(x, ym, 1, 1);
      open_left = false;
    }
    if (Terminated()) return Interrupt(x, y);

    // The coarser pass filled the whole block with its corner already.
    const int block_right = std::min(x + step, right);
    if (has_top && top != top_left) {
      Put(xm, y, block_right, std::min(ym, bottom), static_cast<std::uint16_t>(top));
    }
    if (has_center && center != top_left) {
      Put(xm, ym, block_right, block_bottom, static_cast<std::uint16_t>(center));
    }
    if (has_left && left_middle != top_left) {
      Put(x, ym, std::min(xm, right), block_bottom, static_cast<std::uint16_t>(left_middle));
    }
    AddPixelsDone(int{has_top} + int{has_center} + int{has_left});

    top_left = top_right;
    bottom_left = bottom_right;
    above_left = above_right;
    prev_center = center;
    prev_top = top;
  }
}

}  // namespace zt
