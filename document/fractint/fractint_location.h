// Where a Fractint image lies: its keys corners and center-mag turned into the
// center, magnification and rotation of a layer's mapping, plus the skew and
// horizontal magnification that Fractint's views have and the mapping has not.
#pragma once

#include <complex>
#include <vector>

namespace zt {

// A view as the keys give it. The magnification is the mapping's (a 4 by 3 box
// 3 / magnification high), the rotation in radians, the skew in degrees.
struct TFractintView {
  std::complex<long double> Center{0, 0};
  long double Magnification = 1;
  long double Rotation = 0;
  long double Skew = 0;
  long double XMagnification = 1;
};

// The key corners: four numbers (xmin, xmax, ymin, ymax) or six (with the third
// corner x3, y3 of a rotated or skewed view). False, with `view` unchanged, for
// another count or corners that enclose no area. Any thread.
bool ReadCorners(const std::vector<long double>& numbers, TFractintView& view);

// The key center-mag: center, magnification, then x magnification, rotation
// and skew as far as they are given. A negative magnification turns the view
// by half a turn; a magnification of 0 leaves the magnification as it was, an
// x magnification of 0 counts as 1. Any thread.
void ReadCenterMag(const std::vector<long double>& numbers, TFractintView& view);

}  // namespace zt
