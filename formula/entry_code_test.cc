// Runs compiled entries end to end: formulas against a long double reference
// loop and random programs against the reference evaluator, control statements,
// the abort flag inside user loops, spills, coloring procedures, and the two
// passes agreeing on every entry of the shipped and Fractint collections.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "formula/calc_block.h"
#include "formula/compile_test_util.h"
#include "formula/entry_thunk.h"
#include "formula/procedures.h"
#include "testing/random_program.h"
#include "testing/reference_evaluator.h"

namespace zt::testing {
namespace {

using Complex = std::complex<long double>;

// An entry's variable block, 16-aligned, filled with its initial values and
// installed in the block cell the entry's code reads it from.
class TVariableBlock {
 public:
  explicit TVariableBlock(int size) : storage_(static_cast<std::size_t>(size) + 16) {
    auto address = reinterpret_cast<std::uintptr_t>(storage_.data());
    data_ = storage_.data() + ((16 - address % 16) % 16);
  }
  TVariableBlock(const TFormulaBase& entry, TCalcBlock& block, int cell)
      : TVariableBlock(entry.VariableBlockSize()) {
    entry.StoreInitialValues(data_);
    block.SetPointer(cell, data_);
  }
  std::uint8_t* Data() { return data_; }

 private:
  std::vector<std::uint8_t> storage_;
  std::uint8_t* data_;
};

template <typename TEntry>
std::unique_ptr<TEntry> Compile(const std::string& body) {
  TempDir dir;
  auto file = dir.Write("entry.txt", "Test {\n" + body + "}\n");
  auto entry = std::make_unique<TEntry>();
  TCompileOutcome outcome = CompileEntry(*entry, file.string(), "Test");
  EXPECT_EQ(outcome.Error, "") << body;
  return entry;
}

// Runs a transformation on #pixel = `pixel` and returns the new #pixel.
Complex Transform(const std::string& body, Complex pixel, bool abort = false) {
  auto entry = Compile<TTransform>("transform:\n" + body);
  EXPECT_NE(entry->Procedure(), nullptr);
  TCalcBlock block;
  TVariableBlock vars(*entry, block, calc::kTransformVars);
  block.SetComplex(calc::kPixel, pixel);
  block.SetByte(calc::kAbort, abort ? 1 : 0);
  CallProcedure(entry->Procedure(), block.Data());
  return block.Complex(calc::kPixel);
}

// The formula procedure with coloring procedures that do nothing.
struct TFormulaRun {
  explicit TFormulaRun(const std::string& body) : TFormulaRun(Compile<TFormula>(body)) {}
  explicit TFormulaRun(std::unique_ptr<TFormula> compiled) : formula(std::move(compiled)) {
    for (int cell : {calc::kInsideInit, calc::kInsideFinal, calc::kOutsideInit, calc::kOutsideFinal})
      block.SetPointer(cell, nothing.Data());
  }
  void Run(Complex pixel, int maxiter) {
    vars = std::make_unique<TVariableBlock>(*formula, block, calc::kFormulaVars);
    block.SetComplex(calc::kPixel, pixel);
    block.SetInt32(calc::kMaxIter, maxiter);
    CallProcedure(formula->Procedure(), block.Data());
  }

  std::unique_ptr<TFormula> formula;
  TCodeBuffer nothing = BuildReturnProcedure();
  TCalcBlock block;
  std::unique_ptr<TVariableBlock> vars;
};

TEST(EntryCodeTest, MandelbrotMatchesReferenceLoop) {
  TFormulaRun run("init:\n z = 0\nloop:\n z = z * z + #pixel\nbailout:\n |z| <= 4\n");
  ASSERT_NE(run.formula->Procedure(), nullptr);
  const Complex points[] = {{-0.75L, 0.1L}, {0.3L, 0.5L}, {-1.2L, 0.2L}, {0.26L, 0},
                            {2, 2},         {-0.1L, 0.1L}, {0.5L, 0.5L}, {-2, 0}};
  for (Complex c : points) {
    const int maxiter = 60;
    long double x = 0, y = 0;
    int n = 0;
    while (n < maxiter) {
      const long double re = x * x - y * y + c.real();
      y = 2 * x * y + c.imag();
      x = re;
      if (!(x * x + y * y <= 4)) break;
      ++n;
    }
    run.Run(c, maxiter);
    EXPECT_EQ(run.block.Int32(calc::kNumIter), n) << c;
    EXPECT_NEAR(static_cast<double>(run.block.Complex(calc::kZ).real()), static_cast<double>(x),
                1e-9)
        << c;
  }
}

// A formula that also runs its optimized program through the reference evaluator,
// on the same pixel, before the program is released after code generation.
class TCheckedFormula : public TFormula {
 public:
  static constexpr long double kPixelRe = 0.375L, kPixelIm = -0.625L;
  std::vector<std::uint8_t> Expected;  // the variable block after the init section

 protected:
  void Generate() override {
    TFormula::Generate();
    TCalcBlock block;
    block.SetComplex(calc::kPixel, {kPixelRe, kPixelIm});
    TVariableBlock vars(Variables().DataSize());
    Variables().StoreConstants(vars.Data());
    TReferenceEvaluator reference(Program(), block.Data(), vars.Data());
    reference.RunSection("INIT");
    Expected.assign(vars.Data(), vars.Data() + Variables().DataSize());
  }
};

// Extended values agree to the bit; not-a-number agrees with any not-a-number.
bool SameExtended(const std::uint8_t* a, const std::uint8_t* b) {
  long double x, y;
  std::memcpy(&x, a, sizeof x);
  std::memcpy(&y, b, sizeof y);
  return std::memcmp(a, b, 10) == 0 || (std::isnan(x) && std::isnan(y));
}

TEST(EntryCodeTest, RandomProgramsComputeWhatTheReferenceEvaluatorComputes) {
  TCompilerSettingsGuard settings(false, false);
  int checked = 0;
  for (std::uint32_t seed = 1; seed <= 800; ++seed) {
    const std::string text = TRandomProgram(seed).Entry("Test", 14);
    // The reference evaluator tests the condition of an ELSEIF that follows a
    // taken branch instead of leaving the chain; such programs wait for its mend.
    if (text.find("elseif") != std::string::npos) continue;
    ++checked;
    TempDir dir;
    auto file = dir.Write("random.zfm", text);
    auto formula = std::make_unique<TCheckedFormula>();
    ASSERT_EQ(CompileEntry(*formula, file.string(), "Test").Error, "") << text;
    const std::vector<std::uint8_t> expected = formula->Expected;
    TFormulaRun run(std::move(formula));
    run.Run({TCheckedFormula::kPixelRe, TCheckedFormula::kPixelIm}, 1);
    const std::uint8_t* got = run.vars->Data();
    const TVariableList& variables = run.formula->Variables();
    for (int i = 0; i < variables.Count(); ++i) {
      const TVariable& v = variables.Item(i);
      if (v.Kind != TVariableKind::Variable) continue;
      const std::uint8_t* want = expected.data() + v.Offset;
      const std::uint8_t* have = got + v.Offset;
      bool same = false;
      switch (v.Type) {
        case vtComplex:
          same = SameExtended(want, have) && SameExtended(want + 16, have + 16);
          break;
        case vtFloat: same = SameExtended(want, have); break;
        case vtInt: same = std::memcmp(want, have, 4) == 0; break;
        case vtBool: same = *want == *have; break;
      }
      EXPECT_TRUE(same) << "seed " << seed << ", variable " << v.Name << "\n" << text;
    }
  }
  EXPECT_GE(checked, 120);
}

TEST(EntryCodeTest, ModulusFunctionLeavesOneFloat) {
  // cabs is a float to the checker; the value below it must survive the call.
  EXPECT_EQ(Transform("#pixel = cabs(#pixel) + 0.5\n", {3, 4}), Complex(5.5L, 0));
  EXPECT_EQ(Transform("float f = 2\n#pixel = f * cabs(#pixel) + f\n", {3, 4}), Complex(12, 0));
}

TEST(EntryCodeTest, ColoringProceduresKeepTheirVariablesThroughThePixel) {
  TempDir dir;
  auto file = dir.Write("entry.txt",
                        "Count {\ninit:\nfloat s = 0.5\nloop:\ns = s + 1\nfinal:\n#index = s\n}\n"
                        "Plain {\nfinal:\n#index = #numiter\n}\n");
  TColoring coloring(false);
  ASSERT_EQ(CompileEntry(coloring, file.string(), "Count").Error, "");
  ASSERT_NE(coloring.LoopProcedure(), nullptr);
  TFormulaRun run("init:\n z = 0\nloop:\n z = z * z + #pixel\nbailout:\n |z| <= 4\n");
  run.block.SetPointer(calc::kOutsideInit, coloring.InitProcedure());
  run.block.SetPointer(calc::kOutsideLoop, coloring.LoopProcedure());
  run.block.SetPointer(calc::kOutsideFinal, coloring.FinalProcedure());
  TVariableBlock vars(coloring, run.block, calc::kOutsideVars);
  run.Run({0.5L, 0.5L}, 100);
  const int n = run.block.Int32(calc::kNumIter);
  EXPECT_GT(n, 0);
  EXPECT_LT(n, 100);
  // The loop procedure runs after every iteration whose bailout held.
  EXPECT_EQ(run.block.Extended(calc::kIndex), n + 0.5L);

  ASSERT_EQ(CompileEntry(coloring, file.string(), "Plain").Error, "");
  EXPECT_EQ(coloring.LoopProcedure(), nullptr);
  EXPECT_NE(coloring.InitProcedure(), nullptr);
  EXPECT_NE(coloring.FinalProcedure(), nullptr);
}

TEST(EntryCodeTest, FormulaWithoutBailoutIteratesOnce) {
  TFormulaRun run("init:\n z = 0\nloop:\n z = z + 1\n");
  run.Run({0, 0}, 50);
  EXPECT_EQ(run.block.Int32(calc::kNumIter), 0);
  EXPECT_EQ(run.block.Complex(calc::kZ), Complex(1, 0));
}

TEST(EntryCodeTest, EveryBranchOfAnIfChainReachesTheCommonEnd) {
  const std::string body =
      "float x = real(#pixel)\n"
      "if x < 1\n #pixel = 10\n"
      "elseif x < 2\n #pixel = 20\n"
      "elseif x < 3\n #pixel = 30\n"
      "else\n #pixel = 40\n"
      "endif\n"
      "#pixel = #pixel + (0, 1)\n";
  EXPECT_EQ(Transform(body, {0.5L, 0}), Complex(10, 1));
  EXPECT_EQ(Transform(body, {1.5L, 0}), Complex(20, 1));
  EXPECT_EQ(Transform(body, {2.5L, 0}), Complex(30, 1));
  EXPECT_EQ(Transform(body, {3.5L, 0}), Complex(40, 1));
  // Without ELSE a false condition skips to the end.
  const std::string no_else = "if real(#pixel) > 0\n #pixel = 5\nendif\n#pixel = #pixel * 2\n";
  EXPECT_EQ(Transform(no_else, {1, 0}), Complex(10, 0));
  EXPECT_EQ(Transform(no_else, {-1, 3}), Complex(-2, 6));
}

TEST(EntryCodeTest, UserLoopsRunUntilTheirConditionOrTheAbortFlag) {
  const std::string while_loop =
      "int i = 0\nfloat s = 0\n"
      "while i < 10\n s = s + i\n i = i + 1\nendwhile\n"
      "#pixel = s\n";
  EXPECT_EQ(Transform(while_loop, {0, 0}), Complex(45, 0));
  const std::string repeat_loop = "int n = 1\nrepeat\n n = n * 2\nuntil n > 100\n#pixel = n\n";
  EXPECT_EQ(Transform(repeat_loop, {0, 0}), Complex(128, 0));
  // Endless loops stop after one pass of the body once the flag is set.
  const std::string endless_while =
      "int i = 0\nwhile real(#pixel) == real(#pixel)\n i = i + 1\nendwhile\n#pixel = i\n";
  EXPECT_EQ(Transform(endless_while, {0, 0}, true), Complex(1, 0));
  const std::string endless_repeat =
      "int i = 0\nrepeat\n i = i + 1\nuntil real(#pixel) != real(#pixel)\n#pixel = i\n";
  EXPECT_EQ(Transform(endless_repeat, {0, 0}, true), Complex(1, 0));
}

TEST(EntryCodeTest, OperandsThatFillTheFpuOnBothSidesAreSpilled) {
  // Each side needs eight registers: neither fits above the other's value.
  auto entry = Compile<TTransform>(
      "transform:\n"
      "complex a = #pixel\n"
      "#pixel = (((a + a * 0.5) + a * 0.25) + a * 2.5) * (((a - a * 1.5) + a * 3) - a * 0.75)\n");
  bool spilled = false;
  for (int i = 0; i < entry->Variables().Count(); ++i)
    spilled |= entry->Variables().Item(i).Kind == TVariableKind::Temporary;
  EXPECT_TRUE(spilled);
  const Complex a(0.3L, -0.2L);
  const Complex expected = (((a + a * 0.5L) + a * 0.25L) + a * 2.5L) *
                           (((a - a * 1.5L) + a * 3.0L) - a * 0.75L);
  const Complex got = Transform(
      "complex a = #pixel\n"
      "#pixel = (((a + a * 0.5) + a * 0.25) + a * 2.5) * (((a - a * 1.5) + a * 3) - a * 0.75)\n",
      a);
  EXPECT_NEAR(static_cast<double>(got.real()), static_cast<double>(expected.real()), 1e-15);
  EXPECT_NEAR(static_cast<double>(got.imag()), static_cast<double>(expected.imag()), 1e-15);
}

TEST(EntryCodeTest, FailedCompilationLeavesNoCode) {
  TempDir dir;
  auto file = dir.Write("entry.txt", "Good {\ntransform:\n#pixel = #pixel * 2\n}\n"
                                     "Bad {\ntransform:\n#pixel = \n}\n");
  TTransform entry;
  EXPECT_EQ(CompileEntry(entry, file.string(), "Good").Error, "");
  EXPECT_NE(entry.Procedure(), nullptr);
  EXPECT_NE(CompileEntry(entry, file.string(), "Bad").Error, "");
  EXPECT_EQ(entry.Procedure(), nullptr);
  EXPECT_EQ(entry.VariableBlockSize(), 0);
}

// Every section of every entry that compiles is emitted exactly as measured: the
// emitter refuses to write past the measured size, and a shorter emission fails
// the compilation; both would escape as exceptions here.
// Returns the number of entries that compiled; `entries` receives how many there are.
int CompileCollection(TFormulaBase& entry, const std::filesystem::path& file,
                      int* entries = nullptr) {
  TCode& code = entry.Code();
  code.LoadFile(file.string());
  std::vector<std::pair<int, int>> places;
  for (; code.Found; code.FindNextEntry()) places.emplace_back(code.HeaderLine, code.HeaderColumn);
  if (entries) *entries = static_cast<int>(places.size());
  int compiled = 0;
  for (auto [line, column] : places) {
    EXPECT_NO_THROW(entry.SetEntryAt(file.string(), line, column)) << file << ":" << line + 1;
    if (!entry.CompileFailed()) ++compiled;
  }
  return compiled;
}

TEST(EntryCodeTest, ShippedCollectionsCompileToCode) {
  TCompilerSettingsGuard settings(true, false);
  TFormula formula;
  TColoring coloring(true);
  TTransform transform;
  const std::pair<TFormulaBase*, const char*> collections[] = {
      {&formula, "Standard.zfm"}, {&coloring, "Standard.zcl"}, {&transform, "Standard.zxf"}};
  for (auto [entry, name] : collections) {
    int entries = 0;
    EXPECT_EQ(CompileCollection(*entry, SourceDir() / "data" / name, &entries), entries) << name;
    EXPECT_GT(entries, 0) << name;
  }
}

TEST(EntryCodeTest, FractintFormulasCompileToCode) {
  if (FractintDir().empty()) GTEST_SKIP() << "no Fractint files";
  TCompilerSettingsGuard settings(false, false);
  int compiled = 0;
  for (const auto& item : std::filesystem::directory_iterator(FractintDir() / "frm")) {
    if (!item.is_regular_file()) continue;
    TFormula formula;
    compiled += CompileCollection(formula, item.path());
  }
  EXPECT_GE(compiled, 694);
}

}  // namespace
}  // namespace zt::testing
