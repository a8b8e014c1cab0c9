// Test helpers for the runtime's primitives: run one primitive on complex, float,
// int or bool operands with the FPU filled up to the limit its extra-register count
// promises, and check that the registers below its operands survive.
#pragma once

#include <gtest/gtest.h>

#include <complex>
#include <cstring>
#include <functional>

#include "formula/codegen/runtime.h"

namespace zt::testing {

using Complex = std::complex<long double>;

// Bit-for-bit equality of two extended values (NaNs with the same payload match).
inline bool SameBits(long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; }

// Runs `primitive` on FPU operands `in` (pushed in order; a complex is imaginary part
// then real part) with filler values below them, so that the primitive gets exactly
// operands + extra registers of room for its work plus its results. Returns the
// `out_count` results (top first) and expects the fillers intact and nothing left.
inline TPrimitiveFrame RunChecked(int primitive, std::initializer_list<long double> in,
                                  int out_count, std::int64_t rax = 0, std::int64_t rdx = 0,
                                  void* rsi = nullptr) {
  const int operands = static_cast<int>(in.size());
  // The primitive may hold max(operands, results) + extra registers at once.
  const int need = std::max(operands, out_count) + ExtraRegisters(primitive);
  const int fillers = std::max(0, 8 - need);
  TPrimitiveFrame frame;
  int n = 0;
  for (int i = 0; i < fillers; ++i) frame.In[n++] = 1000 + i;
  for (long double v : in) frame.In[n++] = v;
  frame.InCount = n;
  frame.OutCount = out_count + fillers;
  frame.Rax = rax;
  frame.Rdx = rdx;
  frame.Rsi = rsi;
  RunPrimitive(primitive, frame);
  EXPECT_EQ(frame.Leftover, 0) << PrimitiveName(primitive) << " left registers behind";
  for (int i = 0; i < fillers; ++i)
    EXPECT_TRUE(SameBits(frame.Out[out_count + i], 1000 + (fillers - 1 - i)))
        << PrimitiveName(primitive) << " overwrote a register below its operands";
  return frame;
}

inline Complex ComplexUnary(int primitive, Complex z) {
  auto f = RunChecked(primitive, {z.imag(), z.real()}, 2);
  return {f.Out[0], f.Out[1]};
}

// Runs `action` as a caller that left `callerWord` in the FPU control word, and
// answers the control word found afterwards; the test's own word is restored.
inline std::uint16_t ControlWordAfter(std::uint16_t caller_word,
                                      const std::function<void()>& action) {
  std::uint16_t saved, after;
  asm volatile("fnstcw %0" : "=m"(saved));
  asm volatile("fldcw %0" : : "m"(caller_word));
  action();
  asm volatile("fnstcw %0" : "=m"(after));
  asm volatile("fldcw %0" : : "m"(saved));
  return after;
}

inline long double ComplexToFloat(int primitive, Complex z) {
  return RunChecked(primitive, {z.imag(), z.real()}, 1).Out[0];
}

// Lower operand l pushed first, upper u on top.
inline Complex ComplexBinary(int primitive, Complex l, Complex u) {
  auto f = RunChecked(primitive, {l.imag(), l.real(), u.imag(), u.real()}, 2);
  return {f.Out[0], f.Out[1]};
}

inline bool ComplexCompare(int primitive, Complex l, Complex u) {
  return (RunChecked(primitive, {l.imag(), l.real(), u.imag(), u.real()}, 0).Rax & 0xFF) != 0;
}

inline long double FloatUnary(int primitive, long double x) {
  return RunChecked(primitive, {x}, 1).Out[0];
}

inline long double FloatBinary(int primitive, long double l, long double u) {
  return RunChecked(primitive, {l, u}, 1).Out[0];
}

inline bool FloatCompare(int primitive, long double l, long double u) {
  return (RunChecked(primitive, {l, u}, 0).Rax & 0xFF) != 0;
}

inline std::int32_t FloatToInt(int primitive, long double x) {
  return static_cast<std::int32_t>(RunChecked(primitive, {x}, 0).Rax);
}

inline Complex FloatToComplexResult(int primitive, long double x) {
  auto f = RunChecked(primitive, {x}, 2);
  return {f.Out[0], f.Out[1]};
}

// Mixed operations: the float above (FTop) or below (CTop) the complex.
inline Complex MixFTop(int primitive, Complex c, long double f) {
  auto r = RunChecked(primitive, {c.imag(), c.real(), f}, 2);
  return {r.Out[0], r.Out[1]};
}

inline Complex MixCTop(int primitive, long double f, Complex c) {
  auto r = RunChecked(primitive, {f, c.imag(), c.real()}, 2);
  return {r.Out[0], r.Out[1]};
}

}  // namespace zt::testing
