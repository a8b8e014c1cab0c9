// The index image's storage and its row and rectangle operations.
#include "render/index_image.h"

#include <algorithm>

#include "platform/error.h"

namespace zt {

void TIndexImage::SetSize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
                 kBackgroundIndex);
  line_.clear();
  line_.reserve(static_cast<std::size_t>(width_));
  Resized();
}

void TIndexImage::SetWidth(int width) {
  if (width >= 1 && width != width_) SetSize(width, height_);
}

void TIndexImage::SetHeight(int height) {
  if (height >= 1 && height != height_) SetSize(width_, height);
}

void TIndexImage::Clear() {
  for (std::uint16_t& pixel : pixels_) StoreIndex(&pixel, kBackgroundIndex);
}

void TIndexImage::ExchangePixels(std::vector<std::uint16_t>& pixels) {
  if (pixels.size() != pixels_.size())
    throw EZentrope("Cannot exchange pixels of a different size");
  pixels_.swap(pixels);
}

void TIndexImage::FillRect(int x1, int y1, int x2, int y2, std::uint16_t value) {
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, width_);
  y2 = std::min(y2, height_);
  if (x2 <= x1 || y2 <= y1) return;
  for (int y = y1; y < y2; ++y) {
    std::uint16_t* row = &pixels_[Offset(0, y)];
    for (int x = x1; x < x2; ++x) StoreIndex(&row[x], value);
  }
}

void TIndexImage::SaveSegment(int x, int y, int n) {
  line_.clear();
  if (y < 0 || y >= height_ || x < 0 || x >= width_) return;
  n = std::min(std::max(n, 0), width_ - x);
  line_.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    line_[static_cast<std::size_t>(i)] = LoadIndex(&pixels_[Offset(x + i, y)]);
}

void TIndexImage::ReverseSegment() { std::reverse(line_.begin(), line_.end()); }

void TIndexImage::RestoreSegment(int x, int y) {
  if (y < 0 || y >= height_ || x < 0 || x >= width_) return;
  const int n = std::min(static_cast<int>(line_.size()), width_ - x);
  for (int i = 0; i < n; ++i)
    StoreIndex(&pixels_[Offset(x + i, y)], line_[static_cast<std::size_t>(i)]);
}

void TIndexImage::Crop(int x, int y, int width, int height) {
  const bool inside =
      x >= 0 && y >= 0 && width >= 0 && height >= 0 && x + width <= width_ && y + height <= height_;
  if (!inside) {
    SetSize(width, height);
    return;
  }
  std::vector<std::uint16_t> kept(static_cast<std::size_t>(width) *
                                  static_cast<std::size_t>(height));
  for (int row = 0; row < height; ++row)
    std::copy(&pixels_[Offset(x, y + row)], &pixels_[Offset(x, y + row)] + width,
              &kept[static_cast<std::size_t>(row) * static_cast<std::size_t>(width)]);
  pixels_ = std::move(kept);
  width_ = width;
  height_ = height;
  line_.clear();
  Resized();
}

void TIndexImage::Resized() {
  if (OnResize) OnResize(*this);
}

}  // namespace zt
