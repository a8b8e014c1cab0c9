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
  return std::any_of(neighbours.begin(), neighbours.end(),
                     [value](int n) { return n != value; });
}

}  // namespace

TComputeGuessing::~TComputeGuessing() { StopAndJoin(); }

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
  const int blockBottom = std::min(y + step, bottom);
  const bool belowKnown = y + step < bottom;
  AddUpdateRect(TRect{left, y, right, blockBottom});

  // Neighbours carried from block to block. A row resumed in its middle takes
  // them from the finished blocks to its left, exactly as an uninterrupted row
  // would have carried them, so that a resumed piece gives the same image.
  int topLeft = image.GetPixel(x, y);
  int bottomLeft = belowKnown ? image.GetPixel(x, y + step) : topLeft;
  int aboveLeft = image.GetPixel(x, above);
  int prevTop = topLeft;
  int prevCenter = topLeft;
  if (x > left) {
    if (!belowKnown) bottomLeft = kNone;
    prevTop = image.GetPixel(x - half, y);
    prevCenter = ym < bottom ? image.GetPixel(x - half, ym) : image.GetPixel(x - step, y);
  }

  for (; x < right; x += step) {
    const int xm = x + half;
    const bool hasTop = xm < right;
    const bool hasLeft = ym < bottom;
    const bool hasCenter = hasTop && hasLeft;
    const bool rightKnown = x + step < right;
    int topRight = kNone, bottomRight = kNone, aboveMiddle = kNone, aboveRight = kNone;
    if (hasTop) {
      aboveMiddle = image.GetPixel(xm, above);
      if (rightKnown) {
        topRight = image.GetPixel(x + step, y);
        if (belowKnown) bottomRight = image.GetPixel(x + step, y + step);
        aboveRight = image.GetPixel(x + step, above);
      }
    }

    int top = topLeft, center = topLeft, leftMiddle = topLeft;
    bool openTop = hasTop, openCenter = hasCenter, openLeft = hasLeft;
    while (!Terminated()) {
      if (openCenter &&
          AnyDiffers(center, {bottomRight, topRight, bottomLeft, top, leftMiddle})) {
        center = CalcPixel(xm, ym, 1, 1);
        openCenter = false;
      }
      if (openTop &&
          AnyDiffers(top, {center, topRight, aboveMiddle, aboveLeft, aboveRight, leftMiddle})) {
        top = CalcPixel(xm, y, 1, 1);
        openTop = false;
        continue;
      }
      if (!openLeft ||
          !AnyDiffers(leftMiddle, {center, bottomLeft, prevCenter, prevTop, top})) {
        break;
      }
      leftMiddle = CalcPixel(x, ym, 1, 1);
      openLeft = false;
    }
    if (Terminated()) return Interrupt(x, y);

    // The coarser pass filled the whole block with its corner already.
    const int blockRight = std::min(x + step, right);
    if (hasTop && top != topLeft) {
      Put(xm, y, blockRight, std::min(ym, bottom), static_cast<std::uint16_t>(top));
    }
    if (hasCenter && center != topLeft) {
      Put(xm, ym, blockRight, blockBottom, static_cast<std::uint16_t>(center));
    }
    if (hasLeft && leftMiddle != topLeft) {
      Put(x, ym, std::min(xm, right), blockBottom, static_cast<std::uint16_t>(leftMiddle));
    }
    AddPixelsDone(int{hasTop} + int{hasCenter} + int{hasLeft});

    topLeft = topRight;
    bottomLeft = bottomRight;
    aboveLeft = aboveRight;
    prevCenter = center;
    prevTop = top;
  }
}

}  // namespace zt
