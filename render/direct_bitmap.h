// The document's display image: an in-memory 32-bit bitmap that the update
// manager writes row by row and that tells its listener (the window) which part
// to show again.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/rect.h"

namespace zt {

// Rows of 0x00RRGGBB values (blue in the low byte), row 0 at the top.
//
// Threads: the update manager's thread writes rows and paints while it draws;
// the user-interface thread resizes only while the manager is stopped. OnPaint
// runs on the thread that painted (usually the manager's); it must not wait for
// the main thread, which may itself be waiting for the manager to finish a
// layer. A listener that needs the main thread posts its work without waiting.
class TDirectBitmap {
 public:
  TDirectBitmap(int width = 0, int height = 0);
  TDirectBitmap(const TDirectBitmap&) = delete;
  TDirectBitmap& operator=(const TDirectBitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Keep the pixels that stay inside; the new area is black. Negative sizes count as 0.
  void SetWidth(int width);
  void SetHeight(int height);

  // Stores `count` colors (blue, green, red, opacity bytes) from (x, y); the
  // opacity byte becomes 0. The part outside the bitmap is dropped.
  void WriteRow(int x, int y, const std::uint32_t* colors, int count);
  // Row `toY` := row `fromY`; nothing when either lies outside.
  void CopyRow(int from_y, int to_y);

  // Tells the listener to show `rect` (clipped to the bitmap) again.
  void Paint(const TRect& rect);
  void PaintAll();

  // 0 outside the bitmap.
  std::uint32_t Pixel(int x, int y) const;
  // No range check.
  const std::uint32_t* Row(int y) const { return pixels_.data() + Offset(0, y); }

  std::function<void(TDirectBitmap&, const TRect&)> OnPaint;

 private:
  std::size_t Offset(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  void Resize(int width, int height);

  std::vector<std::uint32_t> pixels_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace zt
