// Tests of the entry kinds: the labels each kind accepts, implied and default
// labels, what each kind's code may read, write and call, and the facts the kinds
// record while compiling (title, help, symmetry, writes #z, uses the orbit, reads #z).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formula/testing/compile_test_util.h"

namespace zt::testing {
namespace {

struct TRuleRow {
  TEntryKind Kind;
  const char* Body;
  const char* Error;  // empty: compiles
};

TEST(EntryKindsTest, SymbolAndFunctionRules) {
  const TRuleRow rows[] = {
      {TEntryKind::kFormula, "z = #pixel + #random + #screenmax + #screenpixel + #center\n", ""},
      {TEntryKind::kFormula,
       "z = #pi + #e + #maxiter + #width + #height + #x + #y + #magn + #angle\n", ""},
      {TEntryKind::kFormula, "bool b = #whitesq\n", ""},
      {TEntryKind::kFormula, "z = #numiter\n", "E50 2:5 Predefined symbol is not readable."},
      {TEntryKind::kFormula, "z = #index\n", "E50 2:5 Predefined symbol is not readable."},
      {TEntryKind::kFormula, "bool b = #solid\n", "E50 2:10 Predefined symbol is not readable."},
      {TEntryKind::kFormula, "z = #lastsqr\n", "E50 2:5 Predefined symbol is not readable."},
      {TEntryKind::kFormula, "#index = 1.0\n", "E51 2:1 Predefined symbol is not writeable."},
      {TEntryKind::kFormula, "z = oldz(1)\n", "E40 2:5 Invalid function."},
      {TEntryKind::kColoring, "loop:\nw = #z\nfinal:\n#index = #numiter + cabs(oldz(1) + w)\n", ""},
      {TEntryKind::kColoring, "final:\n#solid = true\n", ""},
      {TEntryKind::kColoring, "loop:\nw = #numiter\n",
       "E50 3:5 Predefined symbol is not readable."},
      {TEntryKind::kColoring, "loop:\nw = oldz(1)\n", "E40 3:5 Invalid function."},
      {TEntryKind::kColoring, "loop:\n#index = 1.0\n",
       "E51 3:1 Predefined symbol is not writeable."},
      {TEntryKind::kColoring, "final:\n#z = 0\n", "E51 3:1 Predefined symbol is not writeable."},
      {TEntryKind::kColoring, "final:\n#index = #lastsqr\n",
       "E50 3:10 Predefined symbol is not readable."},
      {TEntryKind::kTransformation, "#pixel = #pixel * #center + #magn + #angle + #x\n", ""},
      {TEntryKind::kTransformation, "#solid = #whitesq\n", ""},
      {TEntryKind::kTransformation, "w = #z\n", "E50 2:5 Predefined symbol is not readable."},
      {TEntryKind::kTransformation, "w = #maxiter\n", "E50 2:5 Predefined symbol is not readable."},
      {TEntryKind::kTransformation, "#z = 0\n", "E51 2:1 Predefined symbol is not writeable."},
      {TEntryKind::kTransformation, "#pixel = oldz(1)\n", "E40 2:10 Invalid function."},
  };
  for (const auto& row : rows)
    EXPECT_EQ(CompileSnippet(row.Kind, row.Body).Error, row.Error) << row.Body;
}

struct TLabelRow {
  TEntryKind Kind;
  const char* Body;
  const char* Sections;  // the section labels of the program, in order; or the error
};

std::string SectionsOf(const TCompileOutcome& outcome) {
  if (!outcome.Error.empty()) return outcome.Error;
  std::string sections;
  size_t start = 0;
  while (start < outcome.Program.size()) {
    size_t end = outcome.Program.find('\n', start);
    if (outcome.Program[start] == '[') sections += outcome.Program.substr(start, end - start);
    start = end + 1;
  }
  return sections;
}

TEST(EntryKindsTest, LabelsPerKind) {
  // Settings sections hold no statements, so they leave no trace in the program.
  const TLabelRow rows[] = {
      {TEntryKind::kFormula, "z = 0\n", "[INIT]"},
      {TEntryKind::kFormula, "loop:\nz = z * z\nbailout:\n|z| < 4\n", "[INIT][LOOP][BAILOUT?]"},
      {TEntryKind::kFormula, "z = 0\n:\nz = z * z\n|z| < 4\n", "[INIT][LOOP][BAILOUT?]"},
      {TEntryKind::kFormula, "init:\nz = 0\ndefault:\nmaxiter = 10\n", "[INIT]"},
      {TEntryKind::kFormula, "builtin:\ntype = 1\n", ""},
      {TEntryKind::kFormula, "final:\nz = 0\n", "E20 2:1 Invalid label encountered."},
      {TEntryKind::kColoring, "#index = 1.0\n", "[INIT][FINAL]"},
      {TEntryKind::kColoring, "init:\nw = 1\nloop:\nw = w\nfinal:\n#index = |w|\n",
       "[INIT][LOOP][FINAL]"},
      {TEntryKind::kColoring, ":\nw = 1\n",
       "E3 2:1 Label only consisting of a colon is not allowed."},
      {TEntryKind::kColoring, "bailout:\nw = 1\n", "E20 2:1 Invalid label encountered."},
      {TEntryKind::kTransformation, "#pixel = 1\n", "[TRANSFORM]"},
      {TEntryKind::kTransformation, "init:\n#pixel = 1\n", "E20 2:1 Invalid label encountered."},
  };
  for (const auto& row : rows)
    EXPECT_EQ(SectionsOf(CompileSnippet(row.Kind, row.Body)), row.Sections) << row.Body;
}

// Help pages relative to the collection and on the web are opened in
// FormulaTest.ShowHelpOpensPagesAtTheirTopicAndReportsAMissingBrowser.
TEST(EntryKindsTest, TitleAndHelp) {
  TempDir dir;
  auto file = dir.Write("help.zxf",
                        "Plain {\n#pixel = 1\n}\n"
                        "Local {\n#pixel = 1\ndefault:\ntitle = \"Local help\"\n}\n"
                        "Absolute {\n#pixel = 1\ndefault:\nhelpfile = \"/usr/t.htm\"\n}\n");
  TTransform transform;
  EXPECT_EQ(transform.Title(), "(None)");
  CompileEntry(transform, file.string(), "Plain");
  EXPECT_EQ(transform.Title(), "Plain");
  CompileEntry(transform, file.string(), "Local");
  EXPECT_EQ(transform.Title(), "Local help");
  CompileEntry(transform, file.string(), "Absolute");
  EXPECT_EQ(transform.HelpFile(), "/usr/t.htm");
}

TEST(EntryKindsTest, FormulaFactsAndSymmetry) {
  TempDir dir;
  auto file = dir.Write("facts.zfm",
                        "Writes(xaxis_noparm) {\nz = #pixel\n}\n"
                        "Reads(Origin) {\nw = z\n}\n"
                        "Plain {\nw = 1\n}\n"
                        "Odd(SOMETHING) {\nw = 1\n}\n");
  TFormula formula;
  struct {
    const char* Entry;
    bool WritesZ;
    int Symmetry;
  } rows[] = {{"Writes", true, 2}, {"Reads", false, 9}, {"Plain", false, 0}, {"Odd", false, 0}};
  for (const auto& row : rows) {
    EXPECT_EQ(CompileEntry(formula, file.string(), row.Entry).Error, "") << row.Entry;
    EXPECT_EQ(formula.WritesZ(), row.WritesZ) << row.Entry;
    EXPECT_EQ(formula.Symmetry(), row.Symmetry) << row.Entry;
  }
  const char* names[] = {"XAXIS",  "XAXIS_NOPARM",  "XAXIS_NOREAL", "XAXIS_NOIMAG",
                         "YAXIS",  "YAXIS_NOPARM",  "XYAXIS",       "XYAXIS_NOPARM",
                         "ORIGIN", "ORIGIN_NOPARM", "PI",           "PI_NOPARM"};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(SymmetryFromName(names[i]), i + 1) << names[i];
  EXPECT_EQ(SymmetryFromName("pi_noparm"), 12);
  EXPECT_EQ(SymmetryFromName(""), 0);
}

TEST(EntryKindsTest, ColoringFacts) {
  TempDir dir;
  auto file = dir.Write("facts.zcl",
                        "Orbit {\nfinal:\n#index = cabs(oldz(#numiter - 1))\n}\n"
                        "ReadsZ {\nloop:\nw = #z\nfinal:\n#index = cabs(w)\n}\n"
                        "Neither {\nfinal:\n#index = 0.5\n}\n");
  TColoring coloring(false);
  EXPECT_FALSE(coloring.Inside());
  struct {
    const char* Entry;
    bool UsesOrbit;
    bool ReadsZ;
  } rows[] = {{"Orbit", true, false}, {"ReadsZ", false, true}, {"Neither", false, false}};
  for (const auto& row : rows) {
    EXPECT_EQ(CompileEntry(coloring, file.string(), row.Entry).Error, "") << row.Entry;
    EXPECT_EQ(coloring.UsesOrbit(), row.UsesOrbit) << row.Entry;
    EXPECT_EQ(coloring.ReadsZ(), row.ReadsZ) << row.Entry;
  }
}

}  // namespace
}  // namespace zt::testing
