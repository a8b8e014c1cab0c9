// Tests of the type checker: types and conversions of every node family, the
// statement and construct rules, definite initialization, and the warnings.
#include "formula/language/checker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formula/testing/compile_test_util.h"

namespace zt::testing {
namespace {

struct TTypeRow {
  const char* Body;
  const char* Program;  // the typed program, without the "[INIT]" line
};

// Compiles without errors and warnings about anything but unused results.
void ExpectPrograms(const std::vector<TTypeRow>& rows) {
  for (const auto& row : rows) {
    auto outcome = CompileSnippet(TEntryKind::kFormula, row.Body);
    EXPECT_EQ(outcome.Error, "") << row.Body;
    EXPECT_EQ(outcome.Program, std::string("[INIT]\n") + row.Program) << row.Body;
  }
}

TEST(CheckerTest, ArithmeticConvertsToTheWiderType) {
  ExpectPrograms({
      // Division of ints is float division.
      {"float f = 3 / 2\n", "(= f:f (/ (tofloat 3:i):f (tofloat 2:i):f):f):f\n"},
      {"int k = 7 % 3\n", "(= k:i (% 7:i 3:i):i):i\n"},
      {"float f = 7 % 2.5\n", "(= f:f (% (tofloat 7:i):f 2.5:f):f):f\n"},
      {"int k = 2 * 3 - 1\n", "(= k:i (- (* 2:i 3:i):i 1:i):i):i\n"},
      // Complex arithmetic takes float operands directly, except a divided left side.
      {"z = z + 1\n", "(= #z:c (+ #z:c (tofloat 1:i):f):c):c\n"},
      {"z = 2 * z\n", "(= #z:c (* (tofloat 2:i):f #z:c):c):c\n"},
      {"z = 2 / z\n", "(= #z:c (/ (tocomplex 2:i):c #z:c):c):c\n"},
      {"z = z / 2\n", "(= #z:c (/ #z:c (tofloat 2:i):f):c):c\n"},
      // A divided power stays complex in a complex context.
      {"z = 2 ^ 3 / z\n", "(= #z:c (/ (^ (tocomplex 2:i):c (tocomplex 3:i):c):c #z:c):c):c\n"},
      // Powers are complex when the context wants complex, float otherwise.
      {"z = 2 ^ 3\n", "(= #z:c (^ (tocomplex 2:i):c (tocomplex 3:i):c):c):c\n"},
      {"float f = 2 ^ 3\n", "(= f:f (^ (tofloat 2:i):f (tofloat 3:i):f):f):f\n"},
      {"int k = -3\n", "(= k:i (neg 3:i):i):i\n"},
      {"float f = |2|\n", "(= f:f (mod (tocomplex 2:i):c):f):f\n"},
  });
}

TEST(CheckerTest, ComparisonsAndLogic) {
  ExpectPrograms({
      {"bool b = 1 == 2.0\n", "(= b:b (== (tofloat 1:i):f 2.0:f):b):b\n"},
      {"bool b = z != 1\n", "(= b:b (!= #z:c (tocomplex 1:i):c):b):b\n"},
      // Ordering a complex value compares its real part.
      {"bool b = 1 < z\n", "(= b:b (< (tofloat 1:i):f (real #z:c):f):b):b\n"},
      {"bool b = 1 <= 2\n", "(= b:b (<= 1:i 2:i):b):b\n"},
      {"bool b = 1 && true\n", "(= b:b (&& (!= 1:i 0:i):b true:b):b):b\n"},
      {"bool b = !z\n", "(= b:b (! (!= (real #z:c):f 0.0:f):b):b):b\n"},
  });
}

TEST(CheckerTest, FunctionArgumentsAndResults) {
  ExpectPrograms({
      {"z = sin(1)\n", "(= #z:c (tocomplex (sin (tofloat 1:i):f):f):c):c\n"},
      {"z = sin(z)\n", "(= #z:c (sin #z:c):c):c\n"},
      {"int k = sqr(3)\n", "(= k:i (sqr 3:i):i):i\n"},
      {"float f = cabs(1)\n", "(= f:f (cabs (tocomplex 1:i):c):f):f\n"},
      {"z = conj(2.0)\n", "(= #z:c (conj (tocomplex 2.0:f):c):c):c\n"},
      {"int k = floor(2.5)\n", "(= k:i (floor 2.5:f):i):i\n"},
      {"int k = round(3)\n", "(= k:i (round (tofloat 3:i):f):i):i\n"},
      {"z = trunc(z)\n", "(= #z:c (trunc #z:c):c):c\n"},
  });
}

struct TMessageRow {
  const char* Body;
  bool Strict;
  const char* Error;
  std::vector<std::string> Warnings;
};

void ExpectMessages(TEntryKind kind, const std::vector<TMessageRow>& rows) {
  for (const auto& row : rows) {
    auto outcome = CompileSnippet(kind, row.Body, {.StrictTypeChecking = row.Strict});
    EXPECT_EQ(outcome.Error, row.Error) << row.Body;
    EXPECT_EQ(outcome.Warnings, row.Warnings) << row.Body;
  }
}

TEST(CheckerTest, ImplicitConversionsWarnOrFailWhenStrict) {
  ExpectMessages(
      TEntryKind::kFormula,
      {
          {"bool c = 1\nz = c\n",
           false,
           "",
           {"W5 2:10 Implicit conversion to boolean expression",
            "W4 3:5 Implicit conversion from boolean expression"}},
          {"bool c = 1\n", true, "E21 2:10 Boolean expression expected.", {}},
          {"float f = true\nz = f\n",
           false,
           "",
           {"W4 2:11 Implicit conversion from boolean expression"}},
          {"float f = true\n", true, "E22 2:11 Incompatible types.", {}},
          {"if 1 < z\nendif\n", false, "", {}},
          {"if 1 < z\nendif\n", true, "", {"W7 2:6 Imaginary part of complex numbers is ignored"}},
          {"int k = sqr(true)\nz = k\n",
           false,
           "",
           {"W4 2:13 Implicit conversion from boolean expression"}},
          {"int i = 1\ni = 2.5\n", false, "E22 3:5 Incompatible types.", {}},
          {"int k = floor(z)\n", false, "E22 2:9 Incompatible types.", {}},
          {"float f = z % 2\n", false, "E22 2:11 Incompatible types.", {}},
          {"z = -true\n", false, "E22 2:5 Incompatible types.", {}},
      });
}

TEST(CheckerTest, StatementsAndAssignmentTargets) {
  ExpectMessages(
      TEntryKind::kFormula,
      {
          {"z + 1\n", false, "", {"W1 2:3 Result of expression is ignored"}},
          {"#pixel = 0\n", false, "E51 2:1 Predefined symbol is not writeable.", {}},
          {"#z = 0\n", false, "", {}},
          {"complex #z = 0\n", false, "", {}},
          {"float #z = 0\n", false, "E22 2:7 Incompatible types.", {}},
          {"complex #pixel = 0\n", false, "E51 2:9 Predefined symbol is not writeable.", {}},
          {"float x\n", false, "E16 2:1 Keyword not allowed here.", {}},
          {"int i = 1\nfloat i = 2\n", false, "E24 3:7 Duplicate variable declaration.", {}},
          {"@p = 1\n", false, "", {"W6 2:1 Parameters should not be written to"}},
          {"bailout:\nz == 1\nz == 2\n", false, "E23 4:3 Label or '}' expected.", {}},
          {"bailout:\nz == 1\nloop:\nz = 1\n", false, "E23 4:1 Label or '}' expected.", {}},
      });
}

TEST(CheckerTest, ConstructsMustNestAndClose) {
  ExpectMessages(
      TEntryKind::kFormula,
      {
          {"elseif true\n", false, "E25 2:1 ELSEIF before IF is not allowed.", {}},
          {"else\n", false, "E27 2:1 ELSE before IF is not allowed.", {}},
          {"endif\n", false, "E28 2:1 ENDIF before IF is not allowed.", {}},
          {"endwhile\n", false, "E45 2:1 ENDWHILE before WHILE is not allowed.", {}},
          {"until true\n", false, "E47 2:1 UNTIL before REPEAT is not allowed.", {}},
          {"if true\nelse\nelse\n", false, "E26 4:1 ELSE or ELSEIF after ELSE is not allowed.", {}},
          {"if true\nelse\nelseif true\n",
           false,
           "E26 4:1 ELSE or ELSEIF after ELSE is not allowed.",
           {}},
          {"while true\nelse\n", false, "E46 3:1 ENDWHILE expected after WHILE.", {}},
          {"repeat\nendif\n", false, "E48 3:1 UNTIL expected after REPEAT.", {}},
          {"if true\nendwhile\n", false, "E29 3:1 ENDIF expected after IF.", {}},
          {"if true\nuntil true\n", false, "E29 3:1 ENDIF expected after IF.", {}},
          {"while true\nuntil true\n", false, "E46 3:1 ENDWHILE expected after WHILE.", {}},
          // Open at a label, and open at the end of the entry ("}" on line 4).
          {"if true\nloop:\n", false, "E29 3:1 ENDIF expected after IF.", {}},
          {"while true\nloop:\n", false, "E46 3:1 ENDWHILE expected after WHILE.", {}},
          {"repeat\nloop:\n", false, "E48 3:1 UNTIL expected after REPEAT.", {}},
          {"z = 1\nif true\n", false, "E29 4:1 ENDIF expected after IF.", {}},
          {"z = 1\nwhile true\n", false, "E46 4:1 ENDWHILE expected after WHILE.", {}},
          {"z = 1\nrepeat\n", false, "E48 4:1 UNTIL expected after REPEAT.", {}},
      });
}

TEST(CheckerTest, DefiniteInitialization) {
  ExpectMessages(
      TEntryKind::kFormula,
      {
          {"a = 1\nif a == 0\nv = 1\nendif\nz = v + a\n",
           false,
           "",
           {"W8 6:5 Variable might not have been initialized"}},
          {"a = 1\nif a == 0\nv = 1\nelse\nv = 2\nendif\nz = v + a\n", false, "", {}},
          {"a = 1\nif a == 0\nv = 1\nelseif a == 1\nv = 2\nendif\nz = v + a\n",
           false,
           "",
           {"W8 8:5 Variable might not have been initialized"}},
          {"a = 1\nif a == 0\nv = 1\nelseif a == 1\nv = 2\nelse\nv = 3\nendif\nz = v + a\n",
           false,
           "",
           {}},
          {"a = 1\nif a == 0\nv = 1\nelse\nif a == 2\nv = 2\nendif\nendif\nz = v + a\n",
           false,
           "",
           {"W8 10:5 Variable might not have been initialized"}},
          {"while z == 0\nv = 1\nendwhile\nz = v\n",
           false,
           "",
           {"W8 5:5 Variable might not have been initialized"}},
          {"repeat\nv = 1\nuntil v == 3\nz = v\n", false, "", {}},
          // Once warned, the variable counts as initialized for good.
          {"if z == 0\nv = 1\nendif\nz = v\nz = v\n",
           false,
           "",
           {"W8 5:5 Variable might not have been initialized"}},
      });
}

TEST(CheckerTest, UndeclaredAndUnusedVariables) {
  auto outcome = CompileSnippet(TEntryKind::kFormula, "init:\nz = 1\nloop:\ny = x + 1\n");
  EXPECT_EQ(outcome.Error, "");
  EXPECT_EQ(outcome.Warnings,
            (std::vector<std::string>{"W3 5:1 Variable is written to, but never read back",
                                      "W2 5:5 Variable has not been declared"}));
  // The zero initialization goes to the front, after the first label.
  EXPECT_EQ(outcome.Program,
            "[INIT]\n(= x:c (0,0):c):c\n(= #z:c (tocomplex 1:i):c):c\n"
            "[LOOP]\n(= y:c (+ x:c (tofloat 1:i):f):c):c\n");

  outcome = CompileSnippet(TEntryKind::kFormula, "if z == 0\nv = 1\nendif\nz = v\n");
  EXPECT_EQ(outcome.Program,
            "[INIT]\n(= v:c (0,0):c):c\n(if (== #z:c (tocomplex 0:i):c):b):c\n"
            "(= v:c (tocomplex 1:i):c):c\n(endif):c\n(= #z:c v:c):c\n");

  // Warning 3 is given where the variable was first met, declared or not.
  outcome = CompileSnippet(TEntryKind::kFormula, "z = 0\n  int k = 1\nk = 2\n");
  EXPECT_EQ(outcome.Warnings,
            std::vector<std::string>{"W3 3:7 Variable is written to, but never read back"});
}

TEST(CheckerTest, WrittenParameterGetsAnInitializedCopy) {
  auto outcome = CompileSnippet(TEntryKind::kFormula, "z = 1\n@p = @p + 1\n@p = 2\n");
  EXPECT_EQ(outcome.Warnings,
            (std::vector<std::string>{"W6 3:1 Parameters should not be written to",
                                      "W6 4:1 Parameters should not be written to"}));
  EXPECT_EQ(outcome.Program,
            "[INIT]\n(= p:c (value @p):c):c\n(= #z:c (tocomplex 1:i):c):c\n"
            "(= @p:c (+ @p:c (tofloat 1:i):f):c):c\n(= @p:c (tocomplex 2:i):c):c\n");
}

// Fractint's formula files assign to predefined symbols; there the symbol is a
// variable for the whole entry, set to the symbol's value first. Our own
// collections keep it read-only.
TEST(CheckerTest, FractintFormulaFilesMayWritePredefinedSymbols) {
  const std::string body =
      "e = 2 * e\nz = pixel:\nz = z * z + pixel\npixel = pixel * 0.5\n|z| < 4\n";
  TempDir dir;
  for (const char* file : {"t.frm", "t.zfm"}) {
    TFormula formula;
    auto outcome = CompileEntry(formula, dir.Write(file, "T {\n" + body + "}\n").string(), "T");
    if (std::string(file) == "t.zfm") {
      EXPECT_EQ(outcome.Error, "E51 2:1 Predefined symbol is not writeable.");
      continue;
    }
    EXPECT_EQ(outcome.Error, "");
    EXPECT_EQ(outcome.Program,
              "[INIT]\n(= e:c (tocomplex #e:f):c):c\n(= pixel:c #pixel:c):c\n"
              "(= e:c (* (tofloat 2:i):f e:c):c):c\n(= #z:c pixel:c):c\n[LOOP]\n"
              "(= #z:c (+ (* #z:c #z:c):c pixel:c):c):c\n(= pixel:c (* pixel:c 0.5:f):c):c\n"
              "[BAILOUT?]\n(< (mod #z:c):f (tofloat 4:i):f):b\n");
  }
}

}  // namespace
}  // namespace zt::testing
