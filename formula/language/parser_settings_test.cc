// Tests of settings statements: PARAM and FUNC blocks with their settings and
// errors, and the formula's own settings that reach it through the hooks.
#include "formula/language/parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

#include "formula/entries/formula.h"
#include "formula/testing/compile_test_util.h"

namespace zt {
namespace {

// The error of compiling `body`, or "" (body lines count from 1).
std::string ErrorOf(const std::string& body) {
  TFormula formula;
  return testing::CompileBody(formula, body);
}

// The error of a default section made of `lines` (the first of them is line 2).
std::string DefaultError(const std::string& lines) { return ErrorOf("default:\n" + lines); }

// A formula compiled from `body`, which must compile.
std::unique_ptr<TFormula> Compiled(const std::string& body) {
  auto formula = std::make_unique<TFormula>();
  EXPECT_EQ(testing::CompileBody(*formula, body), "");
  return formula;
}

TParam& ParamOf(TFormula& formula, const std::string& name) {
  const int index = formula.Params().IndexOfName(name);
  EXPECT_GE(index, 0) << name;
  return formula.Params().Items(index);
}

struct TErrorCase {
  const char* Lines;
  const char* Error;
};

TEST(ParserSettings, BlockErrors) {
  const TErrorCase cases[] = {
      {"param a\nparam b", "E34 3:0 Nesting of PARAM is not allowed."},
      {"func f\nparam a", "E44 3:0 ENDFUNC expected after FUNC."},
      {"param a\nfunc f", "E38 3:0 ENDPARAM expected after PARAM."},
      {"func f\nfunc g", "E41 3:0 Nesting of FUNC is not allowed."},
      {"endparam", "E36 2:0 ENDPARAM before PARAM is not allowed."},
      {"endfunc", "E42 2:0 ENDFUNC before FUNC is not allowed."},
      {"param", "E35 2:5 Identifier expected."},
      {"func 3", "E35 2:5 Identifier expected."},
      {"param a b", "E19 2:8 ',' or end of line expected."},
      {"param a\nendparam x", "E19 3:9 ',' or end of line expected."},
      {"func f\nendfunc 1", "E19 3:8 ',' or end of line expected."},
      // An open PARAM block fails at the next label and at the end of the entry;
      // an open FUNC block ends quietly at a label but not at the end.
      {"param a\ninit:\nz = 0", "E38 3:0 ENDPARAM expected after PARAM."},
      {"param a", "E38 3:0 ENDPARAM expected after PARAM."},
      {"func f", "E44 3:0 ENDFUNC expected after FUNC."},
      {"func f\nloop:\nz = 0", ""},
  };
  for (const TErrorCase& c : cases) EXPECT_EQ(DefaultError(c.Lines), c.Error) << c.Lines;
  EXPECT_EQ(ErrorOf("builtin:\nparam a"), "E16 2:0 Keyword not allowed here.");
  EXPECT_EQ(ErrorOf("switch:\nfunc f"), "E16 2:0 Keyword not allowed here.");
}

TEST(ParserSettings, ParamSettingErrors) {
  const TErrorCase cases[] = {
      {"param a\ndefault = -true", "E13 3:11 Literal expected."},
      {"param a\ndefault = -x", "E13 3:11 Literal expected."},
      {"param a\ndefault = x", "E13 3:10 Literal expected."},
      {"param a\ndefault = *", "E13 3:10 Literal expected."},
      {"param a\ncaption = 3", "E32 3:0 Invalid setting."},
      {"param a\ndefault = \"s\"", "E32 3:0 Invalid setting."},
      {"param a\nsize = 1", "E32 3:0 Invalid setting."},
      {"param a\n@b = 1", "E32 3:0 Invalid setting."},
      {"param a\ndefault = sin()", "E32 3:10 Invalid setting."},
      {"param a\ndefault 1", "E33 3:8 '=' expected."},
      {"param a\ndefault = 1 2", "E19 3:12 ',' or end of line expected."},
      {"param a\nmin = true", "E22 3:6 Incompatible types."},
      {"param a\nmax = 2\nmin = 3", "E39 4:6 MIN value is larger than MAX value."},
      {"param a\nmin = 3\nmax = 2.5", "E39 4:6 MIN value is larger than MAX value."},
      {"param a\nmax = (2, 4)\nmin = (1, 5)", "E39 4:6 MIN value is larger than MAX value."},
      {"param a\nenum =", "E49 3:6 String value expected."},
      {"param a\nenum = 1", "E49 3:7 String value expected."},
      {"param a\nenum = \"x\" y", "E49 3:11 String value expected."},
      // A parameter declared again keeps its type.
      {"param a\ndefault = 1\nendparam\nparam a\ndefault = 1.5", "E22 6:10 Incompatible types."},
      {"param a\ndefault = 1.5\nendparam\nparam a\nenum = \"x\"", "E22 6:7 Incompatible types."},
  };
  for (const TErrorCase& c : cases) EXPECT_EQ(DefaultError(c.Lines), c.Error) << c.Lines;
}

TEST(ParserSettings, FuncSettingErrors) {
  const TErrorCase cases[] = {
      {"func f\ndefault = fn1()", "E52 3:10 Function expected."},
      {"func f\ndefault = @g()", "E52 3:10 Function expected."},
      {"func f\ndefault = x", "E52 3:10 Function expected."},
      {"func f\ndefault = 1", "E32 3:0 Invalid setting."},
      {"func f\ndefault = true", "E32 3:0 Invalid setting."},
      {"func f\ndefault = \"sin\"", "E32 3:0 Invalid setting."},
      {"func f\nhint = sin()", "E32 3:0 Invalid setting."},
      {"func f\nsize = \"s\"", "E32 3:0 Invalid setting."},
      {"func f\ncaption = x", "E13 3:10 Literal expected."},
      {"func f\ndefault = sin( x", "E11 3:15 ')' expected."},
      {"func f\ndefault = sin() 1", "E19 3:16 ',' or end of line expected."},
      // Functions that cannot be stored as a choice cannot be its default either.
      {"func f\ndefault = real()", "E40 3:10 Invalid function."},
      {"func f\ndefault = atan2()", "E40 3:10 Invalid function."},
  };
  for (const TErrorCase& c : cases) EXPECT_EQ(DefaultError(c.Lines), c.Error) << c.Lines;
}

TEST(ParserSettings, ParamDeclarations) {
  auto c = Compiled(
      "default:\n"
      "param p1\nendparam\n"
      "param @n\ndefault = 2\nendparam\n"
      "param r\ndefault = -(1.5, 2)\nmin = -3\nmax = (2.5, 1)\n"
      "caption = \"Radius\"\nhint = \"first\"\nhint = \"second\"\nendparam\n"
      "param choice\nenum = \"a\" \"b\" \"c\"\nendparam\n"
      "param flag\ndefault = true\nendparam\n"
      "param r\ndefault = (0, 1)\nendparam");
  EXPECT_EQ(c->Params().Count(), 5);

  const TParam& p1 = ParamOf(*c, "P1");
  EXPECT_EQ(p1.ParamType(), kTypeComplex);
  EXPECT_EQ(p1.Caption(), "Parameter 1");

  const TParam& n = ParamOf(*c, "n");
  EXPECT_EQ(n.ParamType(), kTypeInt);
  EXPECT_EQ(n.AsInteger(), 2);
  EXPECT_EQ(n.DefaultValue().Re, 2);

  // Reopening a parameter changes the existing one.
  const TParam& r = ParamOf(*c, "r");
  EXPECT_EQ(r.ParamType(), kTypeComplex);
  EXPECT_EQ(r.AsComplex(), std::complex<long double>(0, 1));
  EXPECT_EQ(r.DefaultValue().Re, 0);
  EXPECT_TRUE(r.HasMin() && r.HasMax());
  EXPECT_EQ(r.MinValue().Re, -3);
  EXPECT_EQ(r.MaxValue().Re, 2.5L);
  EXPECT_EQ(r.MaxValue().Im, 1);
  EXPECT_EQ(r.Caption(), "Radius");
  EXPECT_EQ(r.Hint(), "first|second|");

  TParam& choice = ParamOf(*c, "choice");
  EXPECT_EQ(choice.ParamType(), kTypeInt);
  EXPECT_EQ(*choice.EnumItems(), (std::vector<std::string>{"a", "b", "c"}));
  TValueSlot five;
  five.Re = 5;
  choice.SetValue({kTypeInt, five});
  EXPECT_EQ(choice.AsInteger(), 2);

  EXPECT_EQ(ParamOf(*c, "flag").ParamType(), kTypeBool);
  EXPECT_TRUE(ParamOf(*c, "flag").AsBoolean());
}

TEST(ParserSettings, SignedDefaultsNegateEveryPart) {
  auto c = Compiled(
      "default:\nparam a\ndefault = -(1.5, -2)\nendparam\n"
      "param b\ndefault = -3\nendparam\nparam f\ndefault = +2.5\nendparam");
  EXPECT_EQ(ParamOf(*c, "a").AsComplex(), std::complex<long double>(-1.5L, 2));
  EXPECT_EQ(ParamOf(*c, "b").AsInteger(), -3);
  EXPECT_EQ(ParamOf(*c, "f").AsFloat(), 2.5L);
}

TEST(ParserSettings, FuncDeclarations) {
  auto c = Compiled(
      "default:\nfunc f\ndefault = cos()\ncaption = \"Shape\"\nendfunc\n"
      "func @fn2\ndefault = srand()\nendfunc");
  const TFunc& f = c->Funcs().Items(0);
  EXPECT_EQ(f.FuncCode(), kFunctionCos);
  EXPECT_EQ(f.DefaultFuncCode(), kFunctionCos);
  EXPECT_EQ(f.Caption(), "Shape");
  const TFunc& fn2 = c->Funcs().Items(1);
  EXPECT_EQ(fn2.Caption(), "Function 2");
  EXPECT_EQ(fn2.FuncCode(), kFunctionIdent);
}

TEST(ParserSettings, FormulaSettings) {
  auto c = Compiled(
      "default:\nmaxiter = 500\nperiodicity = 0\nangle = 90\nmethod = MultiPass\n"
      "center = (1, -2)\nmagn = 2");
  const TFormula& f = *c;
  EXPECT_EQ(f.MaxIterations(), 500);
  EXPECT_EQ(f.Periodicity(), 0);
  EXPECT_NEAR(static_cast<double>(f.DefaultAngle()), std::numbers::pi / 2, 1e-15);
  EXPECT_EQ(f.Method(), kMethodMultiPass);
  EXPECT_TRUE(SameValue(f.DefaultCenter(), TLiteral::MakeComplex(1, -2)));
  EXPECT_EQ(f.DefaultMagnification(), 2);

  auto b = Compiled("builtin:\ntype = 1");
  EXPECT_EQ(b->BuiltInType(), 1);
  EXPECT_EQ(ParamOf(*b, "Start").ParamType(), kTypeComplex);
  EXPECT_EQ(ParamOf(*b, "Bailout").ParamType(), kTypeFloat);
  EXPECT_EQ(ParamOf(*b, "Bailout").AsFloat(), 4);

  auto s = Compiled("switch:\ntype = \"Julia\"\nseed = #pixel\np1 = @power");
  EXPECT_EQ(s->SwitchType(), "Julia");
  ASSERT_EQ(s->SwitchList().size(), 2u);
  EXPECT_EQ(s->SwitchList()[0].Target, "seed");
  EXPECT_EQ(s->SwitchList()[0].Source, "#pixel");
  EXPECT_EQ(s->SwitchList()[1].Target, "p1");
  EXPECT_EQ(s->SwitchList()[1].Source, "power");
}

TEST(ParserSettings, FormulaSettingErrors) {
  const TErrorCase cases[] = {
      {"maxiter = 0", "E7 2:10 Literal out of range."},
      {"periodicity = 4", "E7 2:14 Literal out of range."},
      {"maxiter = -5", "E7 2:10 Literal out of range."},
      {"maxiter = 1.5", "E22 2:10 Incompatible types."},
      {"method = slow", "E7 2:9 Literal out of range."},
      {"center = 1", "E22 2:9 Incompatible types."},
      {"speed = 1", "E32 2:0 Invalid setting."},
      {"speed = \"x\"", "E32 2:0 Invalid setting."},
      {"speed = fast", "E32 2:0 Invalid setting."},
      {"@p = 1", "E32 2:0 Invalid setting."},
      {"@p 1", "E33 2:3 '=' expected."},
      {"@p =", "E32 2:0 Invalid setting."},
      {"maxiter", "E33 2:7 '=' expected."},
      {"title = sin()", "E32 2:8 Invalid setting."},
      {"title = \"a\" \"b\"", "E19 2:12 ',' or end of line expected."},
  };
  for (const TErrorCase& c : cases) EXPECT_EQ(DefaultError(c.Lines), c.Error) << c.Lines;
  EXPECT_EQ(ErrorOf("builtin:\ntype = 3"), "E7 2:7 Literal out of range.");
  EXPECT_EQ(ErrorOf("switch:\nseed = 1"), "E32 2:0 Invalid setting.");
}

}  // namespace
}  // namespace zt
