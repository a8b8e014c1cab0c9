// Tests of the complex, mixed and float arithmetic and comparison primitives, and
// of oldz's orbit buffer read. Arithmetic is compared bit for bit with long double
// computations written in the same operation order.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/testing/runtime_test_util.h"

namespace zt {
namespace {

using testing::Complex;
using testing::SameBits;

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

::testing::AssertionResult SameComplex(Complex got, Complex want) {
  if (SameBits(got.real(), want.real()) && SameBits(got.imag(), want.imag()))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got (" << got.real() << ", " << got.imag() << ") want ("
                                       << want.real() << ", " << want.imag() << ")";
}

// Operand pairs with inexact fractions so that any change in operation order shows.
const std::vector<std::pair<Complex, Complex>> kPairs = {
    {{1.5L, -2.25L}, {0.1L, 1 / 3.0L}},
    {{-7, 1e-3L}, {3.3L, -0.7L}},
    {{2 / 7.0L, 5 / 11.0L}, {-13 / 17.0L, 19 / 23.0L}},
    {{1e300L, -2e-300L}, {-5e299L, 4}},
    {{1, 0}, {3, 0}},  // times the reciprocal 1/9 differs from dividing by 9
};

// The whole table, not only the families tested here: compiled code may ask for
// any of them.
TEST(RuntimeArith, EveryPrimitiveIsBuilt) {
  for (int p = 0; p < kPrimitiveCount; ++p) EXPECT_GT(PrimitiveLength(p), 0u) << PrimitiveName(p);
}

TEST(RuntimeArith, ComplexArithmeticIsBitExact) {
  using Op = std::function<Complex(Complex, Complex)>;
  auto div = [](Complex n, Complex d) {
    long double re = n.real() * d.real() + n.imag() * d.imag();
    long double im = n.imag() * d.real() - n.real() * d.imag();
    long double r = 1 / (d.real() * d.real() + d.imag() * d.imag());
    return Complex(re * r, im * r);
  };
  const std::vector<std::pair<int, Op>> ops = {
      {kPrimitiveComplexAdd,
       [](Complex l, Complex u) { return Complex(l.real() + u.real(), l.imag() + u.imag()); }},
      {kPrimitiveComplexSub,
       [](Complex l, Complex u) { return Complex(l.real() - u.real(), l.imag() - u.imag()); }},
      {kPrimitiveComplexSubRev,
       [](Complex l, Complex u) { return Complex(u.real() - l.real(), u.imag() - l.imag()); }},
      {kPrimitiveComplexMul,
       [](Complex l, Complex u) {
         return Complex(l.real() * u.real() - l.imag() * u.imag(),
                        l.real() * u.imag() + l.imag() * u.real());
       }},
      {kPrimitiveComplexDiv, [&](Complex l, Complex u) { return div(l, u); }},
      {kPrimitiveComplexDivRev, [&](Complex l, Complex u) { return div(u, l); }},
  };
  for (const auto& [prim, ref] : ops)
    for (const auto& [l, u] : kPairs)
      EXPECT_TRUE(SameComplex(testing::ComplexBinary(prim, l, u), ref(l, u)))
          << PrimitiveName(prim) << " " << l << " " << u;
  // Exact cases that pin the meaning, not only the rounding.
  EXPECT_EQ(testing::ComplexBinary(kPrimitiveComplexMul, {1, 2}, {3, 4}), Complex(-5, 10));
  EXPECT_EQ(testing::ComplexBinary(kPrimitiveComplexDiv, {-5, 10}, {3, 4}), Complex(1, 2));
  EXPECT_EQ(testing::ComplexBinary(kPrimitiveComplexDivRev, {3, 4}, {-5, 10}), Complex(1, 2));
}

TEST(RuntimeArith, ComplexDivisionByZeroIsNotANumber) {
  Complex q = testing::ComplexBinary(kPrimitiveComplexDiv, {1, 2}, {0, 0});
  EXPECT_TRUE(std::isnan(q.real()) && std::isnan(q.imag()));
}

TEST(RuntimeArith, ComplexUnary) {
  Complex z(0.1L, -1 / 3.0L);
  EXPECT_TRUE(SameComplex(testing::ComplexUnary(kPrimitiveComplexNeg, z), -z));
  EXPECT_TRUE(SameBits(testing::ComplexToFloat(kPrimitiveComplexModulus, z),
                       z.real() * z.real() + z.imag() * z.imag()));
  EXPECT_EQ(testing::ComplexToFloat(kPrimitiveComplexModulus, {3, -4}), 25);
}

TEST(RuntimeArith, ComplexComparisons) {
  // Results of ==, !=, <, <=, >, >= for l op u; ordering looks at real parts only.
  struct Case {
    Complex L, U;
    bool Eq, Ne, Lt, Le, Gt, Ge;
  };
  const Case cases[] = {
      {{1, 2}, {1, 3}, false, true, false, true, false, true},
      {{1, 2}, {1, 2}, true, false, false, true, false, true},
      {{0, 9}, {1, -5}, false, true, true, true, false, false},
      {{2, 0}, {-1, 0}, false, true, false, false, true, true},
      {{kNaN, 0}, {kNaN, 0}, false, true, false, false, false, false},
      {{1, kNaN}, {1, kNaN}, false, true, false, true, false, true},
  };
  const int prims[] = {kPrimitiveComplexEqual,   kPrimitiveComplexNotEqual,
                       kPrimitiveComplexLess,    kPrimitiveComplexLessEqual,
                       kPrimitiveComplexGreater, kPrimitiveComplexGreaterEqual};
  for (const Case& c : cases) {
    const bool want[] = {c.Eq, c.Ne, c.Lt, c.Le, c.Gt, c.Ge};
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(testing::ComplexCompare(prims[i], c.L, c.U), want[i])
          << PrimitiveName(prims[i]) << " " << c.L << " " << c.U;
  }
}

TEST(RuntimeArith, MixedOperationsInBothArrangements) {
  using Op = std::function<Complex(Complex, long double)>;
  struct Case {
    int FTop, CTop;
    Op Ref;
  };
  const Case cases[] = {
      {kPrimitiveMixAddFTop, kPrimitiveMixAddCTop,
       [](Complex c, long double f) { return Complex(c.real() + f, c.imag()); }},
      {kPrimitiveMixMulFTop, kPrimitiveMixMulCTop,
       [](Complex c, long double f) { return Complex(c.real() * f, c.imag() * f); }},
      {kPrimitiveMixSubCFFTop, kPrimitiveMixSubCFCTop,
       [](Complex c, long double f) { return Complex(c.real() - f, c.imag()); }},
      {kPrimitiveMixSubFCFTop, kPrimitiveMixSubFCCTop,
       [](Complex c, long double f) { return Complex(f - c.real(), -c.imag()); }},
      {kPrimitiveMixDivCFFTop, kPrimitiveMixDivCFCTop,
       [](Complex c, long double f) {
         long double r = 1 / f;
         return Complex(c.real() * r, c.imag() * r);
       }},
  };
  const Complex c(2 / 7.0L, -5 / 11.0L);
  const long double f = 0.3L;
  for (const Case& k : cases) {
    EXPECT_TRUE(SameComplex(testing::MixFTop(k.FTop, c, f), k.Ref(c, f))) << PrimitiveName(k.FTop);
    EXPECT_TRUE(SameComplex(testing::MixCTop(k.CTop, f, c), k.Ref(c, f))) << PrimitiveName(k.CTop);
  }
  EXPECT_EQ(testing::MixFTop(kPrimitiveMixSubFCFTop, {1, 2}, 5), Complex(4, -2));
  EXPECT_EQ(testing::MixCTop(kPrimitiveMixDivCFCTop, 4, {1, 2}), Complex(0.25L, 0.5L));
  // Division multiplies by the reciprocal, which rounds differently from 3 / 9.
  EXPECT_TRUE(
      SameComplex(testing::MixFTop(kPrimitiveMixDivCFFTop, {3, 0}, 9), {3 * (1 / 9.0L), 0}));
}

TEST(RuntimeArith, FloatArithmeticIsBitExact) {
  using Op = std::function<long double(long double, long double)>;
  const std::vector<std::pair<int, Op>> ops = {
      {kPrimitiveFloatAdd, [](long double l, long double u) { return l + u; }},
      {kPrimitiveFloatMul, [](long double l, long double u) { return l * u; }},
      {kPrimitiveFloatSub, [](long double l, long double u) { return l - u; }},
      {kPrimitiveFloatSubRev, [](long double l, long double u) { return u - l; }},
      {kPrimitiveFloatDiv, [](long double l, long double u) { return l / u; }},
      {kPrimitiveFloatDivRev, [](long double l, long double u) { return u / l; }},
      {kPrimitiveFloatMod, [](long double l, long double u) { return std::fmod(l, u); }},
      {kPrimitiveFloatModRev, [](long double l, long double u) { return std::fmod(u, l); }},
  };
  const std::pair<long double, long double> pairs[] = {
      {0.1L, 1 / 3.0L}, {-7.25L, 0.3L}, {1e4000L, 3}, {5e-20L, -1e30L}};
  for (const auto& [prim, ref] : ops)
    for (const auto& [l, u] : pairs)
      EXPECT_TRUE(SameBits(testing::FloatBinary(prim, l, u), ref(l, u)))
          << PrimitiveName(prim) << " " << l << " " << u;
  EXPECT_TRUE(SameBits(testing::FloatUnary(kPrimitiveFloatNeg, 0.1L), -0.1L));
}

// The sign of the remainder is the dividend's, as in std::fmod: see
// FloatArithmeticIsBitExact with negative dividends and divisors.
TEST(RuntimeArith, FloatRemainderOfExtremeAndInvalidOperands) {
  // Needs many partial reductions; ends with an exact result.
  EXPECT_TRUE(SameBits(testing::FloatBinary(kPrimitiveFloatMod, 1e4000L, 1e-4000L),
                       std::fmod(1e4000L, 1e-4000L)));
  for (auto [l, u] :
       {std::pair<long double, long double>{7.5L, 0}, {INFINITY, 2}, {kNaN, 2}, {2, kNaN}})
    EXPECT_TRUE(std::isnan(testing::FloatBinary(kPrimitiveFloatMod, l, u))) << l << " % " << u;
}

TEST(RuntimeArith, FloatComparisons) {
  struct Case {
    long double L, U;
    bool Eq, Ne, Lt, Le, Gt, Ge;
  };
  const Case cases[] = {
      {1, 2, false, true, true, true, false, false},
      {2, 2, true, false, false, true, false, true},
      {-0.0L, 0.0L, true, false, false, true, false, true},
      {3, -INFINITY, false, true, false, false, true, true},
      {kNaN, 1, false, true, false, false, false, false},
      {1, kNaN, false, true, false, false, false, false},
  };
  const int prims[] = {kPrimitiveFloatEqual,   kPrimitiveFloatNotEqual,
                       kPrimitiveFloatLess,    kPrimitiveFloatLessEqual,
                       kPrimitiveFloatGreater, kPrimitiveFloatGreaterEqual};
  for (const Case& c : cases) {
    const bool want[] = {c.Eq, c.Ne, c.Lt, c.Le, c.Gt, c.Ge};
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(testing::FloatCompare(prims[i], c.L, c.U), want[i])
          << PrimitiveName(prims[i]) << " " << c.L << " " << c.U;
  }
}

// oldz reads #numiter and the orbit buffer pointer from the calculation block.
TEST(RuntimeArith, LoadOldZReadsTheOrbitBuffer) {
  constexpr int kEntries = 3;
  unsigned char orbit[kEntries * calc::kOrbitEntrySize];
  for (int i = 0; i < kEntries; ++i) {
    long double re = i + 0.1L, im = -i - 1 / 3.0L;
    std::memcpy(orbit + i * calc::kOrbitEntrySize, &re, 10);
    std::memcpy(orbit + i * calc::kOrbitEntrySize + 10, &im, 10);
  }
  alignas(16) unsigned char block[calc::kSize] = {};
  const std::uint32_t numiter = kEntries - 1;
  const unsigned char* buffer = orbit;
  std::memcpy(block + calc::kNumIter, &numiter, 4);
  std::memcpy(block + calc::kOrbitBuffer, &buffer, 8);
  auto oldz = [&](std::int64_t rax) {
    auto f = testing::RunChecked(kPrimitiveLoadOldZ, {}, 2, rax, 0, block);
    return Complex(f.Out[0], f.Out[1]);
  };
  for (int i = 0; i < kEntries; ++i)
    EXPECT_TRUE(SameComplex(oldz(i), Complex(i + 0.1L, -i - 1 / 3.0L))) << i;
  // Only EAX counts as the index.
  EXPECT_TRUE(SameComplex(oldz(0x7700000001), Complex(1.1L, -1 - 1 / 3.0L)));
  // Past #numiter, and negative numbers (too large unsigned), give (0, 0).
  EXPECT_EQ(oldz(kEntries), Complex(0, 0));
  EXPECT_EQ(oldz(0xFFFFFFFF), Complex(0, 0));
}

}  // namespace
}  // namespace zt
