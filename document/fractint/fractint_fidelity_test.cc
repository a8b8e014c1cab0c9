// Fidelity of imported Fractint entries: the inside/outside mask of the render
// equals an escape-time calculation done here in long double arithmetic on the
// same pixel grid, taken straight from the entry's keys, apart from a few pixels
// on the boundary of the set.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <numbers>

#include "document/fractal.h"
#include "document/fractal_test_util.h"
#include "document/params/par_reader.h"
#include "document/settings/config_manager.h"
#include "render/index_image.h"

namespace zt {
namespace {

using TPoint = std::complex<long double>;

constexpr int kWidth = 96;
constexpr int kHeight = 72;

// Whether the orbit of `point` stays bounded for `iterations` steps.
using TOrbit = std::function<bool(TPoint point, int iterations)>;

// z -> step(z, c) from `start(c)`, escaping once |z|^2 reaches `bailout`.
TOrbit EscapeTime(std::function<TPoint(TPoint)> start, std::function<TPoint(TPoint, TPoint)> step,
                  long double bailout = 4) {
  return [=](TPoint c, int iterations) {
    TPoint z = start(c);
    for (int i = 0; i < iterations; ++i) {
      z = step(z, c);
      if (std::norm(z) >= bailout) return false;
    }
    return true;
  };
}

// The point of pixel (x, y) for Fractint's center-mag: the view is 2 / mag high
// around the center and turned by `degrees` (Fractint counts them clockwise).
TPoint CenterMagPoint(int x, int y, TPoint center, long double mag, long double degrees = 0) {
  const long double step = 2 / (mag * kHeight);
  const TPoint offset((x - kWidth / 2) * step, (kHeight / 2 - y) * step);
  return center + offset * std::polar(1.0L, -degrees * std::numbers::pi_v<long double> / 180);
}

// The point of pixel (x, y) for Fractint's four corners: the left column and the
// top row lie on the corners, each pixel one width or height of the grid further.
TPoint CornersPoint(int x, int y, long double xmin, long double xmax, long double ymin,
                    long double ymax) {
  return {xmin + x * (xmax - xmin) / kWidth, ymax - y * (ymax - ymin) / kHeight};
}

class FractintFidelity : public testing::FractalTest {
 protected:
  void SetUp() override {
    FractalTest::SetUp();
    TConfigManager& config = ConfigManager();
    const std::string data = (testing::SourceDir() / "data").string() + "/";
    config.FormulaDirectory = config.ColoringDirectory = config.TransformationDirectory = data;
    config.DefaultImageWidth = kWidth;
    config.DefaultImageHeight = kHeight;
    config.ImportFixedAspectRatio = true;
  }

  testing::TKeepValue<std::string> formulas_{ConfigManager().FormulaDirectory};
  testing::TKeepValue<std::string> colorings_{ConfigManager().ColoringDirectory};
  testing::TKeepValue<std::string> transformations_{ConfigManager().TransformationDirectory};
  testing::TKeepValue<int> width_{ConfigManager().DefaultImageWidth};
  testing::TKeepValue<int> height_{ConfigManager().DefaultImageHeight};
  testing::TKeepValue<bool> aspect_{ConfigManager().ImportFixedAspectRatio};
};

TEST_F(FractintFidelity, InsideMasksMatchALongDoubleCalculation) {
  const auto mandel =
      EscapeTime([](TPoint) { return TPoint(0, 0); }, [](TPoint z, TPoint c) { return z * z + c; });
  const auto julia = [](TPoint seed) {
    return EscapeTime([](TPoint c) { return c; }, [=](TPoint z, TPoint) { return z * z + seed; });
  };
  const TPoint lambda(2.5L, 0.5L);
  // z^2 + c, where c moves halfway to the new z after every iteration.
  const TOrbit spider = [](TPoint pixel, int iterations) {
    TPoint z = pixel, c = pixel;
    for (int i = 0; i < iterations; ++i) {
      z = z * z + c;
      c = c / 2.0L + z;
      if (std::norm(z) >= 4) return false;
    }
    return true;
  };
  const struct {
    const char* Keys;
    std::function<TPoint(int, int)> Point;
    TOrbit Orbit;
    int Iterations;  // one less than Fractint's maxiter
  } cases[] = {
      {"type=mandel corners=-2.25/0.75/-1.125/1.125 maxiter=100",
       [](int x, int y) { return CornersPoint(x, y, -2.25L, 0.75L, -1.125L, 1.125L); }, mandel, 99},
      // Wider than 4 by 3: stretched horizontally.
      {"type=mandel corners=-2/1/-1/1 maxiter=60",
       [](int x, int y) { return CornersPoint(x, y, -2, 1, -1, 1); }, mandel, 59},
      {"type=julia params=-0.123/0.745 center-mag=0/0/0.7 maxiter=250",
       [](int x, int y) {
         return CenterMagPoint(x, y, {0, 0}, 0.7L);
       },
       julia({-0.123L, 0.745L}), 249},
      // Turned by 30 degrees.
      {"type=julia params=-0.2/0.3 center-mag=0.1/0.05/1.2/1/30 maxiter=200",
       [](int x, int y) {
         return CenterMagPoint(x, y, {0.1L, 0.05L}, 1.2L, 30);
       },
       julia({-0.2L, 0.3L}), 199},
      {"type=lambda params=2.5/0.5 center-mag=0.5/0/1 maxiter=150",
       [](int x, int y) {
         return CenterMagPoint(x, y, {0.5L, 0}, 1);
       },
       EscapeTime([](TPoint c) { return c; },
                  [=](TPoint z, TPoint) { return lambda * z * (TPoint(1) - z); }),
       149},
      {"type=manzpower params=0/0/3/0 center-mag=0/0/0.8 maxiter=120",
       [](int x, int y) {
         return CenterMagPoint(x, y, {0, 0}, 0.8L);
       },
       EscapeTime([](TPoint) { return TPoint(0, 0); },
                  [](TPoint z, TPoint c) { return z * z * z + c; }),
       119},
      {"type=spider center-mag=-0.3/0/0.9 maxiter=150",
       [](int x, int y) {
         return CenterMagPoint(x, y, {-0.3L, 0}, 0.9L);
       },
       spider, 149},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Keys);
    TFractal fractal("Fidelity");
    TParReader r;
    r.LoadFromText(std::string("t {\n  passes=1 ") + c.Keys + "\n}\n");
    fractal.LoadFromParameters(r, false);
    ASSERT_TRUE(r.Skipped().empty());
    Finish(fractal);
    const TIndexImage& image = fractal.Layers()[0].Image();
    ASSERT_EQ(image.Width(), kWidth);
    int inside = 0, differing = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const bool expected = c.Orbit(c.Point(x, y), c.Iterations);
        inside += expected;
        differing += expected != (image.GetPixel(x, y) == kInsideSolid);
      }
    }
    EXPECT_GT(inside, kWidth * kHeight / 20);
    EXPECT_LT(inside, kWidth * kHeight * 19 / 20);
    EXPECT_LE(differing, kWidth * kHeight / 200);
  }
}

}  // namespace
}  // namespace zt
