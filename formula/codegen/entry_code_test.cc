// Runs compiled entries end to end: values parked on the FPU against values in
// memory, the abort flag inside user loops, spills and coloring procedures. Whole
// formulas against the reference evaluator are in differential_test.cc.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/entry_thunk.h"
#include "formula/codegen/procedures.h"
#include "formula/testing/code_test_util.h"
#include "formula/testing/compile_test_util.h"
#include "formula/testing/random_program.h"

namespace zt::testing {
namespace {

// A formula that reports what its loop keeps on the FPU, or that never parks
// anything, for comparison.
class TParkingFormula : public TFormula {
 public:
  using TCompiler::Parked;
  bool Parks = true;

 protected:
  TParking Parking(const std::string& upper_name) const override {
    return Parks ? TFormula::Parking(upper_name) : TParking::kNone;
  }
};

class TParkingColoring : public TColoring {
 public:
  using TColoring::TColoring;
  using TCompiler::Parked;
};

// The run's #z, #numiter and #index, to the bit.
std::vector<std::uint8_t> Outcome(const TCalcBlock& block) {
  std::vector<std::uint8_t> bytes(block.Data() + calc::kZ, block.Data() + calc::kZ + 10);
  bytes.insert(bytes.end(), block.Data() + calc::kZ + 16, block.Data() + calc::kZ + 26);
  bytes.insert(bytes.end(), block.Data() + calc::kIndex, block.Data() + calc::kIndex + 10);
  bytes.insert(bytes.end(), block.Data() + calc::kNumIter, block.Data() + calc::kNumIter + 4);
  return bytes;
}

TEST(EntryCodeTest, ParkedValuesIterateExactlyLikeMemory) {
  TempDir dir;
  // Colorings whose loop procedure reads #z between iterations: from the FPU, or
  // from its cell where the loop needs every register.
  auto file = dir.Write(
      "colorings.txt",
      "Last {\ninit:\nfloat p = 0\nloop:\np = real(#z) * imag(#z)\nfinal:\n#index = p\n}\n"
      "Deep {\ninit:\ncomplex s = 0\nloop:\n"
      "s = s + (((#z + #z * 0.5) + #z * 0.25) + #z) * (((#z - #z * 1.5) + #z * 3) - #z)\n"
      "final:\n#index = real(s)\n}\n");
  TParkingColoring inside(true), outside(false);
  ASSERT_EQ(CompileEntry(inside, file.string(), "Last").Error, "");
  ASSERT_EQ(CompileEntry(outside, file.string(), "Deep").Error, "");
  EXPECT_FALSE(inside.Parked().empty());
  EXPECT_TRUE(outside.Parked().empty());
  const char* formulas[] = {
      "init:\n z = 0\nloop:\n z = z * z + #pixel\nbailout:\n |z| <= 4\n",
      "init:\n z = #pixel\nloop:\n z = sqr(z) + #pixel\nbailout:\n |z| < 4\n",
      "init:\n z = 0.1\n complex c = #pixel\nloop:\n"
      " complex w = z * z\n if real(w) > 0\n  w = w * z\n endif\n z = w + c - z * 0.25\n"
      "bailout:\n |z - c| < 16 && real(z) != 5\n",
      "init:\n z = #pixel\nloop:\n int i = 0\n while i < 3\n  i = i + 1\n endwhile\n"
      " z = z ^ 2 + #pixel / i\nbailout:\n |z| < 8\n",
      // #z written twice and copied while only its register is current; a float
      // that changes every iteration.
      "init:\n z = #pixel\n complex older = 0\n float t = 0\nloop:\n"
      " complex newer = sqr(z) + (0.55, 0.1) + (-0.45, 0) * older\n older = z\n z = newer\n"
      " t = t + 0.25\n if real(z) > 1\n  z = z * 0.5 + t\n endif\nbailout:\n |z| < 4 && t < 100\n",
  };
  // Without coloring loops nothing takes a parked #z to its cell during the loop.
  const struct {
    const char* What;
    std::uint32_t PeriodicityStart;
    bool Abort;
    bool ColoringLoops;
  } settings[] = {{"plain", 0, false, true},
                  {"periodicity", 0xFFFFFFFF, false, true},
                  {"abort", 0, true, true},
                  {"periodicity without coloring loops", 0xFFFFFFFF, false, false}};
  const Complex pixels[] = {{-0.75L, 0.1L}, {0.3L, 0.5L}, {-1.2L, 0},
                            {0.26L, 0},     {2, 2},       {-0.1L, 0.6L}};
  for (const char* body : formulas) {
    auto formula_file = dir.Write("formula.txt", std::string("Test {\n") + body + "}\n");
    auto parked = std::make_unique<TParkingFormula>();
    auto plain = std::make_unique<TParkingFormula>();
    plain->Parks = false;
    ASSERT_EQ(CompileEntry(*parked, formula_file.string(), "Test").Error, "") << body;
    ASSERT_EQ(CompileEntry(*plain, formula_file.string(), "Test").Error, "") << body;
    EXPECT_FALSE(parked->Parked().empty()) << body;
    EXPECT_TRUE(plain->Parked().empty()) << body;
    TFormulaRun runs[] = {TFormulaRun(std::move(parked)), TFormulaRun(std::move(plain))};
    for (const auto& setting : settings)
      for (Complex pixel : pixels) {
        std::vector<std::uint8_t> outcomes[2];
        for (int i = 0; i < 2; ++i) {
          TCalcBlock& block = runs[i].Block;
          block.SetPointer(calc::kInsideLoop,
                           setting.ColoringLoops ? inside.LoopProcedure() : nullptr);
          block.SetPointer(calc::kInsideFinal, inside.FinalProcedure());
          block.SetPointer(calc::kOutsideInit, outside.InitProcedure());
          block.SetPointer(calc::kOutsideLoop,
                           setting.ColoringLoops ? outside.LoopProcedure() : nullptr);
          block.SetPointer(calc::kOutsideFinal, outside.FinalProcedure());
          TVariableBlock inside_vars(inside, block, calc::kInsideVars);
          TVariableBlock outside_vars(outside, block, calc::kOutsideVars);
          block.SetUInt32(calc::kPeriodicityStart, setting.PeriodicityStart);
          block.SetUInt32(calc::kPeriodicityMask, 1);
          block.SetUInt32(calc::kPeriodicityCountdown, 4);
          block.SetUInt32(calc::kPeriodicityReload, 4);
          block.SetFloat32(calc::kPeriodicityTolerance, 1e-6f);
          block.SetByte(calc::kAbort, setting.Abort);
          runs[i].Run(pixel, 80);
          outcomes[i] = Outcome(block);
        }
        EXPECT_EQ(outcomes[0], outcomes[1]) << body << setting.What << " at " << pixel;
      }
  }
}

TEST(EntryCodeTest, RandomProgramsRunParkedExactlyAsInMemory) {
  TempDir dir;
  int parked_programs = 0;
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    std::string text = TRandomProgram(seed).Entry("Test", 14);
    // The statements become the loop section, which runs once without a bailout.
    text.insert(text.find('\n') + 1, "init:\nloop:\n");
    auto file = dir.Write("random.zfm", text);
    auto parked = std::make_unique<TParkingFormula>();
    auto plain = std::make_unique<TParkingFormula>();
    plain->Parks = false;
    ASSERT_EQ(CompileEntry(*parked, file.string(), "Test").Error, "") << text;
    ASSERT_EQ(CompileEntry(*plain, file.string(), "Test").Error, "") << text;
    parked_programs += !parked->Parked().empty();
    TFormulaRun runs[] = {TFormulaRun(std::move(parked)), TFormulaRun(std::move(plain))};
    std::vector<std::uint8_t> outcomes[2];
    for (int i = 0; i < 2; ++i) {
      runs[i].Run({0.375L, -0.625L}, 3);
      outcomes[i] = Outcome(runs[i].Block);
      // Every variable to the bit: the same instructions run on the same values.
      const TVariableList& variables = runs[i].Formula->Variables();
      for (int v = 0; v < variables.Count(); ++v) {
        const TVariable& variable = variables.Item(v);
        if (variable.Kind != TVariableKind::kVariable) continue;
        const std::uint8_t* at = runs[i].Vars->Data() + variable.Offset;
        const int size = variable.Type == kTypeComplex || variable.Type == kTypeFloat ? 10
                         : variable.Type == kTypeInt                                  ? 4
                                                                                      : 1;
        outcomes[i].insert(outcomes[i].end(), at, at + size);
        if (variable.Type == kTypeComplex) outcomes[i].insert(outcomes[i].end(), at + 16, at + 26);
      }
    }
    ASSERT_EQ(outcomes[0], outcomes[1]) << text;
  }
  EXPECT_GT(parked_programs, 150);
}

TEST(EntryCodeTest, ColoringReadsTheOrbitWithoutALoopSection) {
  TempDir dir;
  auto file = dir.Write("entry.txt",
                        "Plain {\nfinal:\n#index = #numiter\n}\n"
                        "Second {\nfinal:\n#index = real(oldz(2))\n}\n");
  TColoring coloring(false);
  ASSERT_EQ(CompileEntry(coloring, file.string(), "Plain").Error, "");
  EXPECT_EQ(coloring.LoopProcedure(), nullptr);
  EXPECT_NE(coloring.InitProcedure(), nullptr);
  EXPECT_NE(coloring.FinalProcedure(), nullptr);
  ASSERT_EQ(CompileEntry(coloring, file.string(), "Second").Error, "");
  ASSERT_NE(coloring.LoopProcedure(), nullptr);  // the orbit store needs it
  TFormulaRun run("init:\n z = 0\nloop:\n z = z + 1\nbailout:\n real(z) < 5\n");
  TCalcBlock& block = run.Block;
  block.Allocate(21 * calc::kOrbitEntrySize, calc::kOrbitBuffer);
  block.SetPointer(calc::kOutsideInit, coloring.InitProcedure());
  block.SetPointer(calc::kOutsideLoop, coloring.LoopProcedure());
  block.SetPointer(calc::kOutsideFinal, coloring.FinalProcedure());
  TVariableBlock vars(coloring, block, calc::kOutsideVars);
  run.Run({0, 0}, 20);
  // Entry 0 is the start value; entry 2 is z after the second iteration.
  EXPECT_EQ(block.Extended(calc::kIndex), 2.0L);
}

// Endless loops stop after one pass of the body once the flag is set.
TEST(EntryCodeTest, UserLoopsStopAtTheAbortFlag) {
  const std::string endless_while =
      "int i = 0\nwhile real(#pixel) == real(#pixel)\n i = i + 1\nendwhile\n#pixel = i\n";
  EXPECT_EQ(Transform(endless_while, {0, 0}, true), Complex(1, 0));
  const std::string endless_repeat =
      "int i = 0\nrepeat\n i = i + 1\nuntil real(#pixel) != real(#pixel)\n#pixel = i\n";
  EXPECT_EQ(Transform(endless_repeat, {0, 0}, true), Complex(1, 0));
}

TEST(EntryCodeTest, OperandsThatFillTheFpuOnBothSidesAreSpilled) {
  // Each side needs eight registers: neither fits above the other's value.
  const std::string body =
      "complex a = #pixel\n"
      "#pixel = (((a + a * 0.5) + a * 0.25) + a * 2.5) * (((a - a * 1.5) + a * 3) - a * 0.75)\n";
  auto entry = Compile<TTransform>("transform:\n" + body);
  bool spilled = false;
  for (int i = 0; i < entry->Variables().Count(); ++i)
    spilled |= entry->Variables().Item(i).Kind == TVariableKind::kTemporary;
  EXPECT_TRUE(spilled);
  const Complex a(0.3L, -0.2L);
  const Complex expected =
      (((a + a * 0.5L) + a * 0.25L) + a * 2.5L) * (((a - a * 1.5L) + a * 3.0L) - a * 0.75L);
  const Complex got = Transform(body, a);
  EXPECT_NEAR(static_cast<double>(got.real()), static_cast<double>(expected.real()), 1e-15);
  EXPECT_NEAR(static_cast<double>(got.imag()), static_cast<double>(expected.imag()), 1e-15);
}

TEST(EntryCodeTest, FailedCompilationLeavesNoCode) {
  TempDir dir;
  auto file = dir.Write("entry.txt",
                        "Good {\ntransform:\n#pixel = #pixel * 2\n}\n"
                        "Bad {\ntransform:\n#pixel = \n}\n");
  TTransform entry;
  EXPECT_EQ(CompileEntry(entry, file.string(), "Good").Error, "");
  EXPECT_NE(entry.Procedure(), nullptr);
  EXPECT_NE(CompileEntry(entry, file.string(), "Bad").Error, "");
  EXPECT_EQ(entry.Procedure(), nullptr);
  EXPECT_EQ(entry.VariableBlockSize(), 0);
}

}  // namespace
}  // namespace zt::testing
