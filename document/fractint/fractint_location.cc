// The conversions of Fractint's corners and center-mag keys.
#include "document/fractint/fractint_location.h"

#include <cmath>
#include <numbers>

namespace zt {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kDegree = kPi / 180;

long double Distance(long double x1, long double y1, long double x2, long double y2) {
  return std::hypot(x2 - x1, y2 - y1);
}

// A negative magnification shows the view turned by half a turn.
void Normalize(TFractintView& view) {
  if (view.Magnification < 0) {
    view.Magnification = -view.Magnification;
    view.Rotation += kPi;
  }
}

}  // namespace

bool ReadCorners(const std::vector<long double>& numbers, TFractintView& view) {
  if (numbers.size() != 4 && numbers.size() != 6) return false;
  const long double xmin = numbers[0], xmax = numbers[1], ymin = numbers[2], ymax = numbers[3];
  TFractintView read = view;
  if (numbers.size() == 6) {
    // (x3, y3) is the lower left corner, (xmax, ymin) the lower right and
    // (xmin, ymax) the upper left one.
    const long double x3 = numbers[4], y3 = numbers[5];
    const long double width = Distance(x3, y3, xmax, ymin);
    const long double height = Distance(x3, y3, xmin, ymax);
    const long double diagonal = Distance(xmin, ymin, xmax, ymax);
    const long double angle =
        std::acos((width * width + height * height - diagonal * diagonal) / (2 * width * height));
    const long double h = std::sin(angle) * height;
    if (!std::isfinite(h) || h == 0) return false;
    read.Rotation = std::atan2(ymin - y3, xmax - x3);
    read.Skew = 90 - angle / kDegree;
    read.Magnification = 3 / h;
    read.XMagnification = h / (width * 0.75L);
    if ((xmax - x3) * (ymax - y3) - (xmin - x3) * (ymin - y3) < 0) {
      read.Skew = -read.Skew;
      read.XMagnification = -read.XMagnification;
      read.Magnification = -read.Magnification;
    }
  } else {
    const long double area = (xmax - xmin) * (ymax - ymin);
    if (!std::isfinite(area) || area == 0) return false;
    read.Magnification = 3 / (ymax - ymin);
    read.XMagnification = (ymax - ymin) / ((xmax - xmin) * 0.75L);
    read.Skew = 0;
    read.Rotation = 0;
  }
  read.Center = {(xmin + xmax) / 2, (ymin + ymax) / 2};
  Normalize(read);
  view = read;
  return true;
}

void ReadCenterMag(const std::vector<long double>& numbers, TFractintView& view) {
  if (numbers.size() < 3) return;
  view.Center = {numbers[0], numbers[1]};
  if (numbers.size() >= 4) {
    view.XMagnification = numbers[3] == 0 ? 1 : numbers[3];
    view.Skew = numbers.size() == 6 ? numbers[5] : 0;
  }
  if (numbers.size() >= 5) view.Rotation = (360 - numbers[4]) * kDegree;
  if (numbers[2] != 0) {
    view.Magnification = numbers[2] * 1.5L;
    Normalize(view);
  }
}

}  // namespace zt
