// The index image: the per-pixel store of one layer. Each pixel is a 16-bit index
// into the layer's convert table.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace zt {

constexpr std::uint16_t kInsideSolid = 51200;
constexpr std::uint16_t kOutsideSolid = 51201;
constexpr std::uint16_t kBackgroundIndex = 51202;  // a pixel not calculated yet
constexpr std::uint16_t kMappingSolid = 51203;

// Calculation threads write indices while the update manager's thread reads them
// to draw (it may see a mix of old and new ones until the next redraw). Every
// such access goes through these relaxed atomic operations: plain 16-bit moves on
// this processor, but well-defined sharing.
inline std::uint16_t LoadIndex(const std::uint16_t* at) {
  return std::atomic_ref<std::uint16_t>(*const_cast<std::uint16_t*>(at))
      .load(std::memory_order_relaxed);
}
inline void StoreIndex(std::uint16_t* at, std::uint16_t value) {
  std::atomic_ref<std::uint16_t>(*at).store(value, std::memory_order_relaxed);
}

// Pixels row-major, row 0 at the top. Calculation threads write disjoint
// rectangles of one image concurrently without locks, and the update manager
// reads rows meanwhile (LoadIndex); resizing, cropping and the segment
// operations (one line buffer) belong to the owning layer's thread and must not
// run while calculations do.
class TIndexImage {
 public:
  TIndexImage() = default;
  TIndexImage(const TIndexImage&) = delete;
  TIndexImage& operator=(const TIndexImage&) = delete;

  // Reallocates, sets every pixel to the background and sends OnResize. Negative
  // sizes count as 0.
  void SetSize(int width, int height);
  // Call SetSize only for a value of at least 1 that differs from the current one.
  void SetWidth(int width);
  void SetHeight(int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  int HalfWidth() const { return width_ / 2; }
  int HalfHeight() const { return height_ / 2; }

  void Clear();
  // No range checks.
  std::uint16_t GetPixel(int x, int y) const { return LoadIndex(&pixels_[Offset(x, y)]); }
  void SetPixel(int x, int y, std::uint16_t value) { StoreIndex(&pixels_[Offset(x, y)], value); }
  // Readers that may run beside a calculation read through LoadIndex.
  const std::uint16_t* Row(int y) const { return pixels_.data() + Offset(0, y); }
  // Pixels with x1 <= x < x2 and y1 <= y < y2, clipped to the image.
  void FillRect(int x1, int y1, int x2, int y2, std::uint16_t value);

  // The line buffer: SaveSegment copies n pixels of row y from column x (the part
  // inside the row), ReverseSegment reverses it, RestoreSegment writes it back to
  // row y from column x (the part that fits).
  void SaveSegment(int x, int y, int n);
  void ReverseSegment();
  void RestoreSegment(int x, int y);

  // Keeps only the given rectangle when it lies inside the image (and sends
  // OnResize); otherwise SetSize(width, height).
  void Crop(int x, int y, int width, int height);

  // Exchanges the pixels with `pixels`, which must hold Width() * Height() values
  // (EZentrope "Cannot exchange pixels of a different size" otherwise). Lets a
  // resampled image replace the old one without copying.
  void ExchangePixels(std::vector<std::uint16_t>& pixels);

  std::function<void(TIndexImage&)> OnResize;

 private:
  std::size_t Offset(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  void Resized();

  std::vector<std::uint16_t> pixels_;
  std::vector<std::uint16_t> line_;  // the saved segment
  int width_ = 0;
  int height_ = 0;
};

}  // namespace zt
