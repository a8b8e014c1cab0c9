// Tests of the conversion of Fractint's corners and center-mag keys into a view.
#include "document/fractint/fractint_location.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace zt {
namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kDegree = kPi / 180;

void ExpectView(const TFractintView& view, std::complex<long double> center, long double magn,
                long double rotation, long double skew, long double xmag) {
  EXPECT_NEAR(static_cast<double>(view.Center.real()), static_cast<double>(center.real()), 1e-12);
  EXPECT_NEAR(static_cast<double>(view.Center.imag()), static_cast<double>(center.imag()), 1e-12);
  EXPECT_NEAR(static_cast<double>(view.Magnification), static_cast<double>(magn), 1e-9);
  EXPECT_NEAR(std::remainder(static_cast<double>(view.Rotation - rotation), 2 * std::numbers::pi),
              0, 1e-9);
  EXPECT_NEAR(static_cast<double>(view.Skew), static_cast<double>(skew), 1e-9);
  EXPECT_NEAR(static_cast<double>(view.XMagnification), static_cast<double>(xmag), 1e-9);
}

TEST(FractintLocation, FourCornersGiveCenterAndMagnification) {
  TFractintView view;
  ASSERT_TRUE(ReadCorners({-2.5L, 1.5L, -1.5L, 1.5L}, view));
  ExpectView(view, {-0.5L, 0}, 1, 0, 0, 1);
  // Twice as wide as a 4 by 3 window: x magnification 1/2.
  ASSERT_TRUE(ReadCorners({-4, 4, -1.5L, 1.5L}, view));
  ExpectView(view, {0, 0}, 1, 0, 0, 0.5L);
  // Upside down: a half turn, mirrored horizontally.
  ASSERT_TRUE(ReadCorners({-2, 2, 1.5L, -1.5L}, view));
  ExpectView(view, {0, 0}, 1, kPi, 0, -1);
  for (const std::vector<long double>& bad : std::vector<std::vector<long double>>{
           {1, 1, -1, 1}, {0, 1, 2, 2}, {0, 1, 2}, {0, 1, 2, 3, 4}}) {
    TFractintView kept;
    kept.Magnification = 7;
    EXPECT_FALSE(ReadCorners(bad, kept));
    EXPECT_EQ(kept.Magnification, 7);
  }
}

// Six corners of parallelograms built from a known view come back as that view.
TEST(FractintLocation, SixCornersGiveRotationAndSkew) {
  const struct {
    std::complex<long double> Center;
    long double Height, Width, RotationDegrees, Skew;
  } cases[] = {
      {{-0.5L, 0}, 3, 4, 0, 0},
      {{0.25L, -0.1L}, 0.002L, 0.003L, 30, 0},
      {{1, 1}, 2, 2, 0, 20},
      {{-1, 0.5L}, 0.5L, 1, -120, -35},
  };
  for (const auto& c : cases) {
    const long double rotation = c.RotationDegrees * kDegree;
    const long double corner = (90 - c.Skew) * kDegree;  // between the bottom and the left edge
    const std::complex<long double> bottom = std::polar(c.Width, rotation);
    const std::complex<long double> left =
        std::polar(c.Height / std::sin(corner), rotation + corner);
    const std::complex<long double> lower_left = c.Center - bottom / 2.0L - left / 2.0L;
    const std::complex<long double> lower_right = lower_left + bottom,
                                    upper_left = lower_left + left;
    TFractintView view;
    ASSERT_TRUE(ReadCorners({upper_left.real(), lower_right.real(), lower_right.imag(),
                             upper_left.imag(), lower_left.real(), lower_left.imag()},
                            view));
    ExpectView(view, c.Center, 3 / c.Height, rotation, c.Skew, c.Height / (c.Width * 0.75L));
  }
}

TEST(FractintLocation, CenterMagGivesWhatItHolds) {
  const struct {
    std::vector<long double> Numbers;
    std::complex<long double> Center;
    long double Magnification, RotationDegrees, Skew, XMagnification;
  } cases[] = {
      {{0, 0, 1}, {0, 0}, 1.5L, 0, 0, 1},
      {{1, 2, 4, 1.2L}, {1, 2}, 6, 0, 0, 1.2L},
      {{0, 0, 1, 1, 30, 10}, {0, 0}, 1.5L, 330, 10, 1},
      {{0, 0, 1, 1, 30}, {0, 0}, 1.5L, 330, 0, 1},
      // A negative magnification turns the view; 0 keeps it; x magnification 0 counts as 1.
      {{0, 0, -2}, {0, 0}, 3, 180, 0, 1},
      {{3, 4, 0, 0}, {3, 4}, 5, 0, 0, 1},
      {{3, 4}, {0, 0}, 5, 0, 0, 1},
  };
  for (const auto& c : cases) {
    TFractintView view;
    view.Magnification = 5;
    ReadCenterMag(c.Numbers, view);
    ExpectView(view, c.Center, c.Magnification, c.RotationDegrees * kDegree, c.Skew,
               c.XMagnification);
  }
}

}  // namespace
}  // namespace zt
