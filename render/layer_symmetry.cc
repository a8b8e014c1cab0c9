// Symmetry geometry and mirroring of stored indices (see layer_symmetry.h), and
// the symmetry phases of TLayerCalculate built on them.
#include "render/layer_symmetry.h"

#include <algorithm>
#include <cmath>

#include "render/layer_calculate.h"

namespace zt {

namespace {

// Nearest integer with halves to even (the default rounding mode).
int RoundEven(long double value) { return static_cast<int>(std::nearbyint(value)); }

// The rows of `r` that `rows` leaves to mirroring.
TRect RemainingRows(const TRect& r, const THalf& rows) {
  switch (rows.Side) {
    case THalfSide::kFirst: return TRect{r.Left, rows.Calc.Bottom, r.Right, r.Bottom};
    case THalfSide::kSecond: return TRect{r.Left, r.Top, r.Right, rows.Calc.Top};
    case THalfSide::kAll: break;
  }
  return TRect{r.Left, r.Top, r.Left, r.Top};
}

}  // namespace

TSymmetryAxes FindSymmetryAxes(int width, int height, long double pixel_size, long double center_re,
                               long double center_im) {
  TSymmetryAxes axes;
  axes.Column = width / 2 - center_re / pixel_size;
  axes.Row = height / 2 + center_im / pixel_size;
  axes.A = width / 2 + RoundEven(-center_re / pixel_size);
  axes.B = height / 2 + RoundEven(center_im / pixel_size);
  return axes;
}

THalf RealAxisHalf(const TSymmetryAxes& axes, const TRect& s) {
  if (!axes.RealAxisInside(s)) return THalf{s, THalfSide::kAll};
  int yb = std::clamp(axes.B + 1, s.Top, s.Bottom);
  if (yb <= (s.Top + s.Bottom) / 2)
    return THalf{TRect{s.Left, yb - 1, s.Right, s.Bottom}, THalfSide::kSecond};
  return THalf{TRect{s.Left, s.Top, s.Right, yb}, THalfSide::kFirst};
}

THalf ImagAxisHalf(const TSymmetryAxes& axes, const TRect& s) {
  if (!axes.ImagAxisInside(s)) return THalf{s, THalfSide::kAll};
  int xb = std::clamp(axes.A + 1, s.Left, s.Right);
  if (xb <= (s.Left + s.Right) / 2)
    return THalf{TRect{xb - 1, s.Top, s.Right, s.Bottom}, THalfSide::kSecond};
  return THalf{TRect{s.Left, s.Top, xb, s.Bottom}, THalfSide::kFirst};
}

TRect MirrorRows(TIndexImage& image, const TSymmetryAxes& axes, const TRect& s, const THalf& half) {
  TRect target = RemainingRows(s, half);
  int width = s.Right - s.Left;
  for (int y = target.Top; y < target.Bottom; ++y) {
    int source = 2 * axes.B - y;
    if (source < half.Calc.Top || source >= half.Calc.Bottom) continue;
    image.SaveSegment(s.Left, source, width);
    image.RestoreSegment(s.Left, y);
  }
  return target;
}

TRect MirrorColumns(TIndexImage& image, const TSymmetryAxes& axes, const TRect& s,
                    const THalf& half) {
  // The other side's columns, and the first column of their reflection.
  int left = s.Left, right = s.Left, source = 0;
  if (half.Side == THalfSide::kSecond) {
    right = half.Calc.Left;
    source = 2 * axes.A - (right - 1);
  } else if (half.Side == THalfSide::kFirst) {
    left = half.Calc.Right;
    right = s.Right;
    source = 2 * axes.A - (right - 1);
  }
  int count = right - left;
  if (count <= 0) return TRect{s.Left, s.Top, s.Left, s.Top};
  for (int y = s.Top; y < s.Bottom; ++y) {
    image.SaveSegment(source, y, count);
    image.ReverseSegment();
    image.RestoreSegment(left, y);
  }
  return TRect{left, s.Top, right, s.Bottom};
}

TRect OriginStrip(const TSymmetryAxes& axes, const TRect& r, const THalf& rows) {
  TRect remaining = RemainingRows(r, rows);
  if (remaining.Top >= remaining.Bottom) return remaining;
  if (axes.A < (r.Left + r.Right) / 2)
    remaining.Left = std::clamp(2 * axes.A - r.Left + 1, r.Left, r.Right - 1);
  else
    remaining.Right = std::clamp(2 * axes.A + 1 - r.Right, r.Left + 1, r.Right);
  return remaining;
}

TRect MirrorOrigin(TIndexImage& image, const TSymmetryAxes& axes, const TRect& r, const THalf& rows,
                   const TRect& strip) {
  TRect remaining = RemainingRows(r, rows);
  for (int y = remaining.Top; y < remaining.Bottom; ++y) {
    int sy = 2 * axes.B - y;
    if (sy < r.Top || sy >= r.Bottom) continue;
    for (int x = r.Left; x < r.Right; ++x) {
      if (x >= strip.Left && x < strip.Right) continue;
      int sx = 2 * axes.A - x;
      if (sx < r.Left || sx >= r.Right) continue;
      image.SetPixel(x, y, image.GetPixel(sx, sy));
    }
  }
  return remaining;
}

// The symmetry phases: each call either starts the batch of pieces of the current
// phase or mirrors and completes the calculation.

TSymmetryAxes TLayerCalculate::Axes() const {
  TComplex center = mapping_->Center();
  return FindSymmetryAxes(image_->Width(), image_->Height(), mapping_->Scale(), center.real(),
                          center.imag());
}

bool TLayerCalculate::RunSymmetry() {
  if (symmetry_phase_ != kSymmetryDone) {
    switch (symmetry_) {
      case kSymmetryRealAxis:
      case kSymmetryImagAxis:
      case kSymmetryBothAxes: return RunAxis(symmetry_, Axes());
      case kSymmetryOrigin: return RunOrigin(Axes());
      default:
        if (symmetry_phase_ == 0) {
          StartAll(calc_rect_);
          return true;
        }
    }
  }
  symmetry_phase_ = kSymmetryDone;
  return false;
}

bool TLayerCalculate::RunAxis(int symmetry, const TSymmetryAxes& axes) {
  const TRect& r = calc_rect_;
  if (symmetry == kSymmetryBothAxes && !axes.ImagAxisInside(r)) symmetry = kSymmetryRealAxis;
  if (symmetry == kSymmetryRealAxis) {
    THalf rows = RealAxisHalf(axes, r);
    if (symmetry_phase_ == 0) {
      StartAll(rows.Calc);
      return true;
    }
    Invalidate(MirrorRows(*image_, axes, r, rows));
  } else if (symmetry == kSymmetryImagAxis) {
    THalf columns = ImagAxisHalf(axes, r);
    if (symmetry_phase_ == 0) {
      StartAll(columns.Calc);
      return true;
    }
    Invalidate(MirrorColumns(*image_, axes, r, columns));
  } else {
    THalf columns = ImagAxisHalf(axes, r);
    THalf rows = RealAxisHalf(axes, columns.Calc);
    if (symmetry_phase_ == 0) {
      StartAll(rows.Calc);
      return true;
    }
    Invalidate(MirrorRows(*image_, axes, columns.Calc, rows));
    Invalidate(MirrorColumns(*image_, axes, r, columns));
  }
  symmetry_phase_ = kSymmetryDone;
  return false;
}

bool TLayerCalculate::RunOrigin(const TSymmetryAxes& axes) {
  const TRect& r = calc_rect_;
  if (!axes.RealAxisInside(r) || !axes.ImagAxisInside(r)) {
    if (symmetry_phase_ == 0) {
      StartAll(r);
      return true;
    }
  } else {
    THalf rows = RealAxisHalf(axes, r);
    TRect strip = OriginStrip(axes, r, rows);
    if (symmetry_phase_ == 0) {
      total_pixels_ = rows.Calc.Area() + strip.Area();
      StartPieces(rows.Calc);
      return true;
    }
    if (symmetry_phase_ == 1) {
      StartPieces(strip);
      return true;
    }
    Invalidate(MirrorOrigin(*image_, axes, r, rows, strip));
  }
  symmetry_phase_ = kSymmetryDone;
  return false;
}

}  // namespace zt
