// The formula entry's iteration settings, its filling of the calculation block,
// the procedure it hands out in every state, parameters applied from a
// parameter file, and opening its help.
#include "formula/entries/formula.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formula/entries/builtin_formula.h"
#include "formula/entries/coloring.h"
#include "formula/testing/code_test_util.h"
#include "formula/testing/compile_test_util.h"
#include "platform/error.h"

namespace zt::testing {
namespace {

int CountChanges(TFormula& formula, const std::function<void()>& action) {
  int changes = 0;
  formula.OnChanged = [&](TLexical&) { ++changes; };
  action();
  formula.OnChanged = nullptr;
  return changes;
}

TEST(FormulaTest, IterationSettingsIgnoreInvalidValuesAndReportRealChanges) {
  TFormula formula;
  EXPECT_EQ(CountChanges(formula, [&] { formula.SetMaxIterations(0); }), 0);
  EXPECT_EQ(CountChanges(formula, [&] { formula.SetMaxIterations(100); }), 0);
  EXPECT_EQ(CountChanges(formula, [&] { formula.SetMaxIterations(250); }), 1);
  EXPECT_EQ(formula.MaxIterations(), 250);
  EXPECT_EQ(CountChanges(formula, [&] { formula.SetPeriodicity(4); }), 0);
  EXPECT_EQ(CountChanges(formula, [&] { formula.SetPeriodicity(-1); }), 0);
  EXPECT_EQ(CountChanges(formula, [&] { formula.SetPeriodicity(3); }), 1);
  EXPECT_EQ(CountChanges(formula, [&] { formula.SetPeriodicity(3); }), 0);
  EXPECT_EQ(formula.Periodicity(), 3);
  EXPECT_EQ(CountChanges(formula, [&] { formula.SetMagnification(8); }), 0);
  EXPECT_EQ(formula.MaxIterations(), 250);  // not automatic
}

TEST(FormulaTest, AutomaticIterationsFollowTheMagnification) {
  TFormula formula;
  formula.SetAutomaticIterations(true);  // base (100, 1)
  struct {
    long double Magnification;
    int MaxIterations;
  } rows[] = {{4, 300}, {0.5L, 100}, {2, 200}, {1, 100}, {3, 258}, {1024, 1100}};
  for (const auto& row : rows) {
    formula.SetMagnification(row.Magnification);
    EXPECT_EQ(formula.MaxIterations(), row.MaxIterations) << row.Magnification;
  }
  formula.SetMagnification(0);  // no logarithm: ignored
  formula.SetMagnification(-2);
  EXPECT_EQ(formula.MaxIterations(), 1100);

  // A maximum set by hand becomes the new base, at the current magnification.
  formula.SetMaxIterations(50);
  formula.SetMagnification(2048);
  EXPECT_EQ(formula.MaxIterations(), 150);
  // Switching off and on again rebases too.
  formula.SetAutomaticIterations(false);
  formula.SetMagnification(1);
  EXPECT_EQ(formula.MaxIterations(), 150);
  formula.SetAutomaticIterations(true);
  formula.SetMagnification(4);
  EXPECT_EQ(formula.MaxIterations(), 350);
}

// The empty formula's orbit: one iteration to #z = 0, outside, with one call of the
// coloring's loop procedure.
TEST(FormulaTest, WithoutCodeTheProcedureShowsAOneIterationOrbit) {
  TFormula fresh;
  TFormula failed;
  CompileBody(failed, "z =");
  ASSERT_TRUE(failed.CompileFailed());
  TempDir dir;
  const auto file = dir.Write(
      "c.zcl",
      "Count {\ninit:\nint n = 0\nloop:\nn = n + 1\nfinal:\n#index = n * 100 + #numiter\n}\n");
  TColoring coloring(false);
  ASSERT_EQ(CompileEntry(coloring, file.string(), "Count").Error, "");
  for (TFormula* formula : {&fresh, &failed}) {
    EXPECT_FALSE(formula->HasCode());
    TCalcBlock block;
    block.SetPointer(calc::kOutsideInit, coloring.InitProcedure());
    block.SetPointer(calc::kOutsideLoop, coloring.LoopProcedure());
    block.SetPointer(calc::kOutsideFinal, coloring.FinalProcedure());
    TVariableBlock vars(coloring, block, calc::kOutsideVars);
    block.SetComplex(calc::kZ, {3, 4});
    formula->FillCalcBlock(block);
    EXPECT_EQ(block.Pointer(calc::kFormulaVars), nullptr);
    CallProcedure(formula->Procedure(), block.Data());
    EXPECT_EQ(block.Complex(calc::kZ), Complex(0, 0));
    EXPECT_EQ(block.Int32(calc::kNumIter), 1);
    EXPECT_EQ(block.Extended(calc::kIndex), 101);
  }
}

TEST(FormulaTest, FillCalcBlockWritesIterationsPeriodicityAndVariables) {
  TempDir dir;
  auto file = dir.Write("f.zfm",
                        "Iterates {\nc = #pixel * 0.5\nz = 0\nloop:\nz = z * z + c\n"
                        "bailout:\n|z| < 4\ndefault:\nmaxiter = 77\nperiodicity = 3\n}\n"
                        "Fixed {\nw = #pixel\n}\n"
                        "Nothing {\ndefault:\nmaxiter = 5\n}\n");
  TFormula formula;
  TCalcBlock block;
  ASSERT_EQ(CompileEntry(formula, file.string(), "Iterates").Error, "");
  formula.FillCalcBlock(block);
  EXPECT_EQ(block.Int32(calc::kMaxIter), 77);
  EXPECT_EQ(block.Byte(calc::kPeriodicityMode), 3);
  const int size = formula.VariableBlockSize();
  ASSERT_GT(size, 0);
  auto* vars = static_cast<std::uint8_t*>(block.Pointer(calc::kFormulaVars));
  ASSERT_NE(vars, nullptr);
  EXPECT_NE(block.Pointer(calc::kFormulaAlloc), nullptr);
  EXPECT_EQ(block.UInt32(calc::kFormulaVarsSize), static_cast<std::uint32_t>(size + 16));
  std::vector<std::uint8_t> expected(static_cast<std::size_t>(size));
  formula.StoreInitialValues(expected.data());
  EXPECT_EQ(std::vector<std::uint8_t>(vars, vars + size), expected);

  // No assignment to #z: periodicity checking is switched off for the block only.
  ASSERT_EQ(CompileEntry(formula, file.string(), "Fixed").Error, "");
  formula.SetPeriodicity(2);
  formula.FillCalcBlock(block);
  EXPECT_EQ(block.Byte(calc::kPeriodicityMode), 0);
  EXPECT_EQ(formula.Periodicity(), 2);

  ASSERT_EQ(CompileEntry(formula, file.string(), "Nothing").Error, "");
  ASSERT_EQ(formula.VariableBlockSize(), 0);
  formula.FillCalcBlock(block);
  EXPECT_EQ(block.Int32(calc::kMaxIter), 5);
  EXPECT_EQ(block.Pointer(calc::kFormulaVars), nullptr);
  EXPECT_EQ(block.Pointer(calc::kFormulaAlloc), nullptr);
  EXPECT_EQ(block.UInt32(calc::kFormulaVarsSize), 0u);
}

TEST(FormulaTest, BuiltInFormulaRunsWithItsParameterValuesInEitherVariant) {
  TFormula formula;
  ASSERT_EQ(CompileBody(formula, "builtin:\ntype = 1\ndefault:\nperiodicity = 0"), "");
  ASSERT_EQ(formula.BuiltInType(), 1);
  ASSERT_TRUE(formula.HasCode());
  formula.Params().Items(formula.Params().IndexOfName("Start")).SetAsComplex({0.25L, -0.125L});
  formula.Params().Items(formula.Params().IndexOfName("Bailout")).SetAsFloat(16);

  const TCodeBuffer nothing = BuildReturnProcedure();
  const Complex pixel(-0.7L, 0.3L);
  std::vector<const void*> procedures;
  std::vector<Complex> results;
  for (bool coloring_loop : {false, true}) {
    TCalcBlock block;
    for (int cell :
         {calc::kInsideInit, calc::kInsideFinal, calc::kOutsideInit, calc::kOutsideFinal})
      block.SetPointer(cell, nothing.Data());
    if (coloring_loop) block.SetPointer(calc::kOutsideLoop, nothing.Data());
    formula.FillCalcBlock(block);
    EXPECT_EQ(block.UInt32(calc::kFormulaVarsSize),
              static_cast<std::uint32_t>(builtin::kVarsSize + 16));
    block.SetComplex(calc::kPixel, pixel);
    procedures.push_back(formula.Procedure());
    CallProcedure(formula.Procedure(), block.Data());
    results.push_back(block.Complex(calc::kZ));
    EXPECT_EQ(block.Int32(calc::kNumIter), 100);  // inside the set
  }
  EXPECT_NE(procedures[0], procedures[1]);  // unrolled without coloring loop
  EXPECT_EQ(results[0], results[1]);
  Complex z = pixel + Complex(0.25L, -0.125L);
  for (int i = 0; i < 100; ++i)
    z = {z.real() * z.real() - z.imag() * z.imag() + pixel.real(),
         z.imag() * z.real() * 2 + pixel.imag()};
  EXPECT_EQ(results[0], z);
}

TEST(FormulaTest, ApplyingParametersKeepsTheSameEntryOrLoadsAnother) {
  TempDir dir;
  auto file = dir.Write("set.zfm",
                        "First {\nz = #pixel * @scale\ndefault:\nmaxiter = 500\n"
                        "method = onepass\nangle = 90\nparam scale\ndefault = 2.0\nendparam\n}\n"
                        "Second {\nz = fn1(#pixel) + @shift\ndefault:\nmaxiter = 40\n"
                        "periodicity = 1\nparam shift\ndefault = (1, 1)\nendparam\n}\n");
  TFormula formula;
  ASSERT_EQ(CompileEntry(formula, file.string(), "First").Error, "");

  int rebuilds = 0;
  formula.OnRebuilt = [&](TLexical&) { ++rebuilds; };
  formula.ApplyParameters("set.zfm", "first", 123, 3, {}, {});
  EXPECT_EQ(rebuilds, 0);  // same entry, no new values: the code stays
  EXPECT_EQ(formula.MaxIterations(), 123);
  EXPECT_EQ(formula.Periodicity(), 3);

  TParamValue shift;
  shift.Type = kTypeComplex;
  shift.Value.Re = -0.5L;
  shift.Value.Im = 0.25L;
  formula.ApplyParameters(file.string(), "Second", 300, 0, {{"Shift", shift}, {"Absent", shift}},
                          {{"fn1", 1}});
  EXPECT_EQ(formula.Code().EntryName, "Second");
  EXPECT_EQ(formula.MaxIterations(), 300);  // the file's, not the entry's 40
  EXPECT_EQ(formula.Periodicity(), 0);
  EXPECT_EQ(formula.Method(), kMethodGuessing);  // reset, then ignored in the entry
  EXPECT_EQ(formula.DefaultAngle(), 0);
  const TParam& param = formula.Params().Items(formula.Params().IndexOfName("shift"));
  EXPECT_EQ(param.AsComplex(), Complex(-0.5L, 0.25L));
  EXPECT_EQ(formula.Funcs().Items(0).FuncCode(), 1);
  formula.OnRebuilt = nullptr;
}

TEST(FormulaTest, ResetLeavesAnEmptyFormulaWithDefaults) {
  TFormula formula;
  ASSERT_EQ(CompileBody(formula, "z = #pixel\ndefault:\nmaxiter = 9\nperiodicity = 1"), "");
  formula.SetAutomaticIterations(true);
  formula.Reset();
  EXPECT_FALSE(formula.HasCode());
  EXPECT_EQ(formula.Title(), "(None)");
  EXPECT_EQ(formula.MaxIterations(), 100);
  EXPECT_EQ(formula.Periodicity(), 2);
  EXPECT_FALSE(formula.AutomaticIterations());
  EXPECT_NE(formula.Procedure(), nullptr);
}

TEST(FormulaTest, ShowHelpOpensPagesAtTheirTopicAndReportsAMissingBrowser) {
  TempDir dir;
  auto file =
      dir.Write("h.zfm",
                "None {\nz = 0\n}\n"
                "Page {\nz = 0\ndefault:\nhelpfile = \"doc/f.HTML\"\nhelptopic = \"t1\"\n}\n"
                "Web {\nz = 0\ndefault:\nhelpfile = \"http://x.org/f.htm\"\n}\n"
                "Other {\nz = 0\ndefault:\nhelpfile = \"f.chm\"\nhelptopic = \"t2\"\n}\n");
  const std::string folder = std::filesystem::absolute(dir.path()).string();
  struct {
    const char* Entry;
    const char* Opened;  // empty: nothing opened
    bool FailureShown;
  } rows[] = {{"None", "", false},
              {"Page", "", true},
              {"Web", "http://x.org/f.htm", true},
              {"Other", "", false}};
  TFormula formula;
  for (const auto& row : rows) {
    ASSERT_EQ(CompileEntry(formula, file.string(), row.Entry).Error, "");
    std::vector<std::string> opened;
    for (bool works : {true, false}) {
      auto open = [&](const std::string& target) {
        opened.push_back(target);
        return works;
      };
      if (works || !row.FailureShown) {
        EXPECT_NO_THROW(formula.ShowHelp(open)) << row.Entry;
        continue;
      }
      EXPECT_EQ(ErrorMessageOf([&] { formula.ShowHelp(open); }),
                "Could not locate HTML browser. \nMake sure the .HTM or .HTML extension is "
                "associated \nwith a web browser, such as Netscape Navigator.")
          << row.Entry;
    }
    const std::string entry = row.Entry;
    const std::string want = entry == "Page"    ? "file://" + folder + "/doc/f.HTML#t1"
                             : entry == "Other" ? folder + "/f.chm"
                                                : row.Opened;
    if (want.empty()) {
      EXPECT_TRUE(opened.empty()) << row.Entry;
    } else {
      EXPECT_EQ(opened, std::vector<std::string>(2, want)) << row.Entry;
    }
  }
}

}  // namespace
}  // namespace zt::testing
