// Where a layer's symmetry axes lie in its image, which part of a rectangle has
// to be calculated, and the mirroring that fills the rest from stored indices.
// Pure geometry over TRect and TIndexImage; TLayerCalculate sequences the phases.
#pragma once

#include "platform/rect.h"
#include "render/index_image.h"

namespace zt {

// The axes of the complex plane in pixel coordinates. Column and Row are the exact
// (fractional) positions; A and B the nearest pixel column and row (halves to even).
struct TSymmetryAxes {
  long double Column = 0;
  long double Row = 0;
  int A = 0;
  int B = 0;

  // Whether the real axis (a row) or the imaginary axis (a column) runs through
  // the inside of `s`, away from its last row or column.
  bool RealAxisInside(const TRect& s) const { return s.Top < Row && Row < s.Bottom - 1; }
  bool ImagAxisInside(const TRect& s) const { return s.Left < Column && Column < s.Right - 1; }
};

// Axes of a width x height image whose center pixel (width div 2, height div 2)
// shows `centerRe + i centerIm` and whose pixels are `pixelSize` apart.
TSymmetryAxes FindSymmetryAxes(int width, int height, long double pixel_size, long double center_re,
                               long double center_im);

// Which part of a rectangle is calculated for one axis.
enum class THalfSide { kAll, kFirst, kSecond };  // First: upper or left part

struct THalf {
  TRect Calc;
  THalfSide Side = THalfSide::kAll;
};

// The part of `s` on the larger side of the real axis, including the axis row
// (all of `s` when the axis is not inside it).
THalf RealAxisHalf(const TSymmetryAxes& axes, const TRect& s);
// The same for the imaginary axis and columns.
THalf ImagAxisHalf(const TSymmetryAxes& axes, const TRect& s);

// Fill the rows (columns) of `s` outside half.Calc with the reflection about the
// axis row B (column A). Returns the rectangle written (empty when none).
TRect MirrorRows(TIndexImage& image, const TSymmetryAxes& axes, const TRect& s, const THalf& half);
TRect MirrorColumns(TIndexImage& image, const TSymmetryAxes& axes, const TRect& s,
                    const THalf& half);

// Origin symmetry over `r` with the row half `rows`: the strip of the remaining rows
// whose point reflection leaves the image, which must be calculated too.
TRect OriginStrip(const TSymmetryAxes& axes, const TRect& r, const THalf& rows);
// Every pixel of the remaining rows outside `strip` takes the index of its point
// reflection (2A - x, 2B - y). Returns the rows written.
TRect MirrorOrigin(TIndexImage& image, const TSymmetryAxes& axes, const TRect& r, const THalf& rows,
                   const TRect& strip);

}  // namespace zt
