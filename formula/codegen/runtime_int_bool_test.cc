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
    int Prim;
    std::int32_t A, B, Want;
  };
  const Case cases[] = {
      {kPrimitiveIntAdd, 7, -9, -2},
      {kPrimitiveIntAdd, INT_MAX, 1, INT_MIN},
      {kPrimitiveIntSub, 7, 9, -2},
      {kPrimitiveIntMul, -6, 7, -42},
      {kPrimitiveIntMul, 0x10000, 0x10001, 0x10000},  // low 32 bits
      {kPrimitiveIntMod, 7, 3, 1},
      {kPrimitiveIntMod, -7, 3, -1},
      {kPrimitiveIntMod, 7, -3, 1},
      {kPrimitiveIntMod, 7, 0, 7},
      {kPrimitiveIntMod, INT_MIN, 0, INT_MIN},
      {kPrimitiveIntMod, INT_MIN, -1, 0},  // would trap in the divide instruction
      {kPrimitiveIntMod, 5, -1, 0},
      {kPrimitiveIntMod, INT_MIN, 3, INT_MIN % 3},
      {kPrimitiveIntNeg, 5, 0, -5},
      {kPrimitiveIntSqr, -12, 0, 144},
      {kPrimitiveIntDouble, -21, 0, -42},
      {kPrimitiveIntAbs, -21, 0, 21},
      {kPrimitiveIntAbs, 21, 0, 21},
      {kPrimitiveIntAbs, INT_MIN, 0, INT_MIN},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IntOp(c.Prim, c.A, c.B), c.Want)
        << PrimitiveName(c.Prim) << " " << c.A << ", " << c.B;
}

TEST(RuntimeIntBool, IntComparisonsAreSigned) {
  const int prims[] = {kPrimitiveIntEqual,     kPrimitiveIntNotEqual, kPrimitiveIntLess,
                       kPrimitiveIntLessEqual, kPrimitiveIntGreater,  kPrimitiveIntGreaterEqual};
  struct Case {
    std::int32_t A, B;
    bool Want[6];
  };
  const Case cases[] = {
      {-1, 1, {false, true, true, true, false, false}},
      {4, 4, {true, false, false, true, false, true}},
      {INT_MAX, INT_MIN, {false, true, false, false, true, true}},
  };
  for (const Case& c : cases)
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(IntOp(prims[i], c.A, c.B) & 0xFF, c.Want[i])
          << PrimitiveName(prims[i]) << " " << c.A << ", " << c.B;
}

TEST(RuntimeIntBool, IntConversions) {
  for (std::int32_t v : {0, -1, 123456789, INT_MIN, INT_MAX}) {
    auto f = RunChecked(kPrimitiveIntToFloat, {}, 1, kHigh | static_cast<std::uint32_t>(v));
    EXPECT_EQ(f.Out[0], v);
    auto c = RunChecked(kPrimitiveIntToComplex, {}, 2, kHigh | static_cast<std::uint32_t>(v));
    EXPECT_EQ(Complex(c.Out[0], c.Out[1]), Complex(v, 0));
  }
}

TEST(RuntimeIntBool, BoolOperations) {
  for (int a : {0, 1}) {
    EXPECT_EQ(BoolOp(kPrimitiveBoolNot, a), 1 - a);
    for (int b : {0, 1}) {
      EXPECT_EQ(BoolOp(kPrimitiveBoolEqual, a, b), a == b) << a << b;
      EXPECT_EQ(BoolOp(kPrimitiveBoolNotEqual, a, b), a != b) << a << b;
      EXPECT_EQ(BoolOp(kPrimitiveBoolAnd, a, b), a & b) << a << b;
      EXPECT_EQ(BoolOp(kPrimitiveBoolOr, a, b), a | b) << a << b;
    }
  }
}

TEST(RuntimeIntBool, BoolConversionsUseTheLowBitOnly) {
  // Bits above AL are left over from earlier code.
  for (auto [rax, want] : {std::pair<std::int64_t, int>{0x12345600, 0}, {0x12345601, 1}}) {
    EXPECT_EQ(static_cast<std::int32_t>(RunChecked(kPrimitiveBoolToInt, {}, 0, rax).Rax), want);
    EXPECT_EQ(RunChecked(kPrimitiveBoolToFloat, {}, 1, rax).Out[0], want);
    auto c = RunChecked(kPrimitiveBoolToComplex, {}, 2, rax);
    EXPECT_EQ(Complex(c.Out[0], c.Out[1]), Complex(want, 0));
  }
}

}  // namespace
}  // namespace zt
