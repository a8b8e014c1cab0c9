// The built-in formulas' machine code against a long double loop of the same
// order of operations: #z to the bit and #numiter, for the plain and the unrolled
// procedure, with coloring calls, periodicity checking and the abort flag.
#include "formula/entries/builtin_formula.h"

#include <gtest/gtest.h>

#include <complex>
#include <cstring>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/entry_thunk.h"
#include "formula/codegen/procedures.h"
#include "formula/testing/runtime_test_util.h"

namespace zt {
namespace {

using testing::Complex;
using testing::SameBits;

struct TOrbit {
  Complex Z;
  int NumIter;
};

std::uint32_t HighHalf(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return static_cast<std::uint32_t>(bits >> 32);
}

// The iteration as the procedures count it: #numiter is the number of
// iterations the bailout test passed, or #maxiter when none escaped.
TOrbit Reference(int type, Complex pixel, Complex param, long double bailout, int maxiter) {
  long double zr = type == 1 ? pixel.real() + param.real() : pixel.real();
  long double zi = type == 1 ? pixel.imag() + param.imag() : pixel.imag();
  const Complex c = type == 1 ? pixel : param;
  const std::uint32_t limit = HighHalf(static_cast<double>(bailout));
  int remaining = maxiter;
  for (;;) {
    const long double re = zr * zr - zi * zi + c.real();
    const long double im = zi * zr * 2 + c.imag();
    zr = re;
    zi = im;
    if (HighHalf(static_cast<double>(zr * zr + zi * zi)) > limit) break;
    if (--remaining == 0) break;
  }
  return {{zr, zi}, maxiter - remaining};
}

// A calculation block with do-nothing colorings and a built-in formula's values.
class BuiltInRun {
 public:
  BuiltInRun() {
    for (int cell :
         {calc::kInsideInit, calc::kInsideFinal, calc::kOutsideInit, calc::kOutsideFinal})
      block_.SetPointer(cell, nothing_.Data());
    vars_ = block_.Allocate(builtin::kVarsSize, calc::kFormulaVars);
  }

  TOrbit Run(const TCodeBuffer& code, Complex pixel, Complex param, long double bailout,
             int maxiter) {
    StoreBuiltInValues(vars_, param, bailout);
    block_.SetComplex(calc::kPixel, pixel);
    block_.SetInt32(calc::kMaxIter, maxiter);
    CallProcedure(code.Data(), block_.Data());
    return {block_.Complex(calc::kZ), block_.Int32(calc::kNumIter)};
  }

  TCalcBlock& Block() { return block_; }

 private:
  TCodeBuffer nothing_ = BuildReturnProcedure();
  TCalcBlock block_;
  std::uint8_t* vars_;
};

TEST(BuiltInFormulaTest, PlainAndUnrolledFollowTheReferenceLoop) {
  struct TCase {
    int Type;
    Complex Param;
    long double Bailout;
    int Maxiter;
  };
  // Iteration limits around the group size exercise the unrolled tail.
  const TCase cases[] = {
      {1, {0, 0}, 4, 100},          {1, {0.1L, -0.05L}, 4, 1},
      {1, {0, 0}, 16, 7},           {1, {0, 0}, 4, 8},
      {1, {0, 0}, 1e10L, 9},        {1, {0.3L, 0.2L}, 2.5L, 250},
      {2, {-0.8L, 0.156L}, 4, 100}, {2, {0.285L, 0.01L}, 4, 17},
      {2, {-1, 0}, 100, 64},
  };
  const TCodeBuffer plain[] = {BuildBuiltInFormula(1), BuildBuiltInFormula(2)};
  const TCodeBuffer unrolled[] = {BuildBuiltInFormulaUnrolled(1), BuildBuiltInFormulaUnrolled(2)};
  BuiltInRun run;
  for (const TCase& t : cases) {
    for (int i = 0; i <= 40; ++i) {
      for (int j = 0; j <= 30; ++j) {
        const Complex pixel(-2.2L + i * 0.07L, -1.3L + j * 0.087L);
        const TOrbit want = Reference(t.Type, pixel, t.Param, t.Bailout, t.Maxiter);
        for (const TCodeBuffer* code : {&plain[t.Type - 1], &unrolled[t.Type - 1]}) {
          const TOrbit got = run.Run(*code, pixel, t.Param, t.Bailout, t.Maxiter);
          const char* which = code == &plain[t.Type - 1] ? "plain" : "unrolled";
          ASSERT_EQ(got.NumIter, want.NumIter)
              << which << " type " << t.Type << " maxiter " << t.Maxiter << " at " << pixel;
          ASSERT_TRUE(SameBits(got.Z.real(), want.Z.real()) &&
                      SameBits(got.Z.imag(), want.Z.imag()))
              << which << " type " << t.Type << " at " << pixel << ": " << got.Z << " vs "
              << want.Z;
        }
      }
    }
  }
}

// The bailout compares only the upper halves of the doubles: a squared modulus
// just above Bailout in the lower mantissa bits still continues.
TEST(BuiltInFormulaTest, BailoutComparesTheUpperHalfOfTheDouble) {
  const TCodeBuffer code = BuildBuiltInFormula(2);
  BuiltInRun run;
  // z0 = 0, z1 = c: |c|^2 = 4 equals Bailout 4 and continues; so does
  // |c|^2 = 4 + 2^-42 (same upper half), while Bailout 3.99 escapes at once.
  EXPECT_EQ(run.Run(code, 0, 2, 4, 3).NumIter, 1);
  EXPECT_EQ(run.Run(code, 0, 2 + 0x1p-44L, 4, 3).NumIter, 1);
  EXPECT_EQ(run.Run(code, 0, 2, 3.99L, 3).NumIter, 0);
}

// Coloring loop calls counted through an orbit-storing inside loop procedure.
class OrbitCount {
 public:
  explicit OrbitCount(TCalcBlock& block, int capacity) : block_(block) {
    buffer_ = block.Allocate(static_cast<std::size_t>(capacity + 2) * calc::kOrbitEntrySize,
                             calc::kOrbitBuffer);
    block.SetPointer(calc::kInsideInit, init_.Data());
    block.SetPointer(calc::kInsideLoop, loop_.Data());
  }
  // Entries written: the init's entry 0 plus one per loop call.
  long Entries() const {
    auto* position = static_cast<std::uint8_t*>(block_.Pointer(calc::kInsideOrbitPos));
    return (position - buffer_) / calc::kOrbitEntrySize;
  }

 private:
  TCalcBlock& block_;
  std::uint8_t* buffer_;
  TCodeBuffer init_ = BuildColoringProcedure({}, true, true, TColoringPart::kInit);
  TCodeBuffer loop_ = BuildColoringProcedure({}, true, true, TColoringPart::kLoop);
};

TEST(BuiltInFormulaTest, PlainProcedureCallsTheColoringLoopAndChecksPeriodicity) {
  const TCodeBuffer code = BuildBuiltInFormula(2);
  BuiltInRun run;
  OrbitCount orbit(run.Block(), 1000);
  // c = -1 from z = 0 cycles 0, -1, 0, ... exactly and never escapes.
  EXPECT_EQ(run.Run(code, 0, -1, 4, 1000).NumIter, 1000);
  EXPECT_EQ(orbit.Entries(), 1001);

  TCalcBlock& block = run.Block();
  block.SetUInt32(calc::kPeriodicityStart, 0xFFFFFFFF);
  block.SetUInt32(calc::kPeriodicityMask, 1);
  block.SetUInt32(calc::kPeriodicityCountdown, 4);
  block.SetUInt32(calc::kPeriodicityReload, 4);
  block.SetFloat32(calc::kPeriodicityTolerance, 0);
  const TOrbit periodic = run.Run(code, 0, -1, 4, 1000);
  EXPECT_EQ(periodic.NumIter, 1000);  // found periodic: inside
  EXPECT_LT(orbit.Entries(), 20);
}

TEST(BuiltInFormulaTest, AbortEndsBothVariantsEarlyAsOutside) {
  BuiltInRun run;
  run.Block().SetByte(calc::kAbort, 1);
  const int maxiter = 1 << 30;
  for (const TCodeBuffer& code : {BuildBuiltInFormula(1), BuildBuiltInFormulaUnrolled(1)}) {
    const TOrbit got = run.Run(code, 0, 0, 4, maxiter);
    EXPECT_GE(got.NumIter, 0);
    EXPECT_LE(got.NumIter, 8);
  }
}

TEST(BuiltInFormulaTest, UnrolledProcedureCallsTheFinalOfTheSide) {
  // The default final writes #index = #numiter / 100 for the side it is installed on.
  const TCodeBuffer final_procedure = BuildDefaultColoringFinal();
  const TCodeBuffer code = BuildBuiltInFormulaUnrolled(1);
  for (const auto& [pixel, inside] :
       {std::pair{Complex(0, 0), true}, std::pair{Complex(0.4L, 0.4L), false}}) {
    BuiltInRun run;
    run.Block().SetPointer(inside ? calc::kInsideFinal : calc::kOutsideFinal,
                           final_procedure.Data());
    const TOrbit got = run.Run(code, pixel, 0, 4, 20);
    EXPECT_EQ(got.NumIter, Reference(1, pixel, 0, 4, 20).NumIter);
    EXPECT_EQ(got.NumIter < 20, !inside);
    EXPECT_GT(got.NumIter, 0);
    EXPECT_NEAR(static_cast<double>(run.Block().Extended(calc::kIndex)), got.NumIter * 0.01, 1e-15);
  }
}

}  // namespace
}  // namespace zt
