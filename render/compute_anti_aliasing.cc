// The anti-aliasing pass (see compute_anti_aliasing.h).
#include "render/compute_anti_aliasing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zt {

namespace {

// Sub-pixel positions are counted in 1/243 pixel: 243 = 3^5, so five splits
// land on whole units and a sixth on size 1, whose points all coincide.
constexpr int kUnits = 243;

std::uint8_t ToByte(float value) {
  return static_cast<std::uint8_t>(std::clamp(std::lrint(value * 255.0f), 0L, 255L));
}

}  // namespace

TAntiAliasWeights AntiAliasWeights() {
  TAntiAliasWeights weights{};
  const long double spread = 1.953L;
  const long double norm = 1 - std::exp(-spread);
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 3; ++i) {
      const long double dx = 0.5L * i - 0.5L;
      const long double dy = 0.5L * j - 0.5L;
      const long double d2 = dx * dx + dy * dy;
      const long double w = 0.918L * (1 - (1 - std::exp(-spread * d2)) / norm);
      weights[j][i] = static_cast<float>(std::clamp(w, 0.0L, 10.0L));
    }
  }
  return weights;
}

TComputeAntiAliasing::~TComputeAntiAliasing() { StopCalculation(); }

void TComputeAntiAliasing::SetThreshold(double threshold) {
  if (State() == kComputeNew) threshold_ = static_cast<float>(threshold);
}

void TComputeAntiAliasing::SetDepth(int depth) {
  if (State() == kComputeNew) depth_ = depth;
}

void TComputeAntiAliasing::SetColorTable(const std::uint8_t* table) {
  if (State() == kComputeNew) color_table_ = table;
}

void TComputeAntiAliasing::SetUseAlpha(bool use) {
  if (State() == kComputeNew) use_alpha_ = use;
}

void TComputeAntiAliasing::SetImage(std::uint32_t* image, int width, int top) {
  if (State() != kComputeNew) return;
  image_ = image;
  width_ = width;
  top_ = top;
}

void TComputeAntiAliasing::Calculate() {
  for (int i = 0; i < 256; ++i) values_[static_cast<std::size_t>(i)] = i / 255.0f;
  weights_ = AntiAliasWeights();
  const TRect rect = Rect();
  int x = rect.Left;
  int y = rect.Top;
  if (State() == kComputeInterrupted) {
    x = resume_x_;
    y = resume_y_;
  }
  SetState(kComputeRunning);
  for (; y < rect.Bottom; ++y, x = rect.Left) {
    for (; x < rect.Right; ++x) {
      const std::uint32_t color = PixelColor(x, y);
      // An aborted pixel is unfinished: its grid point keeps the plain color
      // that the pixel reads again when the pass resumes here.
      if (Terminated()) {
        resume_x_ = x;
        resume_y_ = y;
        SetState(kComputeInterrupted);
        return;
      }
      At(x, y) = color;
      AddPixelsDone(1);
    }
  }
  resume_x_ = rect.Left;
  resume_y_ = rect.Bottom;
}

TAntiAliasColor TComputeAntiAliasing::ToColor(std::uint32_t bgra) const {
  return {values_[(bgra >> 16) & 0xFF], values_[(bgra >> 8) & 0xFF], values_[bgra & 0xFF],
          use_alpha_ ? values_[bgra >> 24] : 1.0f};
}

bool TComputeAntiAliasing::Similar(const TAntiAliasColor& a, const TAntiAliasColor& b) const {
  return std::fabs(a.Red - b.Red) + std::fabs(a.Green - b.Green) + std::fabs(a.Blue - b.Blue) <
         threshold_;
}

std::uint32_t TComputeAntiAliasing::PixelColor(int x, int y) {
  const TAntiAliasColor c = Refine(kUnits * x, kUnits * y, ToColor(At(x, y)), ToColor(At(x + 1, y)),
                                   ToColor(At(x, y + 1)), ToColor(At(x + 1, y + 1)), 1, kUnits);
  return std::uint32_t{ToByte(c.Blue)} | std::uint32_t{ToByte(c.Green)} << 8 |
         std::uint32_t{ToByte(c.Red)} << 16 | std::uint32_t{ToByte(c.Opacity)} << 24;
}

TAntiAliasColor TComputeAntiAliasing::GridColor(int px, int py) {
  const std::uint16_t index = CalcPixel(px, py, kUnits, kUnits);
  std::uint32_t bgra;
  std::memcpy(&bgra, color_table_ + 4 * std::size_t{index}, sizeof bgra);
  return ToColor(bgra);
}

TAntiAliasColor TComputeAntiAliasing::Refine(int px, int py, const TAntiAliasColor& tl,
                                             const TAntiAliasColor& tr, const TAntiAliasColor& bl,
                                             const TAntiAliasColor& br, int level, int size) {
  if (depth_ < level || Terminated()) return tl;
  if (Similar(tl, bl) && Similar(tl, tr) && Similar(tl, br)) return tl;
  const int t = size / 3;
  TAntiAliasColor g[4][4];
  g[0][0] = tl;
  g[0][3] = tr;
  g[3][0] = bl;
  g[3][3] = br;
  // Row by row; in the middle rows the outer points first. The order is the
  // order of the formula's calls, which may carry state from one to the next.
  static constexpr int kOrder[4][4] = {{1, 2, -1, -1}, {0, 3, 1, 2}, {0, 3, 1, 2}, {1, 2, -1, -1}};
  for (int j = 0; j < 4; ++j)
    for (int i : kOrder[j])
      if (i >= 0) g[j][i] = GridColor(px + i * t, py + j * t);

  float red = 0, green = 0, blue = 0, opacity = 0, total = 0, weight_sum = 0;
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 3; ++i) {
      const TAntiAliasColor s = Refine(px + i * t, py + j * t, g[j][i], g[j][i + 1], g[j + 1][i],
                                       g[j + 1][i + 1], level + 1, t);
      const float weight = weights_[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)];
      const float w = weight * s.Opacity;
      red += w * s.Red;
      green += w * s.Green;
      blue += w * s.Blue;
      opacity += w;
      total += w;
      weight_sum += weight;
    }
  }
  if (total > 0) {
    red /= total;
    green /= total;
    blue /= total;
  }
  if (weight_sum > 0) opacity /= weight_sum;
  return {red, green, blue, opacity};
}

}  // namespace zt
