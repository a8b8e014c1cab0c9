// The anti-aliasing pass: a calculation thread that replaces the colors of an
// already colored layer image by adaptively supersampled ones. The image holds
// one color per grid point, one column and one row more than the pixels, so
// that every pixel has its four corners. A pixel whose corners differ is split
// into 3 x 3 smaller squares whose new grid points the layer's formula and
// colorings calculate at sub-pixel positions; squares whose corners still
// differ are split again, down to the depth; the results are averaged with a
// fixed 3 x 3 filter.
#pragma once

#include <array>
#include <cstdint>

#include "render/compute.h"

namespace zt {

// A color as the filter averages it: each channel and the opacity from 0 to 1.
struct TAntiAliasColor {
  float Red = 0;
  float Green = 0;
  float Blue = 0;
  float Opacity = 0;
};

// The filter W[j][i] for the sub-squares of a split square: 0.918 in the
// center, about 0.5048 on the edges and 0.2512 in the corners.
using TAntiAliasWeights = std::array<std::array<float, 3>, 3>;
TAntiAliasWeights AntiAliasWeights();

inline constexpr double kDefaultAntiAliasThreshold = 0.3;
inline constexpr int kDefaultAntiAliasDepth = 3;

// Processes the pixels of its rectangle in row order. A pixel's corners lie at
// its own grid point and at points to the right and below, which the pass has
// not replaced yet, so it always reads colors that are not anti-aliased. An
// interrupted pass resumes at the pixel it was working on; that pixel's color
// is written only once it is complete, so the pixel reads the same corners on
// resume.
//
// Threads: as TCompute. The setters work only while the state is new; the
// image and the color table must outlive the thread, and nothing else may
// touch the image's rows from the rectangle's top to one row below its bottom
// while the thread runs.
class TComputeAntiAliasing : public TCompute {
 public:
  using TCompute::TCompute;
  ~TComputeAntiAliasing() override;

  // Corners whose red, green and blue differ by less than this in sum (each
  // channel counted from 0 to 1) are alike and end the splitting.
  void SetThreshold(double threshold);
  // The number of times a square may be split; 0 keeps every color.
  void SetDepth(int depth);
  // The layer's convert table: 4 bytes per entry (blue, green, red, opacity).
  void SetColorTable(const std::uint8_t* table);
  // Off: every color counts as fully opaque.
  void SetUseAlpha(bool use);
  // `image` holds rows of `width` colors (blue in the low byte); its row 0 is
  // the layer's pixel row `top` (the rectangle is in the layer's pixels).
  void SetImage(std::uint32_t* image, int width, int top);

 protected:
  void Calculate() override;

 private:
  std::uint32_t PixelColor(int x, int y);
  TAntiAliasColor Refine(int px, int py, const TAntiAliasColor& tl, const TAntiAliasColor& tr,
                         const TAntiAliasColor& bl, const TAntiAliasColor& br, int level, int size);
  TAntiAliasColor GridColor(int px, int py);
  TAntiAliasColor ToColor(std::uint32_t bgra) const;
  bool Similar(const TAntiAliasColor& a, const TAntiAliasColor& b) const;
  std::uint32_t& At(int x, int y) {
    return image_[static_cast<std::size_t>(y - top_) * static_cast<std::size_t>(width_) +
                  static_cast<std::size_t>(x)];
  }

  float threshold_ = static_cast<float>(kDefaultAntiAliasThreshold);
  int depth_ = kDefaultAntiAliasDepth;
  const std::uint8_t* color_table_ = nullptr;
  bool use_alpha_ = false;
  std::uint32_t* image_ = nullptr;
  int width_ = 0;
  int top_ = 0;
  std::array<float, 256> values_{};  // value i = i / 255
  TAntiAliasWeights weights_{};
};

}  // namespace zt
