// Pixel storage, row writes and paint notifications of the display bitmap; see
// direct_bitmap.h.
#include "render/direct_bitmap.h"

#include <algorithm>

namespace zt {

namespace {
constexpr std::uint32_t kColorMask = 0x00FFFFFF;
}

TDirectBitmap::TDirectBitmap(int width, int height) { Resize(width, height); }

void TDirectBitmap::SetWidth(int width) { Resize(width, height_); }

void TDirectBitmap::SetHeight(int height) { Resize(width_, height); }

void TDirectBitmap::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) *
                                    static_cast<std::size_t>(height));
  const int keep_width = std::min(width, width_);
  const int keep_height = std::min(height, height_);
  for (int y = 0; keep_width > 0 && y < keep_height; ++y)
    std::copy_n(pixels_.data() + Offset(0, y), keep_width,
                pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width));
  pixels_.swap(pixels);
  width_ = width;
  height_ = height;
}

void TDirectBitmap::WriteRow(int x, int y, const std::uint32_t* colors, int count) {
  if (y < 0 || y >= height_) return;
  const int first = std::max(x, 0);
  const int last = std::min(x + std::max(count, 0), width_);
  for (int i = first; i < last; ++i) pixels_[Offset(i, y)] = colors[i - x] & kColorMask;
}

void TDirectBitmap::CopyRow(int from_y, int to_y) {
  if (from_y < 0 || from_y >= height_ || to_y < 0 || to_y >= height_ || from_y == to_y) return;
  std::copy_n(&pixels_[Offset(0, from_y)], width_, &pixels_[Offset(0, to_y)]);
}

void TDirectBitmap::Paint(const TRect& rect) {
  const TRect clipped{std::max(rect.Left, 0), std::max(rect.Top, 0), std::min(rect.Right, width_),
                      std::min(rect.Bottom, height_)};
  if (OnPaint) OnPaint(*this, clipped);
}

void TDirectBitmap::PaintAll() { Paint({0, 0, width_, height_}); }

std::uint32_t TDirectBitmap::Pixel(int x, int y) const {
  if (x < 0 || x >= width_ || y < 0 || y >= height_) return 0;
  return pixels_[Offset(x, y)];
}

}  // namespace zt
