// Conversions between 12-bit colors, HSL values and color numbers. Rounding is to
// the nearest integer with halves to even, as std::nearbyint does in the default
// rounding mode.
#include "color/color_types.h"

#include <algorithm>
#include <cmath>

namespace zt {

namespace {

int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

uint16_t ToChannel12(double value) {
  return static_cast<uint16_t>(std::clamp(RoundEven(value * 4095.0), 0, 4095));
}

}  // namespace

TRGB12 ColorNumberToRGB12(uint32_t number) {
  return {Channel8To12(number & 0xFF), Channel8To12((number >> 8) & 0xFF),
          Channel8To12((number >> 16) & 0xFF)};
}

uint32_t RGB12ToColorNumber(const TRGB12& color) {
  return Channel12To8(color.Red) | (Channel12To8(color.Green) << 8) |
         (static_cast<uint32_t>(Channel12To8(color.Blue)) << 16);
}

THSL RGB12ToHSL(const TRGB12& color) {
  const double r = color.Red / 4095.0;
  const double g = color.Green / 4095.0;
  const double b = color.Blue / 4095.0;
  const double max = std::max({r, g, b});
  const double min = std::min({r, g, b});
  const double l = (max + min) * 0.5;
  THSL result;
  if (l <= 0) return result;
  result.Luminance = static_cast<uint8_t>(RoundEven(l * 255));
  const double delta = max - min;
  if (delta <= 0) return result;
  double hue;
  if (r == max) {
    hue = g == min ? 300 + 60 * (r - b) / delta : 60 - 60 * (r - g) / delta;
  } else if (g == max) {
    hue = b == min ? 60 + 60 * (g - r) / delta : 180 - 60 * (g - b) / delta;
  } else {
    hue = r == min ? 180 + 60 * (b - g) / delta : 300 - 60 * (b - r) / delta;
  }
  int h = RoundEven(hue);
  if (h >= 360) h = 0;
  result.Hue = static_cast<uint16_t>(h);
  const double s = l <= 0.5 ? delta / (max + min) : delta / (2 - max - min);
  result.Saturation = static_cast<uint8_t>(RoundEven(s * 255));
  return result;
}

TRGB12 HSLToRGB12(const THSL& hsl) {
  const double s = hsl.Saturation / 255.0;
  const double l = hsl.Luminance / 255.0;
  const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
  if (m2 <= 0) return {};
  const double m1 = 2 * l - m2;
  const double f = (m2 - m1) * (hsl.Hue % 60) / 60;
  double red, green, blue;
  switch (hsl.Hue / 60) {
    case 0:
      red = m2;
      green = m1 + f;
      blue = m1;
      break;
    case 1:
      red = m2 - f;
      green = m2;
      blue = m1;
      break;
    case 2:
      red = m1;
      green = m2;
      blue = m1 + f;
      break;
    case 3:
      red = m1;
      green = m2 - f;
      blue = m2;
      break;
    case 4:
      red = m1 + f;
      green = m1;
      blue = m2;
      break;
    default:
      red = m2;
      green = m1;
      blue = m2 - f;
      break;
  }
  return {ToChannel12(red), ToChannel12(green), ToChannel12(blue)};
}

}  // namespace zt
