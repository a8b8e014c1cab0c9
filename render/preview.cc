// The preview transform and its row resampling; see preview.h.
//
// Positions are walked in 64.64 fixed point. Every step the transform can take
// (a float of magnitude at least 0.0001, or 0) is a whole multiple of 2^-64, so
// the walk is exact: each pixel picks the floor of its exact source position,
// and the range of pixels whose source lies inside is found by exact division
// once per row.
#include "render/preview.h"

#include <algorithm>
#include <cmath>

#include "render/index_image.h"

namespace zt {

namespace {

using TFixed = __int128;

constexpr float kSmallStep = 0.0001f;
// Steps beyond this leave every pixel but the center column or row outside any
// image, so larger ones change nothing and would overflow the fixed point.
constexpr float kLargeStep = 16777216.0f;
constexpr double kLargeShift = 1073741824.0;

float PreviewStep(double value) {
  if (std::isnan(value)) return 0.0f;
  const double clamped = std::clamp(value, -double{kLargeStep}, double{kLargeStep});
  const float step = static_cast<float>(clamped);
  return std::fabs(step) < kSmallStep ? 0.0f : step;
}

int NearestInt(double value) {
  // The default rounding mode sends halves to the even neighbour.
  return static_cast<int>(std::nearbyint(std::clamp(value, -kLargeShift, kLargeShift)));
}

TFixed ToFixed(float value) {
  return static_cast<TFixed>(std::ldexp(static_cast<long double>(value), 64));
}

TFixed Whole(std::int64_t value) { return static_cast<TFixed>(value) << 64; }

TFixed FloorDiv(TFixed a, TFixed b) {  // b > 0
  const TFixed q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

TFixed CeilDiv(TFixed a, TFixed b) {  // b > 0
  const TFixed q = a / b;
  return (a % b != 0 && a > 0) ? q + 1 : q;
}

// Narrows [first, last) to the x for which 0 <= start + x * step < limit.
void ClipRange(TFixed start, TFixed step, TFixed limit, TFixed& first, TFixed& last) {
  if (step > 0) {
    first = std::max(first, CeilDiv(-start, step));
    last = std::min(last, CeilDiv(limit - start, step));
  } else if (step < 0) {
    first = std::max(first, FloorDiv(start - limit, -step) + 1);
    last = std::min(last, FloorDiv(start, -step) + 1);
  } else if (start < 0 || start >= limit) {
    last = first;
  }
}

}  // namespace

TPreview TPreview::Make(int width, int height, int shift_x, int shift_y, double zoom,
                        double angle) {
  if (std::isnan(zoom)) zoom = 1.0;
  TPreview preview;
  preview.Width = width;
  preview.Height = height;
  preview.S = PreviewStep(std::sin(angle) / zoom);
  preview.C = PreviewStep(std::cos(angle) / zoom);
  preview.OX = NearestInt(std::cos(angle) * shift_x - std::sin(angle) * shift_y);
  preview.OY = NearestInt(std::cos(angle) * shift_y + std::sin(angle) * shift_x);
  preview.Transformed = angle != 0.0 || zoom != 1.0;
  return preview;
}

void PreviewIndexRow(const TPreview& preview, const std::uint16_t* pixels, int y,
                     std::uint16_t* out) {
  const int width = preview.Width;
  const int hw = width >> 1;
  const int hh = preview.Height >> 1;
  const TFixed c = ToFixed(preview.C);
  const TFixed s = ToFixed(preview.S);
  const std::int64_t row = std::int64_t{y} - hh - preview.OY;
  const std::int64_t column = -std::int64_t{hw} - preview.OX;  // X of display pixel 0
  // Source position of display pixel 0; each pixel to the right adds (c, -s).
  const TFixed sx0 = Whole(hw) + column * c + row * s;
  const TFixed sy0 = Whole(hh) + row * c - column * s;

  TFixed first = 0;
  TFixed last = width;
  ClipRange(sx0, c, Whole(width), first, last);
  ClipRange(sy0, -s, Whole(preview.Height), first, last);
  // An empty range may lie beyond either end of the row.
  last = std::max(last, TFixed{0});
  first = std::min(first, last);
  const int begin = static_cast<int>(first);
  const int end = static_cast<int>(last);

  std::fill(out, out + begin, kBackgroundIndex);
  TFixed sx = sx0 + begin * c;
  TFixed sy = sy0 - begin * s;
  for (int x = begin; x < end; ++x) {
    const auto source_x = static_cast<std::ptrdiff_t>(sx >> 64);
    const auto source_y = static_cast<std::ptrdiff_t>(sy >> 64);
    out[x] = LoadIndex(&pixels[source_y * width + source_x]);
    sx += c;
    sy -= s;
  }
  std::fill(out + end, out + width, kBackgroundIndex);
}

}  // namespace zt
