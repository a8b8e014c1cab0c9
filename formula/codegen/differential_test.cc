// Differential tests: compiled code against the reference evaluator of the same
// program tables, to the bit (or both not-a-number). Random programs of every type,
// operator, function and control statement run in their init section, optimized and
// plain; every compiling entry of the shipped and Fractint formula collections runs
// its whole iteration on a grid of pixels, both ways.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "formula/testing/code_test_util.h"
#include "formula/testing/random_program.h"
#include "formula/testing/reference_evaluator.h"

namespace zt::testing {
namespace {

// Extended values agree to the bit; not-a-number agrees with any not-a-number.
bool SameExtended(const std::uint8_t* a, const std::uint8_t* b) {
  long double x, y;
  std::memcpy(&x, a, 10);
  std::memcpy(&y, b, 10);
  return std::memcmp(a, b, 10) == 0 || (std::isnan(x) && std::isnan(y));
}

bool SameValue(TValueType type, const std::uint8_t* a, const std::uint8_t* b) {
  switch (type) {
    case kTypeComplex: return SameExtended(a, b) && SameExtended(a + 16, b + 16);
    case kTypeFloat: return SameExtended(a, b);
    case kTypeInt: return std::memcmp(a, b, 4) == 0;
    case kTypeBool: return *a == *b;
  }
  return false;
}

// A formula that, right after translating its program, runs the same program
// through the reference evaluator on a copy of the block and variables that the
// compiled code will later get, and keeps what the reference left.
class TCheckedFormula : public TFormula {
 public:
  // What the reference runs: the init section, or the whole formula.
  bool WholeFormula = false;
  TCalcBlock Block;                // the starting block, also given to the code
  std::vector<std::uint8_t> Vars;  // the reference's variables afterwards
  TCalcBlock ReferenceBlock;       // the reference's block afterwards

 protected:
  void Generate() override {
    TFormula::Generate();
    std::memcpy(ReferenceBlock.Data(), Block.Data(), calc::kSize);
    TVariableBlock vars(Variables().DataSize());
    Variables().StoreConstants(vars.Data());
    TReferenceEvaluator reference(Program(), ReferenceBlock.Data(), vars.Data());
    if (WholeFormula)
      reference.RunFormula();
    else
      reference.RunSection("INIT");
    Vars.assign(vars.Data(), vars.Data() + Variables().DataSize());
  }
};

// Compiles `name` of `file` (the block prepared by `prepare`), runs the compiled
// procedure on the same block, and compares every variable and the cells of #z,
// #numiter and #pixel. Returns false when the entry does not compile.
template <typename Prepare>
bool RunBothWays(const std::string& file, const std::string& name, bool optimizing,
                 bool whole_formula, Prepare prepare, const std::string& what) {
  auto formula = std::make_unique<TCheckedFormula>();
  formula->SetOptimizing(optimizing);
  formula->WholeFormula = whole_formula;
  prepare(formula->Block);
  if (!CompileEntry(*formula, file, name).Error.empty() || !formula->HasCode() ||
      formula->BuiltInType() != 0)
    return false;
  TFormulaRun run(std::move(formula));
  TCheckedFormula& checked = static_cast<TCheckedFormula&>(*run.Formula);
  std::memcpy(run.Block.Data(), checked.Block.Data(), calc::kSize);
  // The coloring cells of the copied block point nowhere; install the run's.
  for (int cell : {calc::kInsideInit, calc::kInsideFinal, calc::kOutsideInit, calc::kOutsideFinal})
    run.Block.SetPointer(cell, run.Nothing.Data());
  run.Vars = std::make_unique<TVariableBlock>(checked, run.Block, calc::kFormulaVars);
  CallProcedure(checked.Procedure(), run.Block.Data());
  const TVariableList& variables = checked.Variables();
  for (int i = 0; i < variables.Count(); ++i) {
    const TVariable& v = variables.Item(i);
    if (v.Kind != TVariableKind::kVariable) continue;
    EXPECT_TRUE(SameValue(v.Type, checked.Vars.data() + v.Offset, run.Vars->Data() + v.Offset))
        << what << ": variable " << v.Name << (optimizing ? " (optimized)" : " (plain)");
  }
  EXPECT_TRUE(SameValue(kTypeComplex, checked.ReferenceBlock.Data() + calc::kZ,
                        run.Block.Data() + calc::kZ))
      << what << ": #z" << (optimizing ? " (optimized)" : " (plain)");
  if (whole_formula) {
    EXPECT_EQ(checked.ReferenceBlock.Int32(calc::kNumIter), run.Block.Int32(calc::kNumIter))
        << what << ": #numiter" << (optimizing ? " (optimized)" : " (plain)");
  }
  return true;
}

TEST(DifferentialTest, RandomProgramsAgreeOptimizedAndPlain) {
  TempDir dir;
  constexpr int kPrograms = 1500;
  int compiled = 0;
  for (std::uint32_t seed = 1; seed <= kPrograms; ++seed) {
    const std::string text = TRandomProgram(seed).Entry("Test", 14);
    auto file = dir.Write("random.zfm", text);
    for (bool optimizing : {true, false}) {
      bool ok = RunBothWays(
          file.string(), "Test", optimizing, false,
          [](TCalcBlock& block) {
            block.SetComplex(calc::kPixel, {0.375L, -0.625L});
          },
          "seed " + std::to_string(seed));
      ASSERT_TRUE(ok) << text;
      ++compiled;
    }
    if (HasFailure()) {
      ADD_FAILURE() << "program of seed " << seed << ":\n" << text;
      break;
    }
  }
  EXPECT_EQ(compiled, 2 * kPrograms);
}

// Every entry of `file` on a grid of pixels, optimized and plain; returns the
// number of entries that compiled.
int RunCollection(const std::filesystem::path& file) {
  TCode code;
  code.LoadFile(file.string());
  std::vector<std::string> names;
  for (; code.Found; code.FindNextEntry()) names.push_back(code.EntryName);
  int compiled = 0;
  for (const auto& name : names) {
    bool any = false;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x)
        for (bool optimizing : {true, false}) {
          auto prepare = [&](TCalcBlock& block) {
            block.SetComplex(calc::kPixel, {-1.5L + 1.1L * x, -1.0L + 0.9L * y});
            block.SetInt32(calc::kMaxIter, 60);
            block.SetInt32(calc::kX, x);
            block.SetInt32(calc::kY, y);
            block.SetInt32(calc::kWidth, 3);
            block.SetInt32(calc::kHeight, 3);
          };
          any |= RunBothWays(file.string(), name, optimizing, true, prepare,
                             file.filename().string() + " " + name);
        }
    if (any) ++compiled;
  }
  return compiled;
}

TEST(DifferentialTest, ShippedFormulasAgreeOnAGridOfPixels) {
  EXPECT_EQ(RunCollection(SourceDir() / "data" / "Standard.zfm"), 15);  // two are built-in
}

TEST(DifferentialTest, FractintFormulasAgreeOnAGridOfPixels) {
  if (FractintDir().empty()) GTEST_SKIP() << "no Fractint collection";
  int compiled = 0;
  for (const auto& item : std::filesystem::directory_iterator(FractintDir() / "frm"))
    if (item.is_regular_file()) compiled += RunCollection(item.path());
  EXPECT_GE(compiled, 690);
}

}  // namespace
}  // namespace zt::testing
