// The preview transform against a plain floating-point evaluation of the source
// position of every pixel, and the transform values themselves.
#include "render/preview.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "render/index_image.h"

namespace zt {
namespace {

constexpr double kPi = std::numbers::pi;

// Every pixel holds its own position, so a resampled row tells where each of its
// pixels came from.
std::vector<std::uint16_t> NumberedImage(int width, int height) {
  std::vector<std::uint16_t> pixels(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint16_t>(i);
  return pixels;
}

// The floor of the exact source position, straight from the definition.
std::uint16_t ReferenceIndex(const TPreview& p, int x, int y) {
  const long double hw = p.Width >> 1, hh = p.Height >> 1;
  const long double big_x = x - hw - p.OX, big_y = y - hh - p.OY;
  const long double sx = std::floor(hw + big_x * p.C + big_y * p.S);
  const long double sy = std::floor(hh + big_y * p.C - big_x * p.S);
  if (sx < 0 || sx >= p.Width || sy < 0 || sy >= p.Height) return kBackgroundIndex;
  return static_cast<std::uint16_t>(static_cast<int>(sy) * p.Width + static_cast<int>(sx));
}

struct TransformCase {
  int Width, Height, ShiftX, ShiftY;
  double Zoom, Angle;
};

class PreviewRowTest : public ::testing::TestWithParam<TransformCase> {};

TEST_P(PreviewRowTest, PicksTheFloorOfTheExactSourcePosition) {
  const TransformCase& t = GetParam();
  const TPreview preview = TPreview::Make(t.Width, t.Height, t.ShiftX, t.ShiftY, t.Zoom, t.Angle);
  const std::vector<std::uint16_t> pixels = NumberedImage(t.Width, t.Height);
  std::vector<std::uint16_t> row(t.Width);
  for (int y = 0; y < t.Height; ++y) {
    PreviewIndexRow(preview, pixels.data(), y, row.data());
    for (int x = 0; x < t.Width; ++x) {
      ASSERT_EQ(row[x], ReferenceIndex(preview, x, y)) << "x " << x << " y " << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Transforms, PreviewRowTest,
    ::testing::Values(
        TransformCase{40, 30, 0, 0, 1.0, 0.0}, TransformCase{40, 30, 10, -5, 1.0, 0.0},
        TransformCase{40, 30, -45, 0, 1.0, 0.0} /* all outside */,
        TransformCase{40, 30, 0, 0, 2.0, 0.0}, TransformCase{41, 31, 3, 7, 0.37, 0.0},
        TransformCase{40, 30, 0, 0, 1.0, kPi / 6}, TransformCase{40, 30, 5, 2, 1.5, -kPi / 2},
        TransformCase{33, 47, -4, 9, 0.8, 2.5}, TransformCase{64, 48, 0, 0, 3.0, kPi},
        TransformCase{50, 20, 1, 1, 0.001, 0.3}, TransformCase{50, 20, 0, 0, 1000.0, 1.0},
        TransformCase{1, 1, 0, 0, 1.0, 0.7}));

TEST(PreviewTest, MakeDerivesStepsAndRotatedShift) {
  struct Case {
    int ShiftX, ShiftY;
    double Zoom, Angle;
    float S, C;
    int Ox, Oy;
    bool Transformed;
  };
  const Case cases[] = {
      {0, 0, 1.0, 0.0, 0.0f, 1.0f, 0, 0, false},
      {10, -5, 1.0, 0.0, 0.0f, 1.0f, 10, -5, false},
      {10, 0, 2.0, kPi / 2, 0.5f, 0.0f, 0, 10, true},  // cos(pi/2) / 2 is tiny: 0
      {3, 4, 1.0, kPi, 0.0f, -1.0f, -3, -4, true},     // sin(pi) is tiny: 0
      {0, 0, 20000.0, 0.0, 0.0f, 0.0f, 0, 0, true},    // 1 / 20000 is below 0.0001
      {0, 0, -2.0, 0.0, 0.0f, -0.5f, 0, 0, true},
      {0, 0, std::nan(""), 0.0, 0.0f, 1.0f, 0, 0, false},
  };
  for (const Case& t : cases) {
    const TPreview p = TPreview::Make(8, 8, t.ShiftX, t.ShiftY, t.Zoom, t.Angle);
    SCOPED_TRACE(t.Zoom);
    EXPECT_EQ(p.S, t.S);
    EXPECT_EQ(p.C, t.C);
    EXPECT_EQ(p.OX, t.Ox);
    EXPECT_EQ(p.OY, t.Oy);
    EXPECT_EQ(p.Transformed, t.Transformed);
    EXPECT_FALSE(p.Animating);
  }
}

TEST(PreviewTest, ZeroZoomKeepsOnlyTheCenterPixel) {
  const TPreview preview = TPreview::Make(9, 7, 0, 0, 0.0, 0.0);
  const std::vector<std::uint16_t> pixels = NumberedImage(9, 7);
  std::vector<std::uint16_t> row(9);
  for (int y = 0; y < 7; ++y) {
    PreviewIndexRow(preview, pixels.data(), y, row.data());
    for (int x = 0; x < 9; ++x)
      EXPECT_EQ(row[x], x == 4 && y == 3 ? 3 * 9 + 4 : kBackgroundIndex) << x << "," << y;
  }
}

}  // namespace
}  // namespace zt
