// Coloring settings, the gradient positions made from #index, and the
// procedures and variables a coloring puts into a calculation block.
#include "formula/entries/coloring.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/entry_thunk.h"
#include "formula/codegen/procedures.h"
#include "formula/testing/compile_test_util.h"
#include "formula/testing/runtime_test_util.h"

namespace zt::testing {
namespace {

std::uint16_t PositionFor(const TColoring& coloring, long double index, bool solid = false) {
  TCalcBlock block;
  block.SetExtended(calc::kIndex, index);
  block.SetByte(calc::kSolid, solid ? 1 : 0);
  return coloring.GradientPosition(block);
}

struct TPositionCase {
  const char* Name;
  int Transfer;
  long double Density;
  int Offset;
  bool Repeat;
  long double Index;
  int Expected;
};

TEST(ColoringTest, GradientPositions) {
  const long double kNaN = std::numeric_limits<long double>::quiet_NaN();
  const long double kInf = std::numeric_limits<long double>::infinity();
  const TPositionCase cases[] = {
      {"linear half", kTransferLinear, 1, 0, false, 0.5L, 25600},
      {"saturates below 1", kTransferLinear, 1, 0, false, 0.999L, 51072},
      {"saturates above 1", kTransferLinear, 1, 0, false, 2, 51072},
      {"negative is 0", kTransferLinear, 1, 0, false, -3, 0},
      {"density", kTransferLinear, 2, 0, false, 0.25L, 25600},
      {"offset wraps", kTransferLinear, 1, 10, false, 0.999L, 1152},
      {"repeat", kTransferLinear, 1, 0, true, 2.25L, 12800},
      {"repeat with offset", kTransferLinear, 1, 10, true, 2.25L, 14080},
      {"repeat wraps", kTransferLinear, 1, 399, true, 0.99L, 50560},
      {"half step rounds to even (down)", kTransferLinear, 1, 0, true, 1.0L / 4096, 12},
      {"half step rounds to even (up)", kTransferLinear, 1, 0, true, 3.0L / 4096, 38},
      {"sqr", kTransferSqr, 1, 0, false, 0.5L, 25600},
      {"sqrt", kTransferSqrt, 1, 0, false, 0.25L, 12800},
      {"cube", kTransferCube, 1, 0, false, 0.5L, 19200},
      {"cuberoot of 0", kTransferCubeRoot, 1, 0, false, 0, 0},
      {"cuberoot", kTransferCubeRoot, 1, 0, false, 0.125L, 8448},
      {"log", kTransferLog, 1, 0, false, 0.5L, 20760},
      {"exp is at least 1", kTransferExp, 1, 0, false, 0, 51072},
      {"sin", kTransferSin, 1, 0, false, 3, 7225},
      {"arctan", kTransferArcTan, 1, 0, false, 1, 40212},
      // sin(1e9) = 0.54584..., sin(1e12) = -0.61123...
      {"clamped to 1e9", kTransferSin, 1, 0, true, 1e12L, 27947},
      {"infinity is clamped", kTransferLinear, 1, 0, false, kInf, 51072},
      {"not a number is 0", kTransferLinear, 1, 5, true, kNaN, 640},
  };
  for (const auto& c : cases) {
    TColoring coloring(false);
    coloring.SetTransfer(c.Transfer);
    coloring.SetDensity(c.Density);
    coloring.SetOffset(c.Offset);
    coloring.SetRepeat(c.Repeat);
    EXPECT_EQ(PositionFor(coloring, c.Index), c.Expected) << c.Name;
  }
}

TEST(ColoringTest, SolidCodes) {
  TColoring inside(true);
  TColoring outside(false);
  // Transfer none (the inside default) gives the solid color whatever #index is.
  EXPECT_EQ(PositionFor(inside, 0.5L), 51200);
  outside.SetTransfer(kTransferNone);
  EXPECT_EQ(PositionFor(outside, 0.5L), 51201);
  // #solid wins over any transfer.
  inside.SetTransfer(kTransferLinear);
  outside.SetTransfer(kTransferLinear);
  EXPECT_EQ(PositionFor(inside, 0.5L, true), 51200);
  EXPECT_EQ(PositionFor(outside, 0.5L, true), 51201);
  EXPECT_EQ(PositionFor(inside, 0.5L), 25600);
}

TEST(ColoringTest, PositionIgnoresAndRestoresTheCallersControlWord) {
  TColoring coloring(false);
  coloring.SetRepeat(true);
  const std::uint16_t truncating = 0x0C7F;  // round toward zero, single precision
  std::uint16_t position = 0;
  EXPECT_EQ(ControlWordAfter(truncating, [&] { position = PositionFor(coloring, 3.0L / 4096); }),
            truncating);
  EXPECT_EQ(position, 38);  // 37.5 steps
}

TEST(ColoringTest, DefaultsAndSettersSignalOnlyRealChanges) {
  TColoring inside(true);
  TColoring outside(false);
  EXPECT_EQ(inside.Transfer(), kTransferNone);
  EXPECT_EQ(outside.Transfer(), kTransferLinear);
  EXPECT_EQ(outside.Density(), 1);
  EXPECT_EQ(outside.Offset(), 0);
  EXPECT_FALSE(outside.Repeat());

  int changes = 0;
  outside.OnChanged = [&](TLexical&) { ++changes; };
  outside.SetOffset(400);
  outside.SetOffset(-1);
  outside.SetOffset(0);
  outside.SetDensity(-1);
  outside.SetDensity(std::numeric_limits<long double>::quiet_NaN());
  outside.SetDensity(1);
  outside.SetTransfer(10);
  outside.SetTransfer(-1);
  outside.SetTransfer(kTransferLinear);
  outside.SetRepeat(false);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(outside.Offset(), 0);
  EXPECT_EQ(outside.Density(), 1);
  EXPECT_EQ(outside.Transfer(), kTransferLinear);

  outside.SetOffset(399);
  outside.SetDensity(0);
  outside.SetTransfer(kTransferArcTan);
  outside.SetRepeat(true);
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(outside.Offset(), 399);
  EXPECT_EQ(outside.Density(), 0);
}

// Runs the procedure of a layer without a formula (one iteration through the
// outside coloring) and returns the outside coloring's position.
std::uint16_t RunOneIteration(const TColoring& outside, TCalcBlock& block) {
  static const TCodeBuffer empty_formula = BuildEmptyFormulaProcedure();
  outside.FillCalcBlock(block);
  CallProcedure(empty_formula.Data(), block.Data());
  return outside.GradientPosition(block);
}

TEST(ColoringTest, FillCalcBlockInstallsBuiltInOrCompiledProcedures) {
  TCalcBlock block;
  TColoring outside(false);
  // Without an entry: #index = #numiter * 0.01 = 0.01.
  EXPECT_EQ(RunOneIteration(outside, block), 512);
  EXPECT_EQ(block.Pointer(calc::kOutsideLoop), nullptr);
  EXPECT_EQ(block.Pointer(calc::kOutsideVars), nullptr);

  TempDir dir;
  auto file = dir.Write("c.zcl",
                        "Quarter {\ninit:\nfloat q = 0.125\nloop:\nq = q * 2\n"
                        "final:\n#index = q + @shift\n"
                        "default:\nparam shift\ndefault = 0.0\nendparam\n}\n");
  ASSERT_EQ(CompileEntry(outside, file.string(), "Quarter").Error, "");
  ASSERT_GT(outside.VariableBlockSize(), 0);
  EXPECT_EQ(RunOneIteration(outside, block), 12800);  // 0.125 * 2
  EXPECT_EQ(block.Pointer(calc::kOutsideLoop), outside.LoopProcedure());
  auto* vars = static_cast<std::uint8_t*>(block.Pointer(calc::kOutsideVars));
  ASSERT_NE(vars, nullptr);
  EXPECT_NE(block.Pointer(calc::kOutsideAlloc), nullptr);
  EXPECT_EQ(block.UInt32(calc::kOutsideVarsSize),
            static_cast<std::uint32_t>(outside.VariableBlockSize() + 16));
  EXPECT_EQ(block.Pointer(calc::kInsideVars), nullptr);

  // Transfer none: the code is not run and no variables are made.
  outside.SetTransfer(kTransferNone);
  outside.FillCalcBlock(block);
  EXPECT_EQ(block.Pointer(calc::kOutsideLoop), nullptr);
  EXPECT_EQ(block.Pointer(calc::kOutsideVars), nullptr);
  EXPECT_EQ(block.UInt32(calc::kOutsideVarsSize), 0u);
  EXPECT_EQ(block.Pointer(calc::kOutsideFinal), TColoring(false).FinalProcedure());
}

}  // namespace
}  // namespace zt::testing
