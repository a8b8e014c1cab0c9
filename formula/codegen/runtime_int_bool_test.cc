// Tests of the int and bool primitives and their conversions.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "formula/testing/runtime_test_util.h"

namespace zt {
namespace {

using testing::Complex;
using testing::RunChecked;

// Garbage above the 32-bit operand that a primitive must not read.
constexpr std::int64_t kHigh = 0x5A5A5A5A00000000;

std::int32_t IntOp(int prim, std::int32_t a, std::int32_t b = 0) {
  return static_cast<std::int32_t>(RunChecked(prim, {}, 0, kHigh | static_cast<std::uint32_t>(a),
                                              kHigh | static_cast<std::uint32_t>(b))
                                       .Rax);
}

int BoolOp(int prim, std::int64_t a, std::int64_t b = 0) {
  return static_cast<int>(RunChecked(prim, {}, 0, a, b).Rax & 0xFF);
}

TEST(RuntimeIntBool, IntArithmetic) {
  struct Case {
    int prim;
    std::int32_t a, b, want;
  };
  const Case cases[] = {
      {prIntAdd, 7, -9, -2},
      {prIntAdd, INT_MAX, 1, INT_MIN},
      {prIntSub, 7, 9, -2},
      {prIntMul, -6, 7, -42},
      {prIntMul, 0x10000, 0x10001, 0x10000},  // low 32 bits
      {prIntMod, 7, 3, 1},
      {prIntMod, -7, 3, -1},
      {prIntMod, 7, -3, 1},
      {prIntMod, 7, 0, 7},
      {prIntMod, INT_MIN, 0, INT_MIN},
      {prIntMod, INT_MIN, -1, 0},  // would trap in the divide instruction
      {prIntMod, 5, -1, 0},
      {prIntMod, INT_MIN, 3, INT_MIN % 3},
      {prIntNeg, 5, 0, -5},
      {prIntSqr, -12, 0, 144},
      {prIntDouble, -21, 0, -42},
      {prIntAbs, -21, 0, 21},
      {prIntAbs, 21, 0, 21},
      {prIntAbs, INT_MIN, 0, INT_MIN},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IntOp(c.prim, c.a, c.b), c.want)
        << PrimitiveName(c.prim) << " " << c.a << ", " << c.b;
}

TEST(RuntimeIntBool, IntComparisonsAreSigned) {
  const int prims[] = {prIntEqual,     prIntNotEqual, prIntLess,
                       prIntLessEqual, prIntGreater,  prIntGreaterEqual};
  struct Case {
    std::int32_t a, b;
    bool want[6];
  };
  const Case cases[] = {
      {-1, 1, {false, true, true, true, false, false}},
      {4, 4, {true, false, false, true, false, true}},
      {INT_MAX, INT_MIN, {false, true, false, false, true, true}},
  };
  for (const Case& c : cases)
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(IntOp(prims[i], c.a, c.b) & 0xFF, c.want[i])
          << PrimitiveName(prims[i]) << " " << c.a << ", " << c.b;
}

TEST(RuntimeIntBool, IntConversions) {
  for (std::int32_t v : {0, -1, 123456789, INT_MIN, INT_MAX}) {
    auto f = RunChecked(prIntToFloat, {}, 1, kHigh | static_cast<std::uint32_t>(v));
    EXPECT_EQ(f.Out[0], v);
    auto c = RunChecked(prIntToComplex, {}, 2, kHigh | static_cast<std::uint32_t>(v));
    EXPECT_EQ(Complex(c.Out[0], c.Out[1]), Complex(v, 0));
  }
}

TEST(RuntimeIntBool, BoolOperations) {
  for (int a : {0, 1}) {
    EXPECT_EQ(BoolOp(prBoolNot, a), 1 - a);
    for (int b : {0, 1}) {
      EXPECT_EQ(BoolOp(prBoolEqual, a, b), a == b) << a << b;
      EXPECT_EQ(BoolOp(prBoolNotEqual, a, b), a != b) << a << b;
      EXPECT_EQ(BoolOp(prBoolAnd, a, b), a & b) << a << b;
      EXPECT_EQ(BoolOp(prBoolOr, a, b), a | b) << a << b;
    }
  }
}

TEST(RuntimeIntBool, BoolConversionsUseTheLowBitOnly) {
  // Bits above AL are left over from earlier code.
  for (auto [rax, want] : {std::pair<std::int64_t, int>{0x12345600, 0}, {0x12345601, 1}}) {
    EXPECT_EQ(static_cast<std::int32_t>(RunChecked(prBoolToInt, {}, 0, rax).Rax), want);
    EXPECT_EQ(RunChecked(prBoolToFloat, {}, 1, rax).Out[0], want);
    auto c = RunChecked(prBoolToComplex, {}, 2, rax);
    EXPECT_EQ(Complex(c.Out[0], c.Out[1]), Complex(want, 0));
  }
}

}  // namespace
}  // namespace zt
