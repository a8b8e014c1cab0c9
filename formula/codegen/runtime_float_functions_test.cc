// Float functions and float power of the runtime against long double references,
// every run within the primitive's register budget.
#include <cmath>
#include <limits>
#include <random>

#include "formula/testing/runtime_test_util.h"

namespace zt {
namespace {

using testing::FloatBinary;
using testing::FloatToComplexResult;
using testing::FloatToInt;
using testing::FloatUnary;

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr std::int32_t kIntIndefinite = std::numeric_limits<std::int32_t>::min();

// Relative tolerance, measured against 1 for results smaller than that.
void ExpectNear(long double got, long double want, const char* what, long double x) {
  const long double scale = std::max(std::fabs(want), 1.0L);
  EXPECT_LE(std::fabs(got - want), 1e-15L * scale)
      << what << "(" << x << ") = " << got << ", want " << want;
}

long double Draw(std::mt19937_64& rng, long double lo, long double hi) {
  return std::uniform_real_distribution<long double>(lo, hi)(rng);
}

struct TUnaryCase {
  TPrimitive Primitive;
  long double (*Reference)(long double);
  long double Lo, Hi;
};

TEST(RuntimeFloatFunctionsTest, TranscendentalsMatchReferences) {
  const TUnaryCase cases[] = {
      {kPrimitiveFloatSin, [](long double x) { return std::sin(x); }, -10, 10},
      {kPrimitiveFloatCos, [](long double x) { return std::cos(x); }, -10, 10},
      {kPrimitiveFloatTan, [](long double x) { return std::tan(x); }, -10, 10},
      {kPrimitiveFloatCotan, [](long double x) { return 1 / std::tan(x); }, -10, 10},
      {kPrimitiveFloatAtan, [](long double x) { return std::atan(x); }, -50, 50},
      {kPrimitiveFloatAsin, [](long double x) { return std::asin(x); }, -1, 1},
      {kPrimitiveFloatAcos, [](long double x) { return std::acos(x); }, -1, 1},
      {kPrimitiveFloatSinh, [](long double x) { return std::sinh(x); }, -40, 40},
      {kPrimitiveFloatCosh, [](long double x) { return std::cosh(x); }, -40, 40},
      {kPrimitiveFloatTanh, [](long double x) { return std::tanh(x); }, -20, 20},
      {kPrimitiveFloatCotanh, [](long double x) { return 1 / std::tanh(x); }, -20, 20},
      {kPrimitiveFloatAsinh, [](long double x) { return std::asinh(x); }, -1e6, 1e6},
      // Below -1 the value is ln|x + sqrt(x^2 - 1)| = -acosh(|x|).
      {kPrimitiveFloatAcosh,
       [](long double x) { return std::copysign(std::acosh(std::fabs(x)), x); }, 1, 1e6},
      {kPrimitiveFloatAcosh,
       [](long double x) { return std::copysign(std::acosh(std::fabs(x)), x); }, -1e6, -1},
      {kPrimitiveFloatAtanh, [](long double x) { return std::atanh(x); }, -0.99, 0.99},
      {kPrimitiveFloatSqrt, [](long double x) { return std::sqrt(x); }, 0, 1e6},
      {kPrimitiveFloatLog, [](long double x) { return std::log(std::fabs(x)); }, -1e6, 1e6},
      {kPrimitiveFloatExp, [](long double x) { return std::exp(x); }, -50, 50},
  };
  std::mt19937_64 rng(20240613);
  for (const TUnaryCase& c : cases)
    for (int i = 0; i < 200; ++i) {
      const long double x = Draw(rng, c.Lo, c.Hi);
      ExpectNear(FloatUnary(c.Primitive, x), c.Reference(x), PrimitiveName(c.Primitive), x);
    }
}

TEST(RuntimeFloatFunctionsTest, PowerMatchesMagnitudeOfBase) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 300; ++i) {
    const long double a = Draw(rng, -10, 10), b = Draw(rng, -6, 6);
    const long double want = std::pow(std::fabs(a), b);
    ExpectNear(FloatBinary(kPrimitiveFloatPow, a, b), want, "pow", a);
    ExpectNear(FloatBinary(kPrimitiveFloatPowRev, b, a), want, "pow rev", a);
  }
}

TEST(RuntimeFloatFunctionsTest, PowerSpecialValues) {
  EXPECT_EQ(FloatBinary(kPrimitiveFloatPow, 0, 0), 0);
  EXPECT_EQ(FloatBinary(kPrimitiveFloatPow, -0.0L, -1), 0);
  EXPECT_EQ(FloatBinary(kPrimitiveFloatPow, 0, kNaN), 0);
  EXPECT_EQ(FloatBinary(kPrimitiveFloatPow, -2, 3), 8);  // the base counts by its magnitude
  EXPECT_EQ(FloatBinary(kPrimitiveFloatPowRev, 3, -2), 8);
  EXPECT_EQ(FloatBinary(kPrimitiveFloatPow, 5, 0), 1);
  // A base that is zero as a 32-bit float is returned as it stands.
  EXPECT_EQ(FloatBinary(kPrimitiveFloatPow, -1e-46L, 2), 1e-46L);
  EXPECT_EQ(FloatBinary(kPrimitiveFloatPow, 10, 5000), kInf);
  EXPECT_EQ(FloatBinary(kPrimitiveFloatPow, 10, -5000), 0);
  EXPECT_EQ(FloatBinary(kPrimitiveFloatPow, 10, 1e30L), kInf);
  EXPECT_TRUE(std::isnan(FloatBinary(kPrimitiveFloatPow, kNaN, 2)));
  EXPECT_TRUE(std::isnan(FloatBinary(kPrimitiveFloatPow, 2, kNaN)));
}

TEST(RuntimeFloatFunctionsTest, ExactOperations) {
  for (long double x : {0.0L, -1.5L, 3.25L, 1e-300L, -7e200L, 0.1L}) {
    EXPECT_TRUE(testing::SameBits(FloatUnary(kPrimitiveFloatSqr, x), x * x)) << x;
    EXPECT_TRUE(testing::SameBits(FloatUnary(kPrimitiveFloatDouble, x), x + x)) << x;
    EXPECT_TRUE(testing::SameBits(FloatUnary(kPrimitiveFloatCube, x), x * x * x)) << x;
    EXPECT_TRUE(testing::SameBits(FloatUnary(kPrimitiveFloatFourth, x), (x * x) * (x * x))) << x;
    EXPECT_TRUE(testing::SameBits(FloatUnary(kPrimitiveFloatAbs, x), std::fabs(x))) << x;
    EXPECT_TRUE(testing::SameBits(FloatUnary(kPrimitiveFloatRecip, x), 1 / x)) << x;
  }
}

TEST(RuntimeFloatFunctionsTest, RoundingGivesInts) {
  struct {
    long double X;
    std::int32_t Floor, Ceil, Trunc, Round;
  } const cases[] = {
      {-2.5L, -3, -2, -2, -2},
      {2.5L, 2, 3, 2, 3},
      {-0.5L, -1, 0, 0, 0},
      {7, 7, 7, 7, 7},
      {2147483647.25L, 2147483647, kIntIndefinite, 2147483647, 2147483647},
      {1e10L, kIntIndefinite, kIntIndefinite, kIntIndefinite, kIntIndefinite},
      {-1e10L, kIntIndefinite, kIntIndefinite, kIntIndefinite, kIntIndefinite},
      {kNaN, kIntIndefinite, kIntIndefinite, kIntIndefinite, kIntIndefinite},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatToInt(kPrimitiveFloatFloor, c.X), c.Floor) << c.X;
    EXPECT_EQ(FloatToInt(kPrimitiveFloatCeil, c.X), c.Ceil) << c.X;
    EXPECT_EQ(FloatToInt(kPrimitiveFloatTrunc, c.X), c.Trunc) << c.X;
    EXPECT_EQ(FloatToInt(kPrimitiveFloatRound, c.X), c.Round) << c.X;
  }
}

TEST(RuntimeFloatFunctionsTest, LogAndExpSpecialValues) {
  ExpectNear(FloatUnary(kPrimitiveFloatLog, -std::exp(1.0L)), 1, "log", -std::exp(1.0L));
  EXPECT_TRUE(testing::SameBits(FloatUnary(kPrimitiveFloatLog, 0), 0));
  EXPECT_TRUE(testing::SameBits(FloatUnary(kPrimitiveFloatLog, -0.0L), 0));
  EXPECT_EQ(FloatUnary(kPrimitiveFloatLog, kInf), kInf);
  ExpectNear(FloatUnary(kPrimitiveFloatLog, 1e-4940L), std::log(1e-4940L), "log", 1e-4940L);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatExp, 1e6), kInf);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatExp, kInf), kInf);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatExp, -1e6), 0);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatExp, -kInf), 0);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatExp, 0), 1);
}

TEST(RuntimeFloatFunctionsTest, TrigonometryLimits) {
  // Beyond 2^63 the FPU cannot reduce the angle: NaN rather than the argument itself.
  for (int p : {kPrimitiveFloatSin, kPrimitiveFloatCos, kPrimitiveFloatTan, kPrimitiveFloatCotan}) {
    EXPECT_TRUE(std::isnan(FloatUnary(p, 1e19L))) << PrimitiveName(p);
    EXPECT_TRUE(std::isnan(FloatUnary(p, -kInf))) << PrimitiveName(p);
  }
  EXPECT_LE(std::fabs(FloatUnary(kPrimitiveFloatSin, 9e18L)), 1);
  EXPECT_LE(std::fabs(FloatUnary(kPrimitiveFloatCos, -9e18L)), 1);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatCotan, 0), kInf);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatAsin, 1), std::asin(1.0L));
  EXPECT_EQ(FloatUnary(kPrimitiveFloatAcos, -1), std::acos(-1.0L));
  EXPECT_EQ(FloatUnary(kPrimitiveFloatAcos, 1), 0);
  EXPECT_TRUE(std::isnan(FloatUnary(kPrimitiveFloatAsin, 1.5L)));
  EXPECT_TRUE(std::isnan(FloatUnary(kPrimitiveFloatAcos, -1.5L)));
  ExpectNear(FloatUnary(kPrimitiveFloatAtan, kInf), std::atan(kInf), "atan", kInf);
}

TEST(RuntimeFloatFunctionsTest, HyperbolicLimits) {
  EXPECT_EQ(FloatUnary(kPrimitiveFloatSinh, 1e5), kInf);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatSinh, -1e5), -kInf);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatCosh, -1e5), kInf);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatCosh, 0), 1);
  // Far out tanh and cotanh settle at +-1 instead of dividing infinities.
  EXPECT_EQ(FloatUnary(kPrimitiveFloatTanh, 1e5), 1);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatTanh, -1e5), -1);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatCotanh, -1e5), -1);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatTanh, 0), 0);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatCotanh, 0), kInf);
  // Large negative arguments keep their digits instead of reading log(0).
  ExpectNear(FloatUnary(kPrimitiveFloatAsinh, -1e10L), std::asinh(-1e10L), "asinh", -1e10L);
  ExpectNear(FloatUnary(kPrimitiveFloatAcosh, -1e10L), -std::acosh(1e10L), "acosh", -1e10L);
  ExpectNear(FloatUnary(kPrimitiveFloatAcosh, -2), -std::acosh(2.0L), "acosh", -2);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatAcosh, 1), 0);
  EXPECT_TRUE(std::isnan(FloatUnary(kPrimitiveFloatAcosh, 0.5L)));
  EXPECT_TRUE(std::isnan(FloatUnary(kPrimitiveFloatAcosh, -0.5L)));
  EXPECT_EQ(FloatUnary(kPrimitiveFloatAtanh, 1), kInf);
  EXPECT_EQ(FloatUnary(kPrimitiveFloatAtanh, -1), -kInf);
  ExpectNear(FloatUnary(kPrimitiveFloatAtanh, 2), std::log(3.0L) / 2, "atanh", 2);
}

TEST(RuntimeFloatFunctionsTest, NaNPassesThrough) {
  for (int p = kPrimitiveFloatSin; p <= kPrimitiveFloatFourth; ++p) {
    if (p >= kPrimitiveFloatFloor && p <= kPrimitiveFloatRound)
      continue;  // int results, tested above
    EXPECT_TRUE(std::isnan(FloatUnary(p, kNaN))) << PrimitiveName(p);
  }
}

TEST(RuntimeFloatFunctionsTest, ComplexResults) {
  using C = testing::Complex;
  EXPECT_EQ(FloatToComplexResult(kPrimitiveFloatTimesI, 2.5L), C(0, 2.5L));
  EXPECT_EQ(FloatToComplexResult(kPrimitiveFloatTimesMinusI, 2.5L), C(0, -2.5L));
  EXPECT_EQ(FloatToComplexResult(kPrimitiveFloatToComplex, -3), C(-3, 0));
}

}  // namespace
}  // namespace zt
