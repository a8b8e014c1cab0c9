// Tests of the color conversions.
#include "color/color_types.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

// Known colors; their HSL also comes back unchanged through RGB.
TEST(ColorTypesTest, HSLOfKnownColors) {
  struct Case {
    TRGB12 Rgb;
    THSL Hsl;
  };
  const Case cases[] = {
      {{0, 0, 0}, {0, 0, 0}},
      {{4095, 4095, 4095}, {0, 0, 255}},
      {{4095, 0, 0}, {0, 255, 128}},
      {{0, 4095, 0}, {120, 255, 128}},
      {{0, 0, 4095}, {240, 255, 128}},
      {{4095, 4095, 0}, {60, 255, 128}},
      {{0, 4095, 4095}, {180, 255, 128}},
      {{4095, 0, 4095}, {300, 255, 128}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RGB12ToHSL(c.Rgb), c.Hsl) << c.Rgb.Red << " " << c.Rgb.Green << " " << c.Rgb.Blue;
    EXPECT_EQ(RGB12ToHSL(HSLToRGB12(c.Hsl)), c.Hsl) << c.Hsl.Hue;
  }
}

// Going through HSL loses precision (8-bit saturation and luminance, whole
// degrees), but never more than the HSL steps allow, and never wraps.
TEST(ColorTypesTest, HSLRoundTripStaysClose) {
  for (int r = 0; r < 4096; r += 455) {
    for (int g = 0; g < 4096; g += 273) {
      for (int b = 0; b < 4096; b += 585) {
        const TRGB12 rgb{uint16_t(r), uint16_t(g), uint16_t(b)};
        const TRGB12 back = HSLToRGB12(RGB12ToHSL(rgb));
        EXPECT_NEAR(back.Red, r, 64) << r << " " << g << " " << b;
        EXPECT_NEAR(back.Green, g, 64) << r << " " << g << " " << b;
        EXPECT_NEAR(back.Blue, b, 64) << r << " " << g << " " << b;
      }
    }
  }
}

TEST(ColorTypesTest, ChannelWidthsAndColorNumbers) {
  EXPECT_EQ(Channel8To12(255), 4095);
  EXPECT_EQ(Channel8To12(128), 2055);
  EXPECT_EQ(Channel12To8(4095), 255);
  EXPECT_EQ(ColorNumberToRGB12(0x0000FF), (TRGB12{4095, 0, 0}));
  EXPECT_EQ(ColorNumberToRGB12(0xFF0000), (TRGB12{0, 0, 4095}));
  EXPECT_EQ(RGB12ToColorNumber({4095, 2055, 0}), 0x0080FFu);
}

}  // namespace
}  // namespace zt
