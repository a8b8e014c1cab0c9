// Tests of the optimizer: the rewritten program of small entries (as captured when
// code generation starts), recompilation on parameter changes, folding bit for bit
// equal to the primitives, and the node-to-primitive choice shared with the
// code generator.
#include "formula/codegen/optimizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formula/codegen/optimizer_fold.h"
#include "formula/codegen/primitive_choice.h"
#include "formula/testing/compile_test_util.h"
#include "formula/testing/runtime_test_util.h"

namespace zt::testing {
namespace {

// An entry that records the rewritten program instead of generating code.
// Constants print as {value}.
template <class TBase>
class TCapture : public TBase {
 public:
  using TBase::FunctionValue;
  using TBase::ParameterValue;
  using TBase::TBase;

  std::string Dump;
  std::vector<TLiteral> Constants;
  int Runs = 0;

 protected:
  void Generate() override {
    ++Runs;
    Constants.clear();
    TVariableList& variables = this->Variables();
    for (int i = 0; i < variables.Count(); ++i) {
      TVariable& v = variables.Item(i);
      if (v.Kind != TVariableKind::kConstant) continue;
      Constants.push_back(v.Value);
      v.Name = "{" + LiteralToString(v.Value) + "}";
    }
    Dump = ProgramToString(this->Program(), true);
    for (int i = 0; i < variables.Count(); ++i)
      if (variables.Item(i).Kind == TVariableKind::kConstant) variables.Item(i).Name.clear();
  }
};

void CompileInto(TLexical& entry, const std::string& body) {
  ASSERT_EQ(CompileBody(entry, body), "") << body;
}

// The rewritten formula program without its "[INIT]" line.
std::string Optimized(const std::string& body) {
  TCapture<TFormula> entry;
  CompileInto(entry, body);
  const std::string init = "[INIT]\n";
  return entry.Dump.rfind(init, 0) == 0 ? entry.Dump.substr(init.size()) : entry.Dump;
}

struct TRow {
  const char* Body;
  const char* Program;
};

void ExpectRewrites(const std::vector<TRow>& rows) {
  for (const auto& row : rows) EXPECT_EQ(Optimized(row.Body), row.Program) << row.Body;
}

TEST(OptimizerTest, MultiplicationByLiteralFactors) {
  ExpectRewrites({
      {"z = z * 2\n", "(= #z:c (double #z:c):c):c\n"},
      {"z = 2 * z\n", "(= #z:c (double #z:c):c):c\n"},
      {"z = z * 1\n", "(= #z:c #z:c):c\n"},
      {"z = z * 0\n", "(= #z:c (0,0):c):c\n"},
      {"z = z * -1\n", "(= #z:c (neg #z:c):c):c\n"},
      {"z = (0, 1) * z\n", "(= #z:c (timesi #z:c):c):c\n"},
      {"z = z * (0, -1)\n", "(= #z:c (timesminusi #z:c):c):c\n"},
      {"z = z * 3\n", "(= #z:c (* #z:c {3.0}:f):c):c\n"},
      // A float factor of a complex literal keeps the complex type of the product.
      {"float f = 0.5\nz = f * (1, 0)\n", "(= f:f {0.5}:f):f\n(= #z:c (tocomplex f:f):c):c\n"},
      {"float f = 0.5\nz = f * (0, 1)\n", "(= f:f {0.5}:f):f\n(= #z:c (timesi f:f):c):c\n"},
      {"float f = 0.5\nz = f * (2, 0)\n",
       "(= f:f {0.5}:f):f\n(= #z:c (tocomplex (double f:f):f):c):c\n"},
      {"int k = 5\nint j = k * 2 + k * 0 + k * k\n",
       "(= k:i 5:i):i\n(= j:i (+ (+ (double k:i):i 0:i):i (sqr k:i):i):i):i\n"},
      {"z = z * z + pixel * pixel\n", "(= #z:c (+ (sqr #z:c):c (sqr #pixel:c):c):c):c\n"},
      // A dropped factor must not take an assignment with it.
      {"z = (w = z) * 0\n", "(= #z:c (* (= w:c #z:c):c 0.0:f):c):c\n"},
  });
}

TEST(OptimizerTest, PowersAndDivisions) {
  ExpectRewrites({
      {"z = z ^ 2\n", "(= #z:c (sqr #z:c):c):c\n"},
      {"z = z ^ 3\n", "(= #z:c (cube #z:c):c):c\n"},
      {"z = z ^ 4\n", "(= #z:c (fourth #z:c):c):c\n"},
      {"z = z ^ 1\n", "(= #z:c #z:c):c\n"},
      {"z = z ^ 0\n", "(= #z:c (1,0):c):c\n"},
      {"z = z ^ 5\n", "(= #z:c (^ #z:c {(5,0)}:c):c):c\n"},
      {"float f = 0.5\nf = f ^ 3\n", "(= f:f {0.5}:f):f\n(= f:f (cube f:f):f):f\n"},
      {"z = 1 / z\n", "(= #z:c (recip #z:c):c):c\n"},
      {"z = -1 / z\n", "(= #z:c (neg (recip #z:c):c):c):c\n"},
      {"z = 2 / z\n", "(= #z:c (/ {(2,0)}:c #z:c):c):c\n"},  // only 1 and -1 make a reciprocal
      {"z = z / 4\n", "(= #z:c (* #z:c {0.25}:f):c):c\n"},
      {"z = z / (0, 2)\n", "(= #z:c (* #z:c {(0,-0.5)}:c):c):c\n"},
      {"z = z / (0, 1)\n", "(= #z:c (timesminusi #z:c):c):c\n"},
      {"z = z / 0.5\n", "(= #z:c (double #z:c):c):c\n"},
      // Division by zero stays for the run to yield its infinities.
      {"z = z / 0\n", "(= #z:c (/ #z:c 0.0:f):c):c\n"},
  });
}

TEST(OptimizerTest, LogicWithLiteralOperands) {
  ExpectRewrites({
      {"bool b = (z = 3) && false\n",
       "(= b:b (&& (!= (real (= #z:c {(3,0)}:c):c):f 0.0:f):b false:b):b):b\n"},
      {"bool b = (real(z) > imag(z)) && false\n", "(= b:b false:b):b\n"},
      {"bool b = true && (real(z) > 1)\n", "(= b:b (> (real #z:c):f 1.0:f):b):b\n"},
      {"bool b = (real(z) > 1) || true\n", "(= b:b true:b):b\n"},
      {"bool b = false || (real(z) > 1)\n", "(= b:b (> (real #z:c):f 1.0:f):b):b\n"},
      {"bool b = 1 < 2 && !false\n", "(= b:b true:b):b\n"},
  });
}

TEST(OptimizerTest, ConstantIfBranchesGo) {
  const std::vector<std::pair<const char*, const char*>> pairs = {
      {"if false\n z = 1\nelse\n z = 2\nendif\n", "z = 2\n"},
      {"if 1 > 2\n z = 1\nendif\nz = 3\n", "z = 3\n"},
      {"if true\n z = 1\nelseif real(z) > 1\n z = 2\nelse\n z = 3\nendif\n", "z = 1\n"},
      {"if false\n z = 1\nelseif real(z) > 1\n z = 2\nelse\n z = 3\nendif\n",
       "if real(z) > 1\n z = 2\nelse\n z = 3\nendif\n"},
      {"if false\n z = 1\nelseif true\n z = 2\nelse\n z = 3\nendif\n", "z = 2\n"},
      // Nested constructs are counted and examined in kept bodies.
      {"if true\n if false\n z = 1\n endif\n while real(z) < 2\n  if false\n  z = 5\n  endif\n"
       " endwhile\nendif\n",
       "while real(z) < 2\nendwhile\n"},
      {"if false\n if real(z) > 1\n  z = 1\n else\n  z = 4\n endif\nelse\n z = 2\nendif\n",
       "z = 2\n"},
      // A constant ELSEIF in a chain that stays.
      {"if real(z) > 1\n z = 1\nelseif true\n z = 2\nelseif real(z) < 0\n z = 3\nelse\n"
       " z = 4\nendif\n",
       "if real(z) > 1\n z = 1\nelse\n z = 2\nendif\n"},
      {"if real(z) > 1\n z = 1\nelseif false\n z = 2\nelseif real(z) < 0\n z = 3\nendif\n",
       "if real(z) > 1\n z = 1\nelseif real(z) < 0\n z = 3\nendif\n"},
  };
  for (const auto& [body, equivalent] : pairs)
    EXPECT_EQ(Optimized(body), Optimized(equivalent)) << body;
}

TEST(OptimizerTest, PiAndEFoldIntoOneConstant) {
  TCapture<TFormula> entry;
  CompileInto(entry, "float f = #pi * 2\nfloat g = #e\n");
  ASSERT_EQ(entry.Constants.size(), 2u);
  const TLiteral pi = PiLiteral();
  const long double two_pi = FloatBinary(kPrimitiveFloatMul, 2, pi.Re);
  EXPECT_TRUE(SameBits(entry.Constants[0].Re, two_pi));
  EXPECT_TRUE(SameBits(pi.Re, 3.14159265358979323851L));
  EXPECT_TRUE(SameBits(entry.Constants[1].Re, FloatUnary(kPrimitiveFloatExp, 1)));
  EXPECT_EQ(entry.Dump,
            "[INIT]\n(= f:f {6.28318530717958648}:f):f\n(= g:f {2.71828182845904524}:f):f\n");
}

TEST(OptimizerTest, FoldingEqualsThePrimitivesBitForBit) {
  TCapture<TFormula> entry;
  CompileInto(entry,
              "z = sin((0.25, 0.75)) + (1.5, 2.25) / (0.75, -0.5)\n"
              "float f = sqrt(3.0) ^ 0.5 - 7.5 % 2\n");
  ASSERT_EQ(entry.Constants.size(), 2u);
  // Literal operands are computed right first, so binary folds use the reversed forms.
  const Complex s = ComplexUnary(kPrimitiveComplexSin, {0.25L, 0.75L});
  const Complex q = ComplexBinary(kPrimitiveComplexDivRev, {0.75L, -0.5L}, {1.5L, 2.25L});
  const Complex sum = ComplexBinary(kPrimitiveComplexAdd, q, s);
  EXPECT_TRUE(SameBits(entry.Constants[0].Re, sum.real()));
  EXPECT_TRUE(SameBits(entry.Constants[0].Im, sum.imag()));
  const long double power =
      FloatBinary(kPrimitiveFloatPowRev, 0.5L, FloatUnary(kPrimitiveFloatSqrt, 3));
  const long double mod = FloatBinary(kPrimitiveFloatModRev, 2, 7.5L);
  EXPECT_TRUE(SameBits(entry.Constants[1].Re, FloatBinary(kPrimitiveFloatSubRev, mod, power)));
}

TEST(OptimizerTest, ConstantsAreSharedAndIntsStayImmediate) {
  TCapture<TFormula> entry;
  CompileInto(entry, "z = z * (2, 3) + (2, 3) * pixel + (1, 0) * (0, 0) * z\nint k = 7\n");
  ASSERT_EQ(entry.Constants.size(), 1u);
  EXPECT_TRUE(SameValue(entry.Constants[0], TLiteral::MakeComplex(2, 3)));
  EXPECT_EQ(entry.Dump,
            "[INIT]\n(= #z:c (+ (+ (* #z:c {(2,3)}:c):c (* {(2,3)}:c #pixel:c):c):c (0,0):c):c):c\n"
            "(= k:i 7:i):i\n");
  // A statement that folds to a literal without a load primitive is kept as a constant.
  EXPECT_EQ(Optimized("#pi / 2\n"), "{1.57079632679489662}:f\n");
}

TEST(OptimizerTest, ParameterValuesAreCompiledInAndFollowChanges) {
  TCapture<TFormula> entry;
  CompileInto(entry, "z = z + @p * 3\n@q = @q + fn1(z)\n");
  const std::string checked = ProgramToString(entry.Expressions(), true);
  EXPECT_EQ(entry.Dump,
            "[INIT]\n(= q:c (0,0):c):c\n(= #z:c (+ #z:c (0,0):c):c):c\n"
            "(= q:c (+ q:c (sin #z:c):c):c):c\n");

  const int p = entry.Params().IndexOfName("p");
  const int q = entry.Params().IndexOfName("q");
  entry.Params().Items(p).SetAsComplex({1, 2});
  entry.Params().Items(q).SetAsComplex({0.5, 0});
  entry.Funcs().Items(entry.Funcs().IndexOfName("fn1")).SetFuncCode(kFunctionSqr);
  EXPECT_EQ(entry.Dump,
            "[INIT]\n(= q:c {(0.5,0)}:c):c\n(= #z:c (+ #z:c {(3,6)}:c):c):c\n"
            "(= q:c (+ q:c (sqr #z:c):c):c):c\n");
  ASSERT_EQ(entry.Constants.size(), 2u);

  // Running again leaves the checked program and the constants as they were.
  const int runs = entry.Runs;
  entry.Params().Items(p).SetAsComplex({1, 2.5});
  entry.Params().Items(p).SetAsComplex({1, 2});
  EXPECT_EQ(entry.Runs, runs + 2);
  EXPECT_EQ(entry.Constants.size(), 2u);
  EXPECT_EQ(ProgramToString(entry.Expressions(), true), checked);
}

TEST(OptimizerTest, LookupsOfUnknownNamesFail) {
  TCapture<TFormula> entry;
  CompileInto(entry, "z = @p + fn2(z)\n");
  EXPECT_TRUE(SameValue(entry.ParameterValue("P"), TLiteral::MakeComplex(0, 0)));
  EXPECT_EQ(entry.FunctionValue("FN2"), kFunctionSin);
  EXPECT_EQ(ErrorMessageOf([&] { entry.ParameterValue("missing"); }),
            "Could not look up parameter value");
  EXPECT_EQ(ErrorMessageOf([&] { entry.FunctionValue("fn3"); }),
            "Could not look up function value");
}

TEST(OptimizerTest, OldZIsNeverFolded) {
  TCapture<TColoring> entry(true);
  CompileInto(entry, "final:\n#index = cabs(oldz(1 + 1))\n");
  EXPECT_EQ(entry.Dump, "[INIT]\n[FINAL]\n(= #index:f (cabs (oldz 2:i):c):f):f\n");
}

TEST(OptimizerTest, LiteralClasses) {
  const std::vector<std::pair<TLiteral, TLiteralClass>> rows = {
      {TLiteral::MakeComplex(1, 0), kLiteralOne},
      {TLiteral::MakeComplex(-1, 0), kLiteralMinusOne},
      {TLiteral::MakeComplex(0, 1), kLiteralI},
      {TLiteral::MakeComplex(0, -1), kLiteralMinusI},
      {TLiteral::MakeComplex(0, 0), kLiteralZero},
      {TLiteral::MakeComplex(2, 0), kLiteralTwo},
      {TLiteral::MakeComplex(3, 0), kLiteralThree},
      {TLiteral::MakeComplex(4, 0), kLiteralFour},
      {TLiteral::MakeComplex(2, 1), kLiteralNone},
      {TLiteral::MakeComplex(1, 1), kLiteralNone},
      {TLiteral::MakeFloat(-0.0L), kLiteralZero},
      {TLiteral::MakeFloat(2.5L), kLiteralNone},
      {TLiteral::MakeInt(4), kLiteralFour},
      {TLiteral::MakeInt(-1), kLiteralMinusOne},
      {TLiteral::MakeBool(true), kLiteralNone},
  };
  for (const auto& [value, expected] : rows)
    EXPECT_EQ(ClassifyLiteral(value), expected) << LiteralToString(value);
}

// ---------------------------------------------------------------------------
// Primitive choice

TEST(PrimitiveChoiceTest, SwappedOperandsChooseTheMatchingVariant) {
  struct TChoice {
    int Op;
    TValueType Left, Right;
    int Normal, Reversed;
  };
  const TChoice rows[] = {
      {kExprSubtract, kTypeComplex, kTypeComplex, kPrimitiveComplexSub, kPrimitiveComplexSubRev},
      {kExprPower, kTypeComplex, kTypeComplex, kPrimitiveComplexPow, kPrimitiveComplexPowRev},
      {kExprLess, kTypeFloat, kTypeFloat, kPrimitiveFloatLess, kPrimitiveFloatGreater},
      {kExprGreaterEqual, kTypeFloat, kTypeFloat, kPrimitiveFloatGreaterEqual,
       kPrimitiveFloatLessEqual},
      {kExprMod, kTypeFloat, kTypeFloat, kPrimitiveFloatMod, kPrimitiveFloatModRev},
      {kExprSubtract, kTypeComplex, kTypeFloat, kPrimitiveMixSubCFFTop, kPrimitiveMixSubCFCTop},
      {kExprSubtract, kTypeFloat, kTypeComplex, kPrimitiveMixSubFCCTop, kPrimitiveMixSubFCFTop},
      {kExprMultiply, kTypeFloat, kTypeComplex, kPrimitiveMixMulCTop, kPrimitiveMixMulFTop},
      {kExprDivide, kTypeComplex, kTypeFloat, kPrimitiveMixDivCFFTop, kPrimitiveMixDivCFCTop},
      {kExprDivide, kTypeFloat, kTypeComplex, -1, -1},
      {kExprLess, kTypeInt, kTypeInt, kPrimitiveIntLess, kPrimitiveIntLess},
      {kExprOr, kTypeBool, kTypeBool, kPrimitiveBoolOr, kPrimitiveBoolOr},
      {kExprAssign, kTypeComplex, kTypeComplex, -1, -1},
      {kExprPower, kTypeInt, kTypeInt, -1, -1},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(BinaryPrimitive(r.Op, r.Left, r.Right, false), r.Normal) << ExprOperatorText(r.Op);
    EXPECT_EQ(BinaryPrimitive(r.Op, r.Left, r.Right, true), r.Reversed) << ExprOperatorText(r.Op);
  }
  EXPECT_EQ(FunctionPrimitive(kFunctionIdent, kTypeComplex), -1);
  EXPECT_EQ(FunctionPrimitive(kFunctionZero, kTypeComplex), -1);
  EXPECT_EQ(FunctionPrimitive(kFunctionTimesI, kTypeFloat), kPrimitiveFloatTimesI);
  EXPECT_EQ(FunctionPrimitive(kFunctionOldZ, kTypeInt), kPrimitiveLoadOldZ);
  EXPECT_EQ(FunctionPrimitive(kFunctionToInt, kTypeBool), kPrimitiveBoolToInt);
  EXPECT_EQ(UnaryPrimitive(kExprModulus, kTypeComplex), kPrimitiveComplexModulus);
  EXPECT_EQ(UnaryPrimitive(kExprNot, kTypeInt), -1);
}

// Both stack arrangements must compute the same thing: left op right.
TEST(PrimitiveChoiceTest, BothOrdersAgreeOnEveryRealOperator) {
  const int ops[] = {kExprAdd,   kExprSubtract,  kExprMultiply, kExprDivide,
                     kExprPower, kExprMod,       kExprEqual,    kExprNotEqual,
                     kExprLess,  kExprLessEqual, kExprGreater,  kExprGreaterEqual};
  const TLiteral samples[] = {TLiteral::MakeComplex(1.5L, -0.75L), TLiteral::MakeFloat(0.625L),
                              TLiteral::MakeComplex(-2, 0.5L), TLiteral::MakeFloat(-3)};
  auto push = [](TPrimitiveFrame& f, const TLiteral& v) {
    if (v.Type == kTypeComplex) f.In[f.InCount++] = v.Im;
    f.In[f.InCount++] = v.Re;
  };
  for (int op : ops)
    for (const auto& l : samples)
      for (const auto& r : samples) {
        const int normal = BinaryPrimitive(op, l.Type, r.Type, false);
        const int reversed = BinaryPrimitive(op, l.Type, r.Type, true);
        ASSERT_EQ(normal < 0, reversed < 0);
        if (normal < 0) continue;
        const bool complex = l.Type == kTypeComplex || r.Type == kTypeComplex;
        const int outs = op >= kExprEqual ? 0 : complex ? 2 : 1;
        TPrimitiveFrame a, b;
        push(a, l), push(a, r), push(b, r), push(b, l);
        a.OutCount = b.OutCount = outs;
        RunPrimitive(normal, a);
        RunPrimitive(reversed, b);
        const std::string what =
            std::string(ExprOperatorText(op)) + " " + LiteralToString(l) + " " + LiteralToString(r);
        if (outs == 0) {
          EXPECT_EQ(a.Rax & 0xFF, b.Rax & 0xFF) << what;
        }
        for (int i = 0; i < outs; ++i) {
          EXPECT_TRUE(SameBits(a.Out[i], b.Out[i])) << what;
        }
      }
}

}  // namespace
}  // namespace zt::testing
