// Runs the built procedures on a calculation block with hand-emitted sections:
// iteration counts, bailout, periodicity, abort, coloring calls, orbit store and
// the FPU control word.
#include "formula/codegen/procedures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/code_emitter.h"
#include "formula/codegen/entry_thunk.h"
#include "formula/testing/runtime_test_util.h"

namespace zt {
namespace {

using E = TCodeEmitter;
using Code = std::vector<std::uint8_t>;

// Section code emitted by hand, measured first like the code generator does.
Code Section(const std::function<void(E&)>& emit) {
  E e;
  e.Begin(nullptr);
  emit(e);
  Code code(e.Offset());
  e.Begin(code.data(), code.size());
  emit(e);
  return code;
}

// Variable-block layout of the test formula.
constexpr int kCountdown = 0;     // int: the bailout yields false when it reaches 0
constexpr int kLoopRuns = 4;      // int: incremented by the loop section
constexpr int kInitMark = 8;      // int: set by the init section
constexpr int kStepRe = 16;       // float: added to #z's real part every iteration
constexpr int kStepIm = 32;       // float: added to #z's imaginary part
constexpr int kControlWord = 48;  // u16: the control word seen by the loop section

// Adds the float at [rdi + step] to the extended at [rsi + cell].
void AddStep(E& e, int cell, int step) {
  e.LoadFloat(E::kBlock, cell);
  e.LoadFloat(E::kVars, step);
  e.Bytes({0xDE, 0xC1});  // faddp
  e.StoreFloat(E::kBlock, cell);
}

const Code kInit = Section([](E& e) { e.StoreIntLiteral(E::kVars, kInitMark, 7); });
const Code kLoop = Section([](E& e) {
  e.MemoryOp({0xFF}, 0, E::kVars, kLoopRuns);  // inc dword
  AddStep(e, calc::kZ, kStepRe);
  AddStep(e, calc::kZ + 16, kStepIm);
  e.MemoryOp({0xD9}, 7, E::kVars, kControlWord);  // fnstcw
});
const Code kCountdownBailout = Section([](E& e) {
  e.LoadInt(E::kVars, kCountdown);
  e.Bytes({0xFF, 0xC8});  // dec eax
  e.StoreInt(E::kVars, kCountdown);
  e.Bytes({0x0F, 0x95, 0xC0});  // setnz al
});
const Code kTrueBailout = Section([](E& e) { e.BoolLiteral(true); });
// Counts the calls of a coloring loop procedure in its variable block.
const Code kCountCall = Section([](E& e) { e.MemoryOp({0xFF}, 0, E::kVars, 0); });
const Code kIndexOne =
    Section([](E& e) { e.CopyExtended(E::kBlock, calc::kOne, E::kBlock, calc::kIndex); });

class FormulaProcedure : public ::testing::Test {
 protected:
  FormulaProcedure()
      : ret_(BuildReturnProcedure()),
        inside_final_(BuildColoringProcedure(kIndexOne, true, false, TColoringPart::kFinal)),
        outside_final_(BuildDefaultColoringFinal()) {
    block_.SetPointer(calc::kFormulaVars, formula_vars_);
    block_.SetPointer(calc::kInsideVars, inside_vars_);
    block_.SetPointer(calc::kOutsideVars, outside_vars_);
    block_.SetPointer(calc::kInsideInit, ret_.Data());
    block_.SetPointer(calc::kOutsideInit, ret_.Data());
    block_.SetPointer(calc::kInsideFinal, inside_final_.Data());
    block_.SetPointer(calc::kOutsideFinal, outside_final_.Data());
    block_.SetInt32(calc::kMaxIter, 10);
    block_.SetExtended(calc::kIndex, -1);
  }

  void Run(const Code& bailout) {
    const TCodeBuffer code = BuildFormulaProcedure(kInit, kLoop, bailout);
    CallProcedure(code.Data(), block_.Data());
  }
  int Var(int offset) const {
    std::int32_t v;
    std::memcpy(&v, reinterpret_cast<const char*>(formula_vars_) + offset, 4);
    return v;
  }
  void SetVar(int offset, std::int32_t v) {
    std::memcpy(reinterpret_cast<char*>(formula_vars_) + offset, &v, 4);
  }
  void SetStep(long double re, long double im) {
    std::memcpy(reinterpret_cast<char*>(formula_vars_) + kStepRe, &re, 10);
    std::memcpy(reinterpret_cast<char*>(formula_vars_) + kStepIm, &im, 10);
  }
  // Periodicity state as the calculation threads set it per pixel.
  void SetPeriodicity(std::uint32_t start, std::uint32_t mask, std::uint32_t countdown,
                      std::uint32_t reload, float tolerance) {
    block_.SetUInt32(calc::kPeriodicityStart, start);
    block_.SetUInt32(calc::kPeriodicityMask, mask);
    block_.SetUInt32(calc::kPeriodicityCountdown, countdown);
    block_.SetUInt32(calc::kPeriodicityReload, reload);
    block_.SetFloat32(calc::kPeriodicityTolerance, tolerance);
  }
  bool InsideFinalRan() const { return block_.Extended(calc::kIndex) == 1.0L; }

  TCalcBlock block_;
  alignas(16) std::uint64_t formula_vars_[8] = {};
  alignas(16) std::int32_t inside_vars_[4] = {};
  alignas(16) std::int32_t outside_vars_[4] = {};
  TCodeBuffer ret_, inside_final_, outside_final_;
};

// #numiter counts the iterations whose bailout held. Without a bailout section the
// loop runs once; the abort flag leaves the loop as an outside point.
TEST_F(FormulaProcedure, NumIterCountsTheIterationsBeforeTheBailoutFails) {
  const Code no_bailout;
  const struct {
    const char* What;
    const Code& Bailout;
    int Countdown;
    bool Abort;
    int Runs;
    int NumIter;
    bool Inside;
  } cases[] = {
      {"no bailout", no_bailout, 0, false, 1, 0, false},
      {"escapes at once", kCountdownBailout, 1, false, 1, 0, false},
      {"escapes", kCountdownBailout, 3, false, 3, 2, false},
      {"escapes at the limit", kCountdownBailout, 10, false, 10, 9, false},
      {"reaches #maxiter", kCountdownBailout, 0, false, 10, 10, true},  // dec gives -1
      {"aborted", kTrueBailout, 0, true, 1, 0, false},
  };
  for (const auto& c : cases) {
    SetVar(kCountdown, c.Countdown);
    SetVar(kLoopRuns, 0);
    SetVar(kInitMark, 0);
    block_.SetByte(calc::kAbort, c.Abort);
    block_.SetExtended(calc::kIndex, -1);
    Run(c.Bailout);
    EXPECT_EQ(Var(kInitMark), 7) << c.What;
    EXPECT_EQ(Var(kLoopRuns), c.Runs) << c.What;
    EXPECT_EQ(block_.Int32(calc::kNumIter), c.NumIter) << c.What;
    // The inside final writes 1, the outside one #numiter * 0.01.
    EXPECT_EQ(block_.Extended(calc::kIndex), c.Inside ? 1.0L : c.NumIter * 0.01L) << c.What;
  }
}

TEST_F(FormulaProcedure, PeriodicityStartDecidesWhetherAConstantOrbitIsChecked) {
  // #z stays constant. Start 0 never checks, so every iteration runs; checking from
  // the first iteration saves #z at ECX = 10 (10 & 1 = 0) and finds it again at 9.
  for (std::uint32_t start : {0u, 0xFFFFFFFFu}) {
    SetVar(kLoopRuns, 0);
    block_.SetExtended(calc::kIndex, -1);
    block_.SetComplex(calc::kZ, {0.5L, -0.25L});
    SetPeriodicity(start, 1, 4, 4, 0.0f);
    Run(kTrueBailout);
    EXPECT_EQ(Var(kLoopRuns), start == 0 ? 10 : 2) << start;
    EXPECT_EQ(block_.Int32(calc::kNumIter), 10) << start;
    EXPECT_TRUE(InsideFinalRan()) << start;
  }
}

TEST_F(FormulaProcedure, PeriodicityComparesBothPartsWithTheTolerance) {
  const struct {
    long double StepRe, StepIm;
    float Tolerance;
    bool Periodic;
  } cases[] = {
      {0.001L, 0.0L, 0.01f, true},  // within the tolerance
      {0.001L, 0.0L, 0.0001f, false},
      {0.0L, -0.001L, 0.0001f, false},  // only the imaginary part moves
      {-0.001L, 0.001L, 0.001f, true},  // equal to the tolerance is not greater
  };
  for (const auto& c : cases) {
    SetVar(kLoopRuns, 0);
    block_.SetComplex(calc::kZ, {1, 1});
    SetStep(c.StepRe, c.StepIm);
    SetPeriodicity(0xFFFFFFFF, 1, 4, 4, c.Tolerance);
    Run(kTrueBailout);
    EXPECT_EQ(Var(kLoopRuns), c.Periodic ? 2 : 10) << c.StepRe << " " << c.StepIm;
  }
}

TEST_F(FormulaProcedure, PeriodicitySavesTheReferenceAtGrowingIntervals) {
  // With mask 1, countdown 1 and reload 2 the reference is saved at ECX = 100, 96,
  // 92, 88, 80, 64, 48 and 32; the mask grows 3, 7, 15, 31 on the way.
  block_.SetInt32(calc::kMaxIter, 100);
  SetStep(1, 0);
  SetPeriodicity(0xFFFFFFFF, 1, 1, 2, 0.0f);
  Run(kTrueBailout);
  EXPECT_EQ(Var(kLoopRuns), 100);
  EXPECT_EQ(block_.UInt32(calc::kPeriodicityMask), 31u);
  EXPECT_EQ(block_.UInt32(calc::kPeriodicityCountdown), 1u);
  EXPECT_EQ(block_.Extended(calc::kPeriodicityRef), 69.0L);  // #z after iteration 69
}

TEST_F(FormulaProcedure, ColoringLoopProceduresRunOncePerContinuedIteration) {
  const TCodeBuffer inside_loop =
      BuildColoringProcedure(kCountCall, true, false, TColoringPart::kLoop);
  const TCodeBuffer outside_loop =
      BuildColoringProcedure(kCountCall, false, false, TColoringPart::kLoop);
  block_.SetPointer(calc::kInsideLoop, inside_loop.Data());
  SetVar(kCountdown, 4);
  Run(kCountdownBailout);
  EXPECT_EQ(inside_vars_[0], 3);  // not after the iteration whose bailout failed
  EXPECT_EQ(outside_vars_[0], 0);

  block_.SetPointer(calc::kOutsideLoop, outside_loop.Data());
  SetVar(kCountdown, 0);
  Run(kCountdownBailout);
  EXPECT_EQ(inside_vars_[0], 13);
  EXPECT_EQ(outside_vars_[0], 10);
}

TEST_F(FormulaProcedure, OrbitStoreRecordsEveryIteratedZ) {
  const Code none;
  const TCodeBuffer init = BuildColoringProcedure(none, false, true, TColoringPart::kInit);
  block_.SetPointer(calc::kOutsideInit, init.Data());
  // The loop procedure stores the #z it is given, with code that reads #z parked
  // or from its cell.
  for (bool z_parked : {false, true}) {
    const TCodeBuffer loop =
        BuildColoringProcedure(none, false, true, TColoringPart::kLoop, z_parked);
    block_.SetPointer(calc::kOutsideLoop, loop.Data());
    std::uint8_t orbit[11 * calc::kOrbitEntrySize] = {};
    block_.SetPointer(calc::kOrbitBuffer, orbit);
    block_.SetComplex(calc::kZ, {0.5L, -2});
    SetStep(1, 0.25L);
    SetVar(kCountdown, 4);
    Run(kCountdownBailout);

    // Entry 0 holds #z before the loop, entries 1 to 3 #z after the iterations
    // that continued; the write position points at entry 4.
    for (int i = 0; i < 4; ++i) {
      long double re = 0, im = 0;
      std::memcpy(&re, orbit + i * calc::kOrbitEntrySize, 10);
      std::memcpy(&im, orbit + i * calc::kOrbitEntrySize + 10, 10);
      EXPECT_EQ(re, 0.5L + i) << i << z_parked;
      EXPECT_EQ(im, -2 + 0.25L * i) << i << z_parked;
    }
    EXPECT_EQ(block_.Pointer(calc::kOutsideOrbitPos), orbit + 4 * calc::kOrbitEntrySize);
    EXPECT_EQ(block_.Pointer(calc::kInsideOrbitPos), nullptr);
  }
}

TEST_F(FormulaProcedure, RunsWithTheWorkingControlWordAndRestoresTheCallers) {
  // 53-bit precision, as another library might leave it.
  EXPECT_EQ(testing::ControlWordAfter(0x027F, [&] { Run({}); }), 0x027F);
  EXPECT_EQ(Var(kControlWord) & 0xFFFF, 0x137F);
}

TEST(Procedures, CalculationBlockIsAlignedAndHoldsItsConstants) {
  TCalcBlock block;
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.Data()) % 16, 0u);
  EXPECT_EQ(block.Extended(calc::kZero), 0.0L);
  EXPECT_EQ(block.Extended(calc::kOne), 1.0L);
  for (int offset : {calc::kZ, calc::kNumIter, calc::kInsideInit, calc::kAbort})
    EXPECT_EQ(block.Data()[offset], 0) << offset;
  block.SetComplex(calc::kZ, {1.5L, -2.5L});  // cells stay 16 bytes apart
  EXPECT_EQ(block.Extended(calc::kZ + 16), -2.5L);
  EXPECT_EQ(block.Extended(calc::kPeriodicityRef), 0.0L);
  // Memory owned by the block: aligned, zeroed, recorded in its cells.
  std::uint8_t* vars = block.Allocate(40, calc::kFormulaVars, calc::kFormulaAlloc);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(vars) % 16, 0u);
  EXPECT_EQ(block.Pointer(calc::kFormulaVars), vars);
  EXPECT_NE(block.Pointer(calc::kFormulaAlloc), nullptr);
  EXPECT_EQ(vars[0] | vars[39], 0);
}

TEST(Procedures, SectionCodeIsCopiedIntoFixedTemplates) {
  // The fixed parts are independent of the sections; an absent bailout costs the
  // two bytes that clear AL.
  const Code three = {0x90, 0x90, 0x90};
  const std::size_t formula = BuildFormulaProcedure({}, {}, kTrueBailout).Size();
  EXPECT_EQ(BuildFormulaProcedure(three, three, kTrueBailout).Size(), formula + 6);
  EXPECT_EQ(BuildFormulaProcedure({}, {}, {}).Size(), formula - kTrueBailout.size() + 2);
  EXPECT_EQ(BuildTransformProcedure(three).Size(), BuildTransformProcedure({}).Size() + 3);
  const TCodeBuffer ret = BuildReturnProcedure();
  ASSERT_EQ(ret.Size(), 1u);
  EXPECT_EQ(ret.Data()[0], 0xC3);
  EXPECT_TRUE(ret.Sealed());
}

TEST(Procedures, ExceptionFlagsAreClearedForACallerThatUnmasksThem) {
  // 1 / 0 sets the zero-divide flag under the working control word.
  const TCodeBuffer transform = BuildTransformProcedure(Section([](E& e) {
    e.Bytes({0xD9, 0xE8, 0xD9, 0xEE, 0xDE, 0xF9});  // fld1; fldz; fdivp
    e.PopToRegister(0);
  }));
  TCalcBlock block;
  const struct {
    std::uint16_t Caller;
    bool FlagLeft;
  } cases[] = {{0x037F, true}, {0x037B, false}};  // all masked; zero divide unmasked
  for (const auto& c : cases) {
    std::uint16_t status = 0;
    testing::ControlWordAfter(c.Caller, [&] {
      CallProcedure(transform.Data(), block.Data());
      asm volatile("fnstsw %0" : "=m"(status));
    });
    asm volatile("fnclex");
    EXPECT_EQ((status & 0x04) != 0, c.FlagLeft) << std::hex << c.Caller;
  }
}

// The usual 0x037F computes as the working word (bit 12 has no effect) and is
// kept, without the cost of loading another word.
TEST(Procedures, TransformationSeesItsVariablesAndKeepsAWordThatComputesAlike) {
  TCalcBlock block;
  alignas(16) std::uint8_t vars[32] = {};
  const long double value = -7.125L;
  std::memcpy(vars, &value, 10);
  block.SetPointer(calc::kTransformVars, vars);
  const TCodeBuffer transform = BuildTransformProcedure(Section([](E& e) {
    e.CopyExtended(E::kVars, 0, E::kBlock, calc::kPixel);
    e.MemoryOp({0xD9}, 7, E::kVars, 16);  // fnstcw
  }));
  EXPECT_EQ(
      testing::ControlWordAfter(0x037F, [&] { CallProcedure(transform.Data(), block.Data()); }),
      0x037F);
  EXPECT_EQ(block.Extended(calc::kPixel), value);
  EXPECT_EQ(vars[16] | vars[17] << 8, 0x037F);
}

}  // namespace
}  // namespace zt
