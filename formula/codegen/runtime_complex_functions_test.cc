// Tests of the complex function primitives and complex power against long double
// references, each run within its register budget.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <random>

#include "formula/codegen/runtime.h"
#include "formula/testing/runtime_test_util.h"

namespace zt {
namespace {

using testing::Complex;
using testing::ComplexBinary;
using testing::ComplexToFloat;
using testing::ComplexUnary;

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();

// Relative to the larger of |want| and `scale`, measured on the whole complex.
::testing::AssertionResult Near(Complex got, Complex want, long double tol, long double scale = 0) {
  const long double error = std::abs(got - want);
  if (error <= tol * std::max(std::abs(want), scale)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got (" << got.real() << ", " << got.imag() << "), want (" << want.real() << ", "
         << want.imag() << "), error " << error;
}

bool Exact(Complex got, Complex want) {
  return testing::SameBits(got.real(), want.real()) && testing::SameBits(got.imag(), want.imag());
}

TEST(RuntimeComplexFunctions, ExactOperations) {
  struct Case {
    TPrimitive Primitive;
    Complex In, Out;
  };
  const Case cases[] = {
      {kPrimitiveComplexAbs, {-1.5, -2}, {1.5, 2}},
      {kPrimitiveComplexConj, {1.5, 2}, {1.5, -2}},
      {kPrimitiveComplexFlip, {1.5, 2}, {2, 1.5}},
      {kPrimitiveComplexDouble, {1.5, -2}, {3, -4}},
      {kPrimitiveComplexTimesI, {1.5, 2}, {-2, 1.5}},
      {kPrimitiveComplexTimesMinusI, {1.5, 2}, {2, -1.5}},
      {kPrimitiveComplexSqr, {1, 2}, {-3, 4}},
      {kPrimitiveComplexCube, {1, 2}, {-11, -2}},
      {kPrimitiveComplexFourth, {1, 2}, {-7, -24}},
      {kPrimitiveComplexCabs, {-3, 4}, {5, 0}},
      {kPrimitiveComplexRecip, {2, 0}, {0.5, -0.0L}},
      {kPrimitiveComplexRecip, {0, -4}, {0, 0.25}},
      {kPrimitiveComplexSqrt, {0, 0}, {0, 0}},
      {kPrimitiveComplexFloor, {1.12, 1.43}, {1, 1}},
      {kPrimitiveComplexFloor, {-2.5, -0.1}, {-3, -1}},
      {kPrimitiveComplexCeil, {-2.5, 1.1}, {-2, 2}},
      {kPrimitiveComplexTrunc, {-2.7, 2.7}, {-2, 2}},
      {kPrimitiveComplexRound, {-0.5, 2.5}, {0, 3}},
      {kPrimitiveComplexRound, {-2.5, 1.49}, {-2, 1}},
      // Through a 32-bit integer: out of range and NaN give the indefinite value.
      {kPrimitiveComplexFloor, {3e9, kNaN}, {-2147483648.0L, -2147483648.0L}},
  };
  for (const Case& c : cases) {
    const Complex got = ComplexUnary(c.Primitive, c.In);
    EXPECT_TRUE(Exact(got, c.Out))
        << PrimitiveName(c.Primitive) << " of " << c.In << " gave " << got;
  }
  EXPECT_EQ(ComplexToFloat(kPrimitiveComplexReal, {1.5, 2}), 1.5L);
  EXPECT_EQ(ComplexToFloat(kPrimitiveComplexImag, {1.5, 2}), 2.0L);
}

TEST(RuntimeComplexFunctions, SpecialValues) {
  const Complex log0 = ComplexUnary(kPrimitiveComplexLog, {0, 0});
  EXPECT_EQ(log0.real(), -kInf);
  EXPECT_EQ(log0.imag(), 0);

  const Complex recip0 = ComplexUnary(kPrimitiveComplexRecip, {0, 0});
  EXPECT_TRUE(std::isnan(recip0.real()) && std::isnan(recip0.imag()));

  // Negative reals: the sign of the zero imaginary part picks the half plane.
  EXPECT_TRUE(Near(ComplexUnary(kPrimitiveComplexSqrt, {-4, 0}), {0, 2}, 1e-18L));
  EXPECT_TRUE(Near(ComplexUnary(kPrimitiveComplexSqrt, {-4, -0.0L}), {0, -2}, 1e-18L));

  // Values on the branch cuts that the formulas settle in their own way.
  EXPECT_TRUE(
      Near(ComplexUnary(kPrimitiveComplexAtan, {0, 2}), {-kPi / 2, std::log(3.0L) / 2}, 1e-18L));
  const Complex z{-0.7, 0.2};
  const Complex acos = ComplexUnary(kPrimitiveComplexAcos, z);
  EXPECT_TRUE(Near(acos, -std::acos(z), 1e-17L));
  EXPECT_NEAR(static_cast<double>(acos.real()), -2.31255, 1e-5);
  EXPECT_NEAR(static_cast<double>(acos.imag()), 0.26805, 1e-5);
}

TEST(RuntimeComplexFunctions, Atan2Cases) {
  struct Case {
    Complex In;
    long double Out;
  };
  const Case cases[] = {
      {{0, 0}, -kPi / 2},
      {{-0.0L, -0.0L}, -kPi / 2},
      {{0, 2}, kPi / 2},
      {{0, -2}, -kPi / 2},
      {{-1, 0}, -kPi},
      {{-1, -0.0L}, -kPi},
      {{1, 1}, kPi / 4},
      {{-1, 1}, 3 * kPi / 4},
      {{-1, -1}, -3 * kPi / 4},
      {{2, 0}, 0},
      {{2, -1}, std::atan2(-1.0L, 2.0L)},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(ComplexToFloat(kPrimitiveComplexAtan2, c.In), c.Out, 1e-18L) << c.In;
  EXPECT_TRUE(std::isnan(ComplexToFloat(kPrimitiveComplexAtan2, {kNaN, 1})));
}

// The functions with principal values that agree with the standard library's away
// from the branch cuts.
struct TReference {
  TPrimitive Primitive;
  Complex (*Function)(Complex);
};

const TReference kReferences[] = {
    {kPrimitiveComplexSin, [](Complex z) { return std::sin(z); }},
    {kPrimitiveComplexSinh, [](Complex z) { return std::sinh(z); }},
    {kPrimitiveComplexCos, [](Complex z) { return std::cos(z); }},
    {kPrimitiveComplexCosh, [](Complex z) { return std::cosh(z); }},
    {kPrimitiveComplexTan, [](Complex z) { return std::tan(z); }},
    {kPrimitiveComplexCotan, [](Complex z) { return Complex(1) / std::tan(z); }},
    {kPrimitiveComplexTanh, [](Complex z) { return std::tanh(z); }},
    {kPrimitiveComplexCotanh, [](Complex z) { return Complex(1) / std::tanh(z); }},
    {kPrimitiveComplexAsin, [](Complex z) { return std::asin(z); }},
    {kPrimitiveComplexAsinh, [](Complex z) { return std::asinh(z); }},
    {kPrimitiveComplexAtan, [](Complex z) { return std::atan(z); }},
    {kPrimitiveComplexAtanh, [](Complex z) { return std::atanh(z); }},
    {kPrimitiveComplexSqr, [](Complex z) { return z * z; }},
    {kPrimitiveComplexSqrt, [](Complex z) { return std::sqrt(z); }},
    {kPrimitiveComplexLog, [](Complex z) { return std::log(z); }},
    {kPrimitiveComplexExp, [](Complex z) { return std::exp(z); }},
    {kPrimitiveComplexRecip, [](Complex z) { return Complex(1) / z; }},
    {kPrimitiveComplexCabs, [](Complex z) { return Complex(std::abs(z)); }},
    {kPrimitiveComplexCube, [](Complex z) { return z * z * z; }},
    {kPrimitiveComplexFourth, [](Complex z) { return z * z * z * z; }},
};

std::vector<Complex> RandomPoints(int count, long double range) {
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> part(-range, range);
  std::vector<Complex> points;
  for (int i = 0; i < count; ++i) points.emplace_back(part(random), part(random));
  return points;
}

// The tangents lose a few bits next to their poles, where the denominators cancel.
TEST(RuntimeComplexFunctions, AgreeWithStandardLibrary) {
  for (const TReference& r : kReferences)
    for (Complex z : RandomPoints(200, 3))
      EXPECT_TRUE(Near(ComplexUnary(r.Primitive, z), r.Function(z), 5e-15L))
          << PrimitiveName(r.Primitive) << " of " << z;
}

// acos and acosh take z + sqrt(z^2 - 1), which is one of the two inverses, not
// always the principal one.
TEST(RuntimeComplexFunctions, InverseCosinesInvert) {
  for (Complex z : RandomPoints(200, 3)) {
    const Complex acos = ComplexUnary(kPrimitiveComplexAcos, z);
    const Complex acosh = ComplexUnary(kPrimitiveComplexAcosh, z);
    EXPECT_TRUE(Near(std::cos(acos), z, 1e-14L, 1)) << z;
    EXPECT_TRUE(Near(std::cosh(acosh), z, 1e-14L, 1)) << z;
    EXPECT_TRUE(Near(acosh, Complex(0, 1) * acos, 1e-15L, 1)) << z;
  }
}

// Far out on the side where z + sqrt(z^2 +- 1) cancels, the inverses must keep
// their precision (the naive sum gives log 0 there).
TEST(RuntimeComplexFunctions, InversesKeepPrecisionForLargeArguments) {
  const Complex points[] = {{-1e10L, 0}, {-1e10L, 3}, {-4e3L, -7e2L}, {2e12L, -1}};
  for (Complex z : points) {
    EXPECT_TRUE(Near(ComplexUnary(kPrimitiveComplexAsinh, z), std::asinh(z), 1e-15L)) << z;
    const Complex iz = Complex(-z.imag(), z.real());
    EXPECT_TRUE(Near(ComplexUnary(kPrimitiveComplexAsin, iz), std::asin(iz), 1e-15L)) << iz;
    for (TPrimitive p : {kPrimitiveComplexAcos, kPrimitiveComplexAcosh}) {
      const Complex got = ComplexUnary(p, z);
      const Complex want = p == kPrimitiveComplexAcos ? std::acos(z) : std::acosh(z);
      EXPECT_TRUE(Near(got, want, 1e-15L) || Near(got, -want, 1e-15L))
          << PrimitiveName(p) << " of " << z << ": " << got;
    }
  }
}

// The sine-cosine instruction refuses arguments of 2^63 and above; the result must
// still be a unit vector and leave the stack balanced.
TEST(RuntimeComplexFunctions, HugeAnglesStayBalanced) {
  for (long double y : {1e19L, -3e30L, 1e4000L}) {
    const Complex e = ComplexUnary(kPrimitiveComplexExp, {0, y});
    EXPECT_NEAR(std::abs(e), 1.0L, 1e-15L) << y;
    const Complex s = ComplexUnary(kPrimitiveComplexSinh, {0, y});  // (0, sin y)
    EXPECT_EQ(s.real(), 0) << y;
    EXPECT_LE(std::abs(s.imag()), 1.0L) << y;
  }
}

TEST(RuntimeComplexFunctions, PowerBothOrders) {
  const Complex samples[][2] = {{{1, 2}, {2, 0}},
                                {{-1.5, 0.5}, {0.3, -1.2}},
                                {{2, 0}, {0.5, 0}},
                                {{0.7, -2.1}, {-1.5, 0.25}},
                                {{3, 4}, {0, 0}}};
  for (const auto& s : samples) {
    const Complex a = s[0], b = s[1];
    const Complex want = std::exp(b * std::log(a));
    EXPECT_TRUE(Near(ComplexBinary(kPrimitiveComplexPow, a, b), want, 1e-15L)) << a << "^" << b;
    EXPECT_TRUE(Near(ComplexBinary(kPrimitiveComplexPowRev, b, a), want, 1e-15L)) << a << "^" << b;
  }
}

// A base whose squared modulus is zero as a 32-bit float comes back unchanged,
// whatever the exponent, so 0^0 = 0.
TEST(RuntimeComplexFunctions, PowerOfZeroBase) {
  const Complex exponents[] = {{0, 0}, {2, 1}, {-3, 0}, {kNaN, 0}};
  const Complex bases[] = {{0, 0}, {-0.0L, 0}, {1e-30L, -1e-30L}};
  for (Complex b : exponents)
    for (Complex a : bases) {
      EXPECT_TRUE(Exact(ComplexBinary(kPrimitiveComplexPow, a, b), a)) << a << "^" << b;
      EXPECT_TRUE(Exact(ComplexBinary(kPrimitiveComplexPowRev, b, a), a)) << a << "^" << b;
    }
  // 1e-40 still is a (denormal) float: this base is raised.
  EXPECT_TRUE(Near(ComplexBinary(kPrimitiveComplexPow, {1e-20L, 0}, {2, 0}), {1e-40L, 0}, 1e-15L));
}

}  // namespace
}  // namespace zt
