// Tests of the symmetry geometry: where the axes fall, which half is calculated,
// and that mirroring fills every other pixel from calculated ones only.
#include "render/layer_symmetry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace zt {
namespace {

TEST(LayerSymmetryTest, AxesRoundHalvesToEven) {
  struct Case {
    long double Re, Im;
    int A, B;
  };
  // A 10 x 8 image, one unit per pixel: the center pixel is (5, 4).
  const Case cases[] = {{0, 0, 5, 4},        {2, 1, 3, 5},        {-1.5L, 2.5L, 7, 6},
                        {0.5L, -0.5L, 5, 4}, {-2.5L, 3.5L, 7, 8}, {0.25L, 0.75L, 5, 5}};
  for (const Case& c : cases) {
    TSymmetryAxes axes = FindSymmetryAxes(10, 8, 1, c.Re, c.Im);
    EXPECT_EQ(axes.A, c.A) << c.Re;
    EXPECT_EQ(axes.B, c.B) << c.Im;
    EXPECT_EQ(axes.Column, 5 - c.Re);
    EXPECT_EQ(axes.Row, 4 + c.Im);
  }
  TSymmetryAxes scaled = FindSymmetryAxes(10, 8, 0.25L, 0.5L, -0.5L);
  EXPECT_EQ(scaled.A, 3);
  EXPECT_EQ(scaled.B, 2);
}

TEST(LayerSymmetryTest, HalvesTakeTheLargerSideWithTheAxis) {
  const TRect s{0, 0, 10, 8};
  struct Case {
    long double Row;  // im of the center, one unit per pixel: axis row 4 + row
    THalfSide Side;
    TRect Calc;
  };
  const Case cases[] = {
      {0, THalfSide::kFirst, {0, 0, 10, 5}},     // row 4 of 0..7: rows 0..4, then 5..7 mirrored
      {-1, THalfSide::kSecond, {0, 3, 10, 8}},   // row 3: rows 3..7, then 0..2 mirrored
      {-4, THalfSide::kAll, {0, 0, 10, 8}},      // on the top row: not inside
      {2.9L, THalfSide::kFirst, {0, 0, 10, 8}},  // row 6.9 < 7: inside, rows 0..7 (7 reflects 7)
      {3, THalfSide::kAll, {0, 0, 10, 8}},       // on the last row: not inside
  };
  for (const Case& c : cases) {
    THalf half = RealAxisHalf(FindSymmetryAxes(10, 8, 1, 0, c.Row), s);
    EXPECT_EQ(half.Side, c.Side) << c.Row;
    EXPECT_EQ(half.Calc, c.Calc) << c.Row;
  }
  THalf columns = ImagAxisHalf(FindSymmetryAxes(10, 8, 1, -2, 0), s);  // axis column 7
  EXPECT_EQ(columns.Side, THalfSide::kFirst);
  EXPECT_EQ(columns.Calc, (TRect{0, 0, 8, 8}));
}

// A value per pixel that equals the value of the pixel's reflection; background
// pixels never match it.
using TSymmetric = std::function<std::uint16_t(int x, int y)>;

// Writes `value` into `rect` only, as a calculation would.
void Calculate(TIndexImage& image, const TRect& rect, const TSymmetric& value) {
  for (int y = rect.Top; y < rect.Bottom; ++y)
    for (int x = rect.Left; x < rect.Right; ++x) image.SetPixel(x, y, value(x, y));
}

// The pixels beside a rectangle: those of other pieces, different in every row.
std::uint16_t Beside(int x, int y) { return static_cast<std::uint16_t>(40000 + y * 16 + x); }

// An image wider than `rect` whose pixels beside it are set.
void PrepareImage(TIndexImage& image, const TRect& rect, int width, int height) {
  image.SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (x < rect.Left || x >= rect.Right) image.SetPixel(x, y, Beside(x, y));
}

// Counts pixels that differ from `value` inside `rect` or changed beside it.
int Mismatches(const TIndexImage& image, const TRect& rect, const TSymmetric& value) {
  int count = 0;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x)
      count +=
          image.GetPixel(x, y) != (x < rect.Left || x >= rect.Right ? Beside(x, y) : value(x, y));
  return count;
}

// The rectangles start at this column of an image wider by twice as much, as
// the pieces of a layer do.
constexpr int kLeft = 2;

// Every center on a half-pixel grid over a few image sizes: the calculated part
// plus the mirrored part is exactly the whole image, mirrored from calculated pixels.
template <class TCheck>
void ForEachLayout(TCheck check) {
  struct Size {
    int W, H;
  };
  const Size sizes[] = {{8, 6}, {9, 7}, {5, 11}, {2, 2}, {1, 3}};
  for (auto [w, h] : sizes)
    for (int re2 = -2 * w; re2 <= 2 * w; ++re2)
      for (int im2 = -2 * h; im2 <= 2 * h; ++im2) {
        TSymmetryAxes axes = FindSymmetryAxes(w, h, 1, re2 / 2.0L, im2 / 2.0L);
        axes.A += kLeft;
        axes.Column += kLeft;
        check(w, h, axes);
      }
}

// Rows mirror about the real axis, columns (reversed) about the imaginary one.
TEST(LayerSymmetryTest, MirrorRowsAndColumnsFillTheOtherSide) {
  for (bool rows : {true, false}) {
    ForEachLayout([rows](int w, int h, const TSymmetryAxes& axes) {
      TRect s{kLeft, 0, w + kLeft, h};
      TIndexImage image;
      PrepareImage(image, s, w + 2 * kLeft, h);
      TSymmetric value = [&](int x, int y) {
        return static_cast<std::uint16_t>(rows ? x * 100 + std::abs(y - axes.B)
                                               : y * 100 + std::abs(x - axes.A));
      };
      THalf half = rows ? RealAxisHalf(axes, s) : ImagAxisHalf(axes, s);
      Calculate(image, half.Calc, value);
      TRect written = rows ? MirrorRows(image, axes, s, half) : MirrorColumns(image, axes, s, half);
      EXPECT_EQ(written.Area() + half.Calc.Area(), s.Area());
      EXPECT_EQ(Mismatches(image, s, value), 0)
          << w << "x" << h << (rows ? " row " : " column ") << (rows ? axes.Row : axes.Column);
    });
  }
}

TEST(LayerSymmetryTest, MirrorOriginCalculatesOnlyTheStripWithoutReflection) {
  ForEachLayout([](int w, int h, const TSymmetryAxes& axes) {
    TRect r{kLeft, 0, w + kLeft, h};
    if (!axes.RealAxisInside(r) || !axes.ImagAxisInside(r)) return;
    TIndexImage image;
    PrepareImage(image, r, w + 2 * kLeft, h);
    TSymmetric value = [&](int x, int y) {
      int dx = x - axes.A, dy = y - axes.B;
      if (dy < 0 || (dy == 0 && dx < 0)) dx = -dx, dy = -dy;
      return static_cast<std::uint16_t>((dx + 50) * 100 + dy);
    };
    THalf rows = RealAxisHalf(axes, r);
    TRect strip = OriginStrip(axes, r, rows);
    Calculate(image, rows.Calc, value);
    Calculate(image, strip, value);
    MirrorOrigin(image, axes, r, rows, strip);
    EXPECT_EQ(Mismatches(image, r, value), 0) << w << "x" << h << " at " << axes.A << "," << axes.B;
    // The strip holds no pixel whose reflection lies in the calculated rows, except
    // the one column the clamp keeps.
    if (strip.Width() > 1 && strip.Height() > 0) {
      for (int x = strip.Left; x < strip.Right; ++x)
        EXPECT_TRUE(2 * axes.A - x < r.Left || 2 * axes.A - x >= r.Right)
            << w << "x" << h << " column " << x;
    }
  });
}

}  // namespace
}  // namespace zt
