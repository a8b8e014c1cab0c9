// The navigation preview: the transform that shows the selected layers' current
// images shifted, rotated and zoomed before they are recalculated, and the
// resampling of an index image row through it.
#pragma once

#include <cstdint>

namespace zt {

// One consistent transform, rebuilt from the four preview values whenever one
// changes and copied whole by every redraw. A plain value; any thread may use its
// own copies.
//
// Display pixel (x, y) shows the source pixel (floor(sx), floor(sy)) with
//   X = x - hw - OX, Y = y - hh - OY,
//   sx = hw + X * C + Y * S, sy = hh + Y * C - X * S,
// hw = Width shr 1 and hh = Height shr 1, or the background index where that
// lies outside the image.
struct TPreview {
  int Width = 0;
  int Height = 0;
  // sin(angle) / zoom and cos(angle) / zoom, each 0 below 0.0001 in magnitude.
  float S = 0.0f;
  float C = 1.0f;
  // The shift rotated by the angle, to the nearest integers.
  int OX = 0;
  int OY = 0;
  // The angle or the zoom differs from none (0 and 1).
  bool Transformed = false;
  // An animated navigation is being drawn.
  bool Animating = false;

  // `zoom` is a factor: 2 enlarges. A zoom of 0 leaves at most the center pixel
  // inside, a negative one also turns the picture by pi, and NaN counts as 1.
  static TPreview Make(int width, int height, int shift_x, int shift_y, double zoom, double angle);

  // The picture differs from the images as they are.
  bool Moves() const { return OX != 0 || OY != 0 || Transformed; }
};

// Display row `y` of an index image of the preview's size (`pixels`, row-major)
// seen through the preview: Width indices, the background index where the source
// lies outside. `y` must lie inside.
void PreviewIndexRow(const TPreview& preview, const std::uint16_t* pixels, int y,
                     std::uint16_t* out);

}  // namespace zt
