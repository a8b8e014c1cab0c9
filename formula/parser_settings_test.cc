// Tests of settings statements: PARAM and FUNC blocks with their settings and
// errors, and the formula's own settings that reach it through the hooks.
#include "formula/parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

#include "formula/formula.h"
#include "testing/test_support.h"

namespace zt {
namespace {

// A formula compiled from the body of an entry "T { ... }"; body lines count from 1.
struct TCompiled {
  testing::TempDir Dir;
  TFormula Formula;
  // "<code> <line>:<column> <message>", empty on success.
  std::string Error;

  const TParam& Param(const std::string& name) {
    const int index = Formula.Params().IndexOfName(name);
    EXPECT_GE(index, 0) << name;
    return Formula.Params().Items(index);
  }
};

std::unique_ptr<TCompiled> Compile(const std::string& body) {
  auto c = std::make_unique<TCompiled>();
  const auto file = c->Dir.Write("t.zfm", "T {\n" + body + "\n}\n");
  c->Formula.OnCompileError = [&c = *c](TLexical&, int code, int line, int column,
                                         const std::string& text) {
    c.Error = std::to_string(code) + " " + std::to_string(line) + ":" + std::to_string(column) +
              " " + text;
  };
  c->Formula.SetEntry(file.string(), "T");
  return c;
}

// The error of a default section made of `lines` (the first of them is line 2).
std::string DefaultError(const std::string& lines) {
  return Compile("default:\n" + lines)->Error;
}

struct TErrorCase {
  const char* Lines;
  const char* Error;
};

TEST(ParserSettings, BlockErrors) {
  const TErrorCase cases[] = {
      {"param a\nparam b", "34 3:0 Nesting of PARAM is not allowed."},
      {"func f\nparam a", "44 3:0 ENDFUNC expected after FUNC."},
      {"param a\nfunc f", "38 3:0 ENDPARAM expected after PARAM."},
      {"func f\nfunc g", "41 3:0 Nesting of FUNC is not allowed."},
      {"endparam", "36 2:0 ENDPARAM before PARAM is not allowed."},
      {"endfunc", "42 2:0 ENDFUNC before FUNC is not allowed."},
      {"param", "35 2:5 Identifier expected."},
      {"func 3", "35 2:5 Identifier expected."},
      {"param a b", "19 2:8 ',' or end of line expected."},
      {"param a\nendparam x", "19 3:9 ',' or end of line expected."},
      {"func f\nendfunc 1", "19 3:8 ',' or end of line expected."},
      // An open PARAM block fails at the next label and at the end of the entry;
      // an open FUNC block ends quietly at a label but not at the end.
      {"param a\ninit:\nz = 0", "38 3:0 ENDPARAM expected after PARAM."},
      {"param a", "38 3:0 ENDPARAM expected after PARAM."},
      {"func f", "44 3:0 ENDFUNC expected after FUNC."},
      {"func f\nloop:\nz = 0", ""},
  };
  for (const TErrorCase& c : cases) EXPECT_EQ(DefaultError(c.Lines), c.Error) << c.Lines;
  EXPECT_EQ(Compile("builtin:\nparam a")->Error, "16 2:0 Keyword not allowed here.");
  EXPECT_EQ(Compile("switch:\nfunc f")->Error, "16 2:0 Keyword not allowed here.");
}

TEST(ParserSettings, ParamSettingErrors) {
  const TErrorCase cases[] = {
      {"param a\ndefault = -true", "13 3:11 Literal expected."},
      {"param a\ndefault = -x", "13 3:11 Literal expected."},
      {"param a\ndefault = x", "13 3:10 Literal expected."},
      {"param a\ndefault = *", "13 3:10 Literal expected."},
      {"param a\ncaption = 3", "32 3:0 Invalid setting."},
      {"param a\ndefault = \"s\"", "32 3:0 Invalid setting."},
      {"param a\nsize = 1", "32 3:0 Invalid setting."},
      {"param a\n@b = 1", "32 3:0 Invalid setting."},
      {"param a\ndefault = sin()", "32 3:10 Invalid setting."},
      {"param a\ndefault 1", "33 3:8 '=' expected."},
      {"param a\ndefault = 1 2", "19 3:12 ',' or end of line expected."},
      {"param a\nmin = true", "22 3:6 Incompatible types."},
      {"param a\nmax = 2\nmin = 3", "39 4:6 MIN value is larger than MAX value."},
      {"param a\nmin = 3\nmax = 2.5", "39 4:6 MIN value is larger than MAX value."},
      {"param a\nmax = (2, 4)\nmin = (1, 5)", "39 4:6 MIN value is larger than MAX value."},
      {"param a\nenum =", "49 3:6 String value expected."},
      {"param a\nenum = 1", "49 3:7 String value expected."},
      {"param a\nenum = \"x\" y", "49 3:11 String value expected."},
      // A parameter declared again keeps its type.
      {"param a\ndefault = 1\nendparam\nparam a\ndefault = 1.5", "22 6:10 Incompatible types."},
      {"param a\ndefault = 1.5\nendparam\nparam a\nenum = \"x\"", "22 6:7 Incompatible types."},
  };
  for (const TErrorCase& c : cases) EXPECT_EQ(DefaultError(c.Lines), c.Error) << c.Lines;
}

TEST(ParserSettings, FuncSettingErrors) {
  const TErrorCase cases[] = {
      {"func f\ndefault = fn1()", "52 3:10 Function expected."},
      {"func f\ndefault = @g()", "52 3:10 Function expected."},
      {"func f\ndefault = x", "52 3:10 Function expected."},
      {"func f\ndefault = 1", "32 3:0 Invalid setting."},
      {"func f\ndefault = true", "32 3:0 Invalid setting."},
      {"func f\ndefault = \"sin\"", "32 3:0 Invalid setting."},
      {"func f\nhint = sin()", "32 3:0 Invalid setting."},
      {"func f\nsize = \"s\"", "32 3:0 Invalid setting."},
      {"func f\ncaption = x", "13 3:10 Literal expected."},
      {"func f\ndefault = sin( x", "11 3:15 ')' expected."},
      {"func f\ndefault = sin() 1", "19 3:16 ',' or end of line expected."},
      // Functions that cannot be stored as a choice cannot be its default either.
      {"func f\ndefault = real()", "40 3:10 Invalid function."},
      {"func f\ndefault = atan2()", "40 3:10 Invalid function."},
  };
  for (const TErrorCase& c : cases) EXPECT_EQ(DefaultError(c.Lines), c.Error) << c.Lines;
}

TEST(ParserSettings, ParamDeclarations) {
  auto c = Compile(
      "default:\n"
      "param p1\nendparam\n"
      "param @n\ndefault = 2\nendparam\n"
      "param r\ndefault = -(1.5, 2)\nmin = -3\nmax = (2.5, 1)\n"
      "caption = \"Radius\"\nhint = \"first\"\nhint = \"second\"\nendparam\n"
      "param choice\nenum = \"a\" \"b\" \"c\"\nendparam\n"
      "param flag\ndefault = true\nendparam\n"
      "param r\ndefault = (0, 1)\nendparam");
  ASSERT_EQ(c->Error, "");
  EXPECT_EQ(c->Formula.Params().Count(), 5);

  const TParam& p1 = c->Param("P1");
  EXPECT_EQ(p1.ParamType(), vtComplex);
  EXPECT_EQ(p1.Caption(), "Parameter 1");

  const TParam& n = c->Param("n");
  EXPECT_EQ(n.ParamType(), vtInt);
  EXPECT_EQ(n.AsInteger(), 2);
  EXPECT_EQ(n.DefaultValue().Re, 2);

  // Reopening a parameter changes the existing one.
  const TParam& r = c->Param("r");
  EXPECT_EQ(r.ParamType(), vtComplex);
  EXPECT_EQ(r.AsComplex(), std::complex<long double>(0, 1));
  EXPECT_EQ(r.DefaultValue().Re, 0);
  EXPECT_TRUE(r.HasMin() && r.HasMax());
  EXPECT_EQ(r.MinValue().Re, -3);
  EXPECT_EQ(r.MaxValue().Re, 2.5L);
  EXPECT_EQ(r.MaxValue().Im, 1);
  EXPECT_EQ(r.Caption(), "Radius");
  EXPECT_EQ(r.Hint(), "first|second|");

  TParam& choice = c->Formula.Params().Items(c->Formula.Params().IndexOfName("choice"));
  EXPECT_EQ(choice.ParamType(), vtInt);
  EXPECT_EQ(*choice.EnumItems(), (std::vector<std::string>{"a", "b", "c"}));
  TValueSlot five;
  five.Re = 5;
  choice.SetValue({vtInt, five});
  EXPECT_EQ(choice.AsInteger(), 2);

  EXPECT_EQ(c->Param("flag").ParamType(), vtBool);
  EXPECT_TRUE(c->Param("flag").AsBoolean());
}

TEST(ParserSettings, SignedDefaultsNegateEveryPart) {
  auto c = Compile("default:\nparam a\ndefault = -(1.5, -2)\nendparam\n"
                   "param b\ndefault = -3\nendparam\nparam f\ndefault = +2.5\nendparam");
  ASSERT_EQ(c->Error, "");
  EXPECT_EQ(c->Param("a").AsComplex(), std::complex<long double>(-1.5L, 2));
  EXPECT_EQ(c->Param("b").AsInteger(), -3);
  EXPECT_EQ(c->Param("f").AsFloat(), 2.5L);
}

TEST(ParserSettings, FuncDeclarations) {
  auto c = Compile("default:\nfunc f\ndefault = cos()\ncaption = \"Shape\"\nendfunc\n"
                   "func @fn2\ndefault = srand()\nendfunc");
  ASSERT_EQ(c->Error, "");
  const TFunc& f = c->Formula.Funcs().Items(0);
  EXPECT_EQ(f.FuncCode(), fnCos);
  EXPECT_EQ(f.DefaultFuncCode(), fnCos);
  EXPECT_EQ(f.Caption(), "Shape");
  const TFunc& fn2 = c->Formula.Funcs().Items(1);
  EXPECT_EQ(fn2.Caption(), "Function 2");
  EXPECT_EQ(fn2.FuncCode(), fnIdent);
}

TEST(ParserSettings, FormulaSettings) {
  auto c = Compile("default:\nmaxiter = 500\nperiodicity = 0\nangle = 90\nmethod = MultiPass\n"
                   "center = (1, -2)\nmagn = 2");
  ASSERT_EQ(c->Error, "");
  const TFormula& f = c->Formula;
  EXPECT_EQ(f.MaxIterations(), 500);
  EXPECT_EQ(f.Periodicity(), 0);
  EXPECT_NEAR(static_cast<double>(f.DefaultAngle()), std::numbers::pi / 2, 1e-15);
  EXPECT_EQ(f.Method(), cmMultiPass);
  EXPECT_TRUE(SameValue(f.DefaultCenter(), TLiteral::MakeComplex(1, -2)));
  EXPECT_EQ(f.DefaultMagnification(), 2);

  auto b = Compile("builtin:\ntype = 1");
  ASSERT_EQ(b->Error, "");
  EXPECT_EQ(b->Formula.BuiltInType(), 1);
  EXPECT_EQ(b->Param("Start").ParamType(), vtComplex);
  EXPECT_EQ(b->Param("Bailout").ParamType(), vtFloat);
  EXPECT_EQ(b->Param("Bailout").AsFloat(), 4);

  auto s = Compile("switch:\ntype = \"Julia\"\nseed = #pixel\np1 = @power");
  ASSERT_EQ(s->Error, "");
  EXPECT_EQ(s->Formula.SwitchType(), "Julia");
  ASSERT_EQ(s->Formula.SwitchList().size(), 2u);
  EXPECT_EQ(s->Formula.SwitchList()[0].Target, "seed");
  EXPECT_EQ(s->Formula.SwitchList()[0].Source, "#pixel");
  EXPECT_EQ(s->Formula.SwitchList()[1].Target, "p1");
  EXPECT_EQ(s->Formula.SwitchList()[1].Source, "power");
}

TEST(ParserSettings, FormulaSettingErrors) {
  const TErrorCase cases[] = {
      {"maxiter = 0", "7 2:10 Literal out of range."},
      {"periodicity = 4", "7 2:14 Literal out of range."},
      {"maxiter = -5", "7 2:10 Literal out of range."},
      {"maxiter = 1.5", "22 2:10 Incompatible types."},
      {"method = slow", "7 2:9 Literal out of range."},
      {"center = 1", "22 2:9 Incompatible types."},
      {"speed = 1", "32 2:0 Invalid setting."},
      {"speed = \"x\"", "32 2:0 Invalid setting."},
      {"speed = fast", "32 2:0 Invalid setting."},
      {"@p = 1", "32 2:0 Invalid setting."},
      {"@p 1", "33 2:3 '=' expected."},
      {"@p =", "32 2:0 Invalid setting."},
      {"maxiter", "33 2:7 '=' expected."},
      {"title = sin()", "32 2:8 Invalid setting."},
      {"title = \"a\" \"b\"", "19 2:12 ',' or end of line expected."},
  };
  for (const TErrorCase& c : cases) EXPECT_EQ(DefaultError(c.Lines), c.Error) << c.Lines;
  EXPECT_EQ(Compile("builtin:\ntype = 3")->Error, "7 2:7 Literal out of range.");
  EXPECT_EQ(Compile("switch:\nseed = 1")->Error, "32 2:0 Invalid setting.");
}

}  // namespace
}  // namespace zt
