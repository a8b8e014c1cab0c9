// Tests of recompiling a document's entries after their collection was saved.
#include "document/entry_recompile.h"

#include <gtest/gtest.h>

#include "document/fractal_test_util.h"
#include "platform/atomic_output.h"

namespace zt::testing {
namespace {

class EntryRecompileTest : public FractalTest {};

constexpr const char* kVersion1 =
    "Grow {\nloop:\n  z = z * @factor + #pixel\nbailout:\n  |z| < 4\ndefault:\n"
    "  maxiter = 30\n  param factor\n    default = 2.0\n  endparam\n}\n";
constexpr const char* kVersion2 =
    "Grow {\nloop:\n  z = z * @factor + #pixel + @shift\nbailout:\n  |z| < 4\ndefault:\n"
    "  maxiter = 70\n  param factor\n    default = 2.0\n  endparam\n"
    "  param shift\n    default = 0.5\n  endparam\n}\n";

TEST_F(EntryRecompileTest, TheSavedEntryCompilesAnewKeepingTheLayersValues) {
  const std::string file = dir_.Write("grow.zfm", kVersion1).string();
  auto fractal = NewFractal(8, 6, "Mandel");
  fractal->AddLayer("Second");
  TFormula& formula = fractal->Layers()[1].Formula();
  formula.SetEntry(file, "Grow");
  formula.Params().Items(0).SetValue({kTypeFloat, SlotFromLiteral(TLiteral::MakeFloat(3))});
  formula.SetMaxIterations(44);
  Finish(*fractal);

  WriteFileAtomically(file, kVersion2);
  std::vector<std::string> problems;
  EXPECT_EQ(RecompileEntriesFrom(*fractal, dir_.path().string() + "/./grow.zfm", problems), 1);
  EXPECT_TRUE(problems.empty());
  ASSERT_EQ(formula.Params().Count(), 2);
  EXPECT_EQ(formula.Params().Items(0).Value().Re, 3);
  EXPECT_EQ(formula.MaxIterations(), 44);
  EXPECT_TRUE(fractal->Layers()[0].Formula().HoldsEntry(file_, "Mandel"));

  // An entry gone from the file keeps its code and is reported.
  WriteFileAtomically(file, "Other {\n  z = 0\n}\n");
  EXPECT_EQ(RecompileEntriesFrom(*fractal, file, problems), 0);
  EXPECT_EQ(problems,
            std::vector<std::string>{"Could not find the entry 'Grow' in '" + file + "'"});
  EXPECT_TRUE(formula.HasCode());
  Finish(*fractal);
}

}  // namespace
}  // namespace zt::testing
