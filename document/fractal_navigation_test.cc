// Tests of the document's navigation: the point under the cursor stays put when
// zooming, panning moves the picture with the pointer also on rotated layers,
// only selected layers move, and cropping in place keeps the calculated pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "document/fractal.h"
#include "document/fractal_test_util.h"
#include "document/settings/config_manager.h"

namespace zt {
namespace {

using FractalNavigationTest = testing::FractalTest;

// The complex point the mapping puts under the pixel position (x, y).
TComplex PointAt(const TMapping& m, long double x, long double y) {
  const long double u = x - m.ImageWidth() / 2;
  const long double v = m.ImageHeight() / 2 - y;
  return m.Center() +
         m.Scale() * TComplex(u * m.Cosine() - v * m.Sine(), v * m.Cosine() + u * m.Sine());
}

void ExpectNear(TComplex actual, TComplex expected) {
  EXPECT_NEAR(static_cast<double>(actual.real()), static_cast<double>(expected.real()), 1e-12);
  EXPECT_NEAR(static_cast<double>(actual.imag()), static_cast<double>(expected.imag()), 1e-12);
}

TEST_F(FractalNavigationTest, ZoomKeepsThePointUnderTheCursor) {
  struct Case {
    int X, Y;
    double Factor;
  } const cases[] = {{40, 30, 2}, {0, 0, 2}, {79, 10, 4}, {13, 50, 0.5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.X) + "," + std::to_string(c.Y) + " x" + std::to_string(c.Factor));
    auto fractal = NewFractal(80, 60, "");
    Finish(*fractal);  // a mapping must not change under running pieces
    TMapping& mapping = fractal->CurrentLayer().Mapping();
    mapping.SetCenter({-0.5L, 0.25L});
    const TComplex point = PointAt(mapping, c.X, c.Y);
    const long double magnification = mapping.Magnification();
    fractal->Zoom(c.X, c.Y, c.Factor, false, false);
    ExpectNear(PointAt(mapping, c.X, c.Y), point);
    EXPECT_NEAR(static_cast<double>(mapping.Magnification()),
                static_cast<double>(magnification) * c.Factor, 1e-12);
  }
}

TEST_F(FractalNavigationTest, PanMovesThePictureWithThePointer) {
  for (const long double angle : {0.0L, std::numbers::pi_v<long double> / 2, 1.0L}) {
    SCOPED_TRACE(static_cast<double>(angle));
    auto fractal = NewFractal(80, 60, "");
    Finish(*fractal);
    TMapping& mapping = fractal->CurrentLayer().Mapping();
    mapping.SetAngle(angle);
    const TComplex center = mapping.Center();
    const TComplex point = PointAt(mapping, 10, 10);
    fractal->Pan(7, -3, false);
    ExpectNear(PointAt(mapping, 17, 7), point);
    if (angle == 0) {
      const long double u = mapping.Scale();
      ExpectNear(mapping.Center(), center + TComplex(-u * 7, u * -3));
    }
  }
}

TEST_F(FractalNavigationTest, OnlySelectedLayersMove) {
  auto fractal = NewFractal(80, 60, "");
  fractal->AddLayer("Second");
  fractal->Layers()[1].SetSelected(false);
  const TComplex center = fractal->Layers()[1].Mapping().Center();
  fractal->Rotate(0.5, false);
  fractal->Pan(5, 5, false);
  EXPECT_NEAR(static_cast<double>(fractal->Layers()[0].Mapping().Angle()), 0.5, 1e-15);
  EXPECT_EQ(fractal->Layers()[1].Mapping().Angle(), 0);
  EXPECT_EQ(fractal->Layers()[1].Mapping().Center(), center);
  EXPECT_NE(fractal->Layers()[0].Mapping().Center(), center);
}

// Zooming to a rectangle, and zooming when the setting asks, centers the point.
TEST_F(FractalNavigationTest, ZoomToRectangleCentersAndFillsTheWidth) {
  auto fractal = NewFractal(80, 60, "");
  TMapping& mapping = fractal->CurrentLayer().Mapping();
  TComplex point = PointAt(mapping, 30, 25);
  fractal->ZoomToRectangle(20, 20, 20, 10, 0.25, false);
  ExpectNear(mapping.Center(), point);
  EXPECT_NEAR(static_cast<double>(mapping.Magnification()), 4.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(mapping.Angle()), 0.25, 1e-15);
  point = PointAt(mapping, 10, 20);
  ConfigManager().ZoomDestination = 1;
  fractal->Zoom(10, 20, 2, true, false);
  ConfigManager().ZoomDestination = 0;
  ExpectNear(mapping.Center(), point);
}

TEST_F(FractalNavigationTest, CropInPlaceKeepsTheCalculatedPixels) {
  // Wider than 4:3, so that the height sets the scale here and the width in the
  // tall crop.
  auto fractal = NewFractal(40, 24, "Mandel");
  Finish(*fractal);
  TLayer& layer = fractal->CurrentLayer();
  const TIndexImage& image = layer.Image();
  constexpr int kLeft = 5, kTop = 4, kWidth = 12, kHeight = 17;
  std::vector<std::uint16_t> kept;
  for (int y = kTop; y < kTop + kHeight; ++y)
    for (int x = kLeft; x < kLeft + kWidth; ++x) kept.push_back(image.GetPixel(x, y));
  const TComplex point = PointAt(layer.Mapping(), kLeft, kTop);
  const int steps = fractal->History().Count();
  // The bracket holds the recalculation back while the kept pixels are read.
  fractal->BeginUpdate();
  fractal->Crop(kLeft, kTop, kWidth, kHeight);
  EXPECT_EQ(Pixels(layer), kept);
  fractal->EndUpdate();
  EXPECT_EQ(fractal->Width(), kWidth);
  EXPECT_EQ(fractal->Height(), kHeight);
  EXPECT_EQ(fractal->Bitmap().Width(), kWidth);
  EXPECT_EQ(fractal->History().Count(), steps + 1);
  ExpectNear(PointAt(layer.Mapping(), 0, 0), point);
  Finish(*fractal);
  const std::vector<std::uint16_t> recalculated = Pixels(layer);
  ASSERT_EQ(recalculated.size(), kept.size());
  int differing = 0;
  for (std::size_t i = 0; i < kept.size(); ++i) differing += recalculated[i] != kept[i];
  EXPECT_LE(differing, 2);  // the same points, up to rounding at a boundary
}

TEST_F(FractalNavigationTest, CropBeyondTheImageResizesAndRecalculates) {
  auto fractal = NewFractal(40, 30, "Mandel");
  Finish(*fractal);
  fractal->Crop(30, 20, 20, 20);
  EXPECT_EQ(fractal->Width(), 20);
  EXPECT_EQ(fractal->Height(), 20);
  EXPECT_EQ(fractal->CurrentLayer().Image().Width(), 20);
  fractal->Crop(0, 0, 0, 5);  // no width: nothing happens
  EXPECT_EQ(fractal->Width(), 20);
  Finish(*fractal);
  const std::vector<std::uint16_t> pixels = Pixels(fractal->CurrentLayer());
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kBackgroundIndex), 0);
}

}  // namespace
}  // namespace zt
