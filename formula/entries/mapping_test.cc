// The location: scale and corners, magnification and angle rules, its part of
// the calculation block, and pixels mapped through compiled transformations.
#include "formula/entries/mapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <string>

#include "formula/testing/compile_test_util.h"
#include "platform/error.h"
#include "platform/number_format.h"

namespace zt::testing {
namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

void ExpectNear(TComplex actual, TComplex expected, long double tolerance = 1e-15L) {
  EXPECT_NEAR(static_cast<double>(actual.real()), static_cast<double>(expected.real()),
              static_cast<double>(tolerance));
  EXPECT_NEAR(static_cast<double>(actual.imag()), static_cast<double>(expected.imag()),
              static_cast<double>(tolerance));
}

void SetSize(TMapping& mapping, int width, int height) {
  mapping.SetImageWidth(width);
  mapping.SetImageHeight(height);
}

TComplex MapPixel(const TMapping& mapping, int x, int y, long double dx = 0, long double dy = 0) {
  TCalcBlock block;
  mapping.FillCalcBlock(block);
  block.SetInt32(calc::kX, x);
  block.SetInt32(calc::kY, y);
  mapping.MapPixel(block, dx, dy);
  return block.Complex(calc::kPixel);
}

TEST(MappingTest, ScaleFitsTheReferenceBox) {
  const struct {
    int Width, Height;
    long double Magnification, Scale;
  } cases[] = {
      {800, 600, 1, 0.005L},  {600, 800, 1, 4.0L / 600}, {800, 600, 2, 0.0025L},
      {1000, 600, 1, 0.005L}, {0, 0, 2, 1.5L},           {0, 10, 1, 4},
  };
  for (const auto& c : cases) {
    TMapping mapping;
    SetSize(mapping, c.Width, c.Height);
    mapping.SetMagnification(c.Magnification);
    EXPECT_EQ(mapping.Scale(), c.Scale) << c.Width << "x" << c.Height;
    EXPECT_EQ(mapping.ImageRect(), (TRect{0, 0, c.Width, c.Height}));
  }
}

TEST(MappingTest, MovedOriginKeepsSizeAndScale) {
  TMapping mapping;
  SetSize(mapping, 800, 600);
  int changes = 0;
  mapping.OnChange = [&](TMapping&) { ++changes; };
  mapping.SetImageOrigin(0, -52);
  mapping.SetImageOrigin(0, -52);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(mapping.ImageRect(), (TRect{0, -52, 800, 548}));
  EXPECT_EQ(mapping.Scale(), 0.005L);
  SetSize(mapping, 400, 300);
  EXPECT_EQ(mapping.ImageRect(), (TRect{0, -52, 400, 248}));
}

TEST(MappingTest, PixelsMapAroundTheCenter) {
  TMapping mapping;
  SetSize(mapping, 800, 600);
  ExpectNear(MapPixel(mapping, 0, 0), {-2, 1.5L});
  mapping.SetCenter({1, -1});
  ExpectNear(MapPixel(mapping, 0, 0), {-1, 0.5L});
  ExpectNear(MapPixel(mapping, 400, 300), {1, -1});
  ExpectNear(MapPixel(mapping, 0, 0, 0.5L, 0.25L), {-1 + 0.0025L, 0.5L - 0.00125L});
  // At a quarter turn the pixel right of the center lies above it.
  mapping.SetAngle(kPi / 2);
  ExpectNear(MapPixel(mapping, 401, 300), {1, -1 + 0.005L});
  // An odd width puts the center pixel's left edge at -2 pixels.
  TMapping odd;
  SetSize(odd, 5, 3);
  ExpectNear(MapPixel(odd, 2, 1), {0, 0});
  ExpectNear(MapPixel(odd, 0, 0), {-2 * odd.Scale(), odd.Scale()});
}

TEST(MappingTest, MagnificationRules) {
  TMapping mapping;
  int changes = 0;
  mapping.OnChange = [&](TMapping&) { ++changes; };
  for (long double bad : {0.0L, -1.0L, std::numeric_limits<long double>::quiet_NaN(),
                          std::numeric_limits<long double>::infinity()}) {
    EXPECT_EQ(ErrorMessageOf([&] { mapping.SetMagnification(bad); }),
              "Magnification must be larger than zero")
        << static_cast<double>(bad);
  }
  mapping.SetMagnification(1.00005L);
  EXPECT_EQ(mapping.Magnification(), 1);
  EXPECT_EQ(changes, 0);
  mapping.SetMagnification(2);
  EXPECT_EQ(changes, 1);
  // The corners follow the magnification and the center.
  mapping.SetCenter({1, 1});
  ExpectNear(mapping.Corner1(), {0, 1.75L});
  ExpectNear(mapping.Corner2(), {2, 0.25L});
  EXPECT_EQ(changes, 2);
}

TEST(MappingTest, AnglesAreNormalised) {
  const struct {
    long double Degrees, Radians;
  } cases[] = {
      {-90, 3 * kPi / 2}, {370, 10 * kPi / 180}, {720 + 45, kPi / 4}, {-350, 10 * kPi / 180},
      {180, kPi},
  };
  for (const auto& c : cases) {
    TMapping mapping;
    mapping.SetAngleDegrees(c.Degrees);
    EXPECT_NEAR(static_cast<double>(mapping.Angle()), static_cast<double>(c.Radians), 1e-14)
        << static_cast<double>(c.Degrees);
    EXPECT_NEAR(static_cast<double>(mapping.Sine()), std::sin(static_cast<double>(c.Radians)),
                1e-15);
  }
  {
    TMapping turned;
    turned.SetAngleDegrees(-360);  // 0 or 2 pi: the same direction either way
    EXPECT_NEAR(static_cast<double>(turned.Cosine()), 1, 1e-15);
    // Parameter text stores degrees; a load must not move them in the written digits.
    for (long double degrees : {30.0L, 123.456L, 359.9L}) {
      turned.SetAngleDegrees(degrees);
      EXPECT_EQ(FormatNumber(turned.AngleDegrees()), FormatNumber(degrees));
    }
    // An angle inside [0, 2 pi] is kept bit for bit, so that restoring a stored
    // one does not drift.
    for (long double angle : {1.00000000000000008945L, 0.3L, 6.2831L, 3.14159265358979323851L}) {
      turned.SetAngle(angle + 1);
      turned.SetAngle(angle);
      EXPECT_EQ(turned.Angle(), angle);
    }
  }
  TMapping mapping;
  int changes = 0;
  mapping.OnChange = [&](TMapping&) { ++changes; };
  mapping.SetAngle(0.00005L);
  mapping.SetAngle(std::numeric_limits<long double>::quiet_NaN());
  EXPECT_EQ(mapping.Angle(), 0);
  EXPECT_EQ(changes, 0);
  mapping.SetAngleDegrees(30);
  EXPECT_NEAR(static_cast<double>(mapping.AngleDegrees()), 30, 1e-13);
  EXPECT_EQ(changes, 1);
}

TEST(MappingTest, CornersSetTheLocation) {
  TMapping mapping;
  mapping.SetCorners(-2, 1.5L, 2, -1.5L);
  ExpectNear(mapping.Center(), {0, 0});
  EXPECT_EQ(mapping.Magnification(), 1);
  // Any order of the corners; the taller side decides here (3 / 0.5).
  mapping.SetCorners(1.25L, 0, 1, 0.5L);
  ExpectNear(mapping.Center(), {1.125L, 0.25L});
  EXPECT_EQ(mapping.Magnification(), 6);
  mapping.SetCorners(0, 0, 2, 1);  // wider: 4 / 2
  EXPECT_EQ(mapping.Magnification(), 2);
  EXPECT_THROW(mapping.SetCorners(1, 1, 1, 1), EZentrope);
  EXPECT_EQ(mapping.Magnification(), 2);
  ExpectNear(mapping.Center(), {1, 0.5L});
}

// Chains of transformations from the shipped collection and small test entries.
class MappingTransformTest : public ::testing::Test {
 protected:
  MappingTransformTest() {
    SetSize(mapping_, 800, 600);
    mapping_.OnChange = [this](TMapping&) { ++changes_; };
    own_ = dir_.Write("t.zxf",
                      "Solid {\ntransform:\n#solid = true\n}\n"
                      "Shift {\ntransform:\ncomplex by = (10, 0)\n#pixel = #pixel + by\n}\n");
  }

  TTransform& Add(const std::filesystem::path& file, const std::string& name) {
    auto transform = std::make_unique<TTransform>();
    EXPECT_EQ(CompileEntry(*transform, file.string(), name).Error, "");
    TTransform& added = *transform;
    mapping_.Transforms().Add(std::move(transform));
    return added;
  }

  static std::filesystem::path Standard() { return SourceDir() / "data" / "Standard.zxf"; }

  static void SetFloat(TTransform& transform, const std::string& name, long double value) {
    transform.Params().Items(transform.Params().IndexOfName(name)).SetAsFloat(value);
  }

  // Maps pixel (x, y) in a fresh block; checks that the variable pointer is back.
  TComplex Map(int x, int y, bool* solid = nullptr) {
    mapping_.FillCalcBlock(block_);
    void* const start = block_.Pointer(calc::kTransformVars);
    block_.SetInt32(calc::kX, x);
    block_.SetInt32(calc::kY, y);
    block_.SetByte(calc::kSolid, 1);  // left over from an earlier pixel
    mapping_.MapPixel(block_, 0, 0);
    EXPECT_EQ(block_.Pointer(calc::kTransformVars), start);
    if (solid) *solid = block_.Byte(calc::kSolid) != 0;
    return block_.Complex(calc::kPixel);
  }

  TempDir dir_;
  std::filesystem::path own_;
  TMapping mapping_;
  TCalcBlock block_;
  int changes_ = 0;
};

// Pixel (900, 100) lies at (2.5, 1) for an 800 x 600 image at magnification 1.
TEST_F(MappingTransformTest, InversionThenTile) {
  TTransform& inversion = Add(Standard(), "Inversion");
  TTransform& tile = Add(Standard(), "Tile");
  SetFloat(tile, "tilewidth", 0.3L);
  EXPECT_EQ(changes_, 2);
  const TComplex inverted = 1.0L / std::conj(TComplex(2.5L, 1));
  const long double across = inverted.real() / 0.3L - std::round(inverted.real() / 0.3L);
  const long double up = inverted.imag() - std::round(inverted.imag());
  bool solid = true;
  ExpectNear(Map(900, 100, &solid), {across * 0.3L, up}, 1e-12L);
  EXPECT_FALSE(solid);

  // A disabled transformation is passed over, and its variables with it.
  inversion.SetEnabled(false);
  const long double plain = 2.5L / 0.3L - std::round(2.5L / 0.3L);
  ExpectNear(Map(900, 100), {plain * 0.3L, 0}, 1e-12L);

  // The point sent to infinity is solid.
  inversion.SetEnabled(true);
  ExpectNear(Map(400, 300, &solid), {0, 0});
  EXPECT_TRUE(solid);
  EXPECT_EQ(block_.UInt32(calc::kTransformSize),
            static_cast<std::uint32_t>(inversion.VariableBlockSize() + tile.VariableBlockSize()));
}

TEST_F(MappingTransformTest, SolidStopsTheChain) {
  Add(own_, "Shift");
  Add(own_, "Solid");
  Add(own_, "Shift");
  bool solid = false;
  ExpectNear(Map(400, 300, &solid), {10, 0});
  EXPECT_TRUE(solid);
  // Without transformations a stale #solid does not survive the mapping.
  mapping_.Transforms().Clear();
  ExpectNear(Map(400, 300, &solid), {0, 0});
  EXPECT_FALSE(solid);
}

TEST_F(MappingTransformTest, EachTransformationSeesItsOwnVariables) {
  Add(own_, "Shift");
  Add(own_, "Shift");
  mapping_.FillCalcBlock(block_);
  const auto* vars = static_cast<const std::uint8_t*>(block_.Pointer(calc::kTransformVars));
  ASSERT_NE(vars, nullptr);
  EXPECT_NE(block_.Pointer(calc::kTransformAlloc), nullptr);
  ExpectNear(Map(400, 300), {20, 0});
}

// The chain comes back from its record: an item that holds the recorded entry at
// its place is kept (with its compiled code), the others are rebuilt, extra ones go.
TEST_F(MappingTransformTest, SnapshotRestoresLocationAndChain) {
  TTransform& inversion = Add(Standard(), "Inversion");
  Add(Standard(), "Tile");
  SetFloat(mapping_.Transforms().Item(1), "tilewidth", 0.3L);
  inversion.SetEnabled(false);
  mapping_.SetCenter({0.5L, -0.25L});
  mapping_.SetMagnification(4);
  mapping_.SetAngle(1);
  const TComplex before = Map(900, 100);
  const TMappingSnapshot saved = mapping_.SaveSnapshot();
  ASSERT_EQ(saved.Transforms.size(), 2u);
  EXPECT_EQ(saved.Transforms[1].EntryName, "Tile");
  EXPECT_FALSE(saved.Transforms[0].Enabled);

  const void* const kept_code = inversion.Procedure();
  inversion.SetEnabled(true);
  mapping_.Transforms().Delete(1);
  Add(own_, "Shift");
  Add(own_, "Solid");
  mapping_.SetCenter({3, 3});
  mapping_.SetMagnification(0.5L);
  mapping_.SetAngle(2);
  changes_ = 0;
  mapping_.RestoreSnapshot(saved);
  EXPECT_GE(changes_, 1);
  ASSERT_EQ(mapping_.Transforms().Count(), 2);
  EXPECT_EQ(&mapping_.Transforms().Item(0), &inversion);
  EXPECT_EQ(inversion.Procedure(), kept_code);
  EXPECT_FALSE(inversion.Enabled());
  EXPECT_EQ(mapping_.Transforms().Item(1).Code().EntryName, "Tile");
  EXPECT_EQ(mapping_.Center(), saved.Center);
  EXPECT_EQ(mapping_.Magnification(), 4);
  EXPECT_EQ(mapping_.Angle(), 1);
  ExpectNear(Map(900, 100), before, 0);
  // Restoring the state it is in changes nothing.
  changes_ = 0;
  mapping_.RestoreSnapshot(saved);
  EXPECT_EQ(changes_, 0);
}

}  // namespace
}  // namespace zt::testing
