// Tests of the tokenizer and the compile driver: token streams of statements,
// number, complex and string literals, name classification, labels and
// sections, the token limit, compile errors and change notifications.
#include "formula/language/lexical.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <filesystem>

#include "formula/entries/formula.h"
#include "formula/testing/code_test_util.h"
#include "formula/testing/compile_test_util.h"
#include "testing/test_support.h"

namespace zt {
namespace {

// A tokenizer without a parser: it logs each section as "[NAME]" and each
// statement as its tokens, and answers the label hooks as configured.
class TRecorder : public TLexical {
 public:
  std::string Default = "INIT", Colon = "LOOP", Bailout = "BAILOUT", Implied;
  bool AcceptZ = false;
  bool Positions = false;  // log line:column after every token
  std::string Log;

 protected:
  std::string ImpliedFirstLabel(const std::string& label) override {
    return label == Implied ? "" : Implied;
  }
  std::string DefaultLabel() override { return Default; }
  std::string ColonLabel() override { return Colon; }
  std::string BailoutLabel() override { return Bailout; }
  bool ExtraSymbol(const std::string& upper, TSymbolCode& code) override {
    if (!AcceptZ || upper != "Z") return false;
    code = kSymbolZ;
    return true;
  }
  void StartSection(const std::string& label, int, int) override { Log += "[" + label + "]\n"; }
  void ParseStatement(const TToken* tokens, int count) override {
    for (int i = 0; i < count; ++i) {
      Log += (i ? " " : "") + TokenToString(tokens[i]);
      if (Positions)
        Log += "@" + std::to_string(tokens[i].Line) + ":" + std::to_string(tokens[i].Column);
    }
    Log += "\n";
  }
  void BeginCompile() override { Log += "compile\n"; }
  void Optimize() override { Log += "optimize\n"; }
  void Clear() override {
    TLexical::Clear();
    Log += "clear\n";
  }
};

// Compiles `body` and answers the log after "compile", or the error.
std::string Compile(TLexical& lexical, std::string& log, const std::string& body,
                    const std::string& file_name = "t.zfm") {
  log.clear();
  const std::string error = testing::CompileBody(lexical, body, file_name);
  if (!error.empty()) return error;
  std::string result = log;
  for (const char* step : {"compile\n", "optimize\n"})
    if (auto at = result.find(step); at != std::string::npos)
      result.erase(at, std::string(step).size());
  return result;
}

// The statements of `body` in a formula-like recorder, without the "[INIT]" line.
std::string Lex(const std::string& body, bool accept_z = false,
                const std::string& file_name = "t.zfm") {
  TRecorder lexical;
  lexical.AcceptZ = accept_z;
  std::string result = Compile(lexical, lexical.Log, body, file_name);
  return result.rfind("[INIT]\n", 0) == 0 ? result.substr(7) : result;
}

struct TCase {
  const char* Body;
  const char* Expected;
};

void ExpectAll(const std::vector<TCase>& cases) {
  for (const auto& c : cases) EXPECT_EQ(Lex(c.Body), c.Expected) << c.Body;
}

TEST(LexicalTest, OperatorsAndStatementEnds) {
  ExpectAll({
      {"a = b + c", "var(a) op(=) var(b) op(+) var(c) end\n"},
      {"a==b<=c>=d!=u&&f||g",
       "var(a) op(==) var(b) op(<=) var(c) op(>=) var(d) op(!=) var(u) "
       "op(&&) var(f) op(||) var(g) end\n"},
      {"a<b>c!d&u|f^g%h~i*j/k-l",
       "var(a) op(<) var(b) op(>) var(c) op(!) var(d) op(&) var(u) "
       "op(|) var(f) op(^) var(g) op(%) var(h) op(~) var(i) op(*) "
       "var(j) op(/) var(k) op(-) var(l) end\n"},
      {"a = = b", "var(a) op(=) op(=) var(b) end\n"},
      {"a =\n= b", "var(a) op(=) end\nop(=) var(b) end\n"},
      {"z = z*z + c, z = z - 1",
       "var(z) op(=) var(z) op(*) var(z) op(+) var(c) end\nvar(z) op(=) var(z) op(-) lit(1) end\n"},
      {"a = b +\\\n\n   c", "var(a) op(=) var(b) op(+) var(c) end\n"},
      {"a = 1 ; b = 2\n  ; c\n,,b", "var(a) op(=) lit(1) end\nvar(b) end\n"},
      {"a   \n\t b", "var(a) end\nvar(b) end\n"},
  });
}

TEST(LexicalTest, NumberLiterals) {
  ExpectAll({
      {"x = 3 + 007", "var(x) op(=) lit(3) op(+) lit(7) end\n"},
      {"x = 1.5 + .5e1 + 1e+2 + 2.5E-1",
       "var(x) op(=) lit(1.5) op(+) lit(5.0) op(+) lit(100.0) "
       "op(+) lit(0.25) end\n"},
      {"x = 2i + 1.5e1I", "var(x) op(=) lit((0,2)) op(+) lit((0,15)) end\n"},
      {"x = 2147483647 - -3", "var(x) op(=) lit(2147483647) op(-) op(-) lit(3) end\n"},
      {"x = 2i-y", "E4 1:4 Syntax error in literal number."},
      {"x = 1. + 1E5", "var(x) op(=) lit(1.0) op(+) lit(100000.0) end\n"},
      {"x = 1e", "E4 1:4 Syntax error in literal number."},
      {"x = .", "E4 1:4 Syntax error in literal number."},
      {"x = .e5", "E4 1:4 Syntax error in literal number."},
      {"x = (., 1)", "E4 1:5 Syntax error in literal number."},
      {"x = 1e+ 2", "E4 1:4 Syntax error in literal number."},
      {"x = 1.5.2", "E4 1:4 Syntax error in literal number."},
      {"x = 1e5.0", "E4 1:4 Syntax error in literal number."},
      {"x = 1e5e2", "E4 1:4 Syntax error in literal number."},
      {"x = 2x", "E4 1:4 Syntax error in literal number."},
      {"x = 3_", "E4 1:4 Syntax error in literal number."},
      {"x = 2i3", "E4 1:4 Syntax error in literal number."},
      {"x = 2i.5", "E4 1:4 Syntax error in literal number."},
      {"x = 2ie1", "E4 1:4 Syntax error in literal number."},
      {"x = 2ii", "E4 1:4 Syntax error in literal number."},
      {"x = 1e99999", "E6 1:4 Exponent in floating-point literal out of range."},
      {"x = 1e99999i", "E6 1:4 Exponent in floating-point literal out of range."},
      {"x = 2147483648", "E7 1:4 Literal out of range."},
      {"x = 99999999999999999999", "E7 1:4 Literal out of range."},
  });
}

TEST(LexicalTest, ComplexLiterals) {
  ExpectAll({
      {"x = (1, -2)", "var(x) op(=) lit((1,-2)) end\n"},
      {"x = ( - 1.5 ,+ 2i )*y", "var(x) op(=) lit((-1.5,2)) op(*) var(y) end\n"},
      {"x = (1 + y)", "var(x) op(=) op(() lit(1) op(+) var(y) op()) end\n"},
      {"x = (-3 + y)", "var(x) op(=) op(() lit(-3) op(+) var(y) op()) end\n"},
      {"x = (- 1.5)", "var(x) op(=) op(() lit(-1.5) op()) end\n"},
      {"x = (-2i + y)", "var(x) op(=) op(() lit((0,-2)) op(+) var(y) op()) end\n"},
      {"x = (- y)", "var(x) op(=) op(() op(-) var(y) op()) end\n"},
      {"x = (2i, 3)", "E12 1:4 Invalid complex literal format."},
      {"x = (", "E10 1:4 Expression expected."},
      {"x = ( -", "E10 1:4 Expression expected."},
      {"x = (1,", "E10 1:4 Expression expected."},
      {"x = (1,\n2)", "E10 1:4 Expression expected."},
      {"x = (1, y)", "E13 1:4 Literal expected."},
      {"x = (1, -)", "E13 1:4 Literal expected."},
      {"x = (1", "E11 1:4 ')' expected."},
      {"x = (1, 2", "E11 1:4 ')' expected."},
      {"x = (1, 2 3)", "E11 1:4 ')' expected."},
      {"x = (2147483648, 0)", "E7 1:5 Literal out of range."},
  });
}

TEST(LexicalTest, StringsAndCharacters) {
  ExpectAll({
      {"t = \"a b;c,d\" x", "var(t) op(=) str(a b;c,d) var(x) end\n"},
      {"t = \"abc", "E8 1:4 Unterminated string (\" expected)."},
      {"t = \"ab\nc\"", "E8 1:4 Unterminated string (\" expected)."},
      {"t = \"a}b\"", "E8 1:4 Unterminated string (\" expected)."},
      {"x = $", "E5 1:4 Invalid character encountered: '$'."},
      {"x = 1\n  y = [", "E5 2:6 Invalid character encountered: '['."},
  });
  std::string long_text(300, 'q');
  EXPECT_EQ(Lex("t = \"" + long_text + "\""),
            "var(t) op(=) str(" + long_text.substr(0, 255) + ") end\n");
}

TEST(LexicalTest, NameClassification) {
  ExpectAll({
      {"x = #pi + pi + PI", "var(x) op(=) sym(pi) op(+) sym(pi) op(+) sym(pi) end\n"},
      {"x = #Random+rand+#screenpixel+scrnpix+#z",
       "var(x) op(=) sym(random) op(+) sym(random) "
       "op(+) sym(screenpixel) op(+) sym(screenpixel) op(+) sym(z) end\n"},
      {"x = random + numiter + z",
       "var(x) op(=) var(random) op(+) var(numiter) op(+) var(z) end\n"},
      {"x = #foo", "E9 1:4 Invalid predefined symbol."},
      {"x = #", "E9 1:4 Invalid predefined symbol."},
      {"x = # pi", "E9 1:4 Invalid predefined symbol."},
      {"x = #1", "E9 1:4 Invalid predefined symbol."},
      {"x = @a + @f(y) + @g (y) + @_b",
       "var(x) op(=) param(a) op(+) ufn(f) op(() var(y) op()) "
       "op(+) ufn(g) op(() var(y) op()) op(+) param(_b) end\n"},
      {"x = @", "E30 1:4 Invalid parameter."},
      {"x = @3", "E30 1:4 Invalid parameter."},
      {"if(x) else endIF", "kw(if) op(() var(x) op()) kw(else) kw(endif) end\n"},
      {"x = sin(y) + SRand(y) + fn1(y) + FN4 (y)",
       "var(x) op(=) fn(sin) op(() var(y) op()) op(+) "
       "fn(ident) op(() var(y) op()) op(+) ufn(fn1) op(() var(y) op()) op(+) ufn(FN4) op(() "
       "var(y) op()) end\n"},
      {"x = sin + p1 + P3 + p4 + fn1",
       "var(x) op(=) var(sin) op(+) param(p1) op(+) param(P3) "
       "op(+) var(p4) op(+) var(fn1) end\n"},
      {"x (y)", "E40 1:0 Invalid function."},
      {"x = p1(y)", "E40 1:4 Invalid function."},
      {"x = toint(y)", "E40 1:4 Invalid function."},
      {"x = sin\n(y)", "var(x) op(=) var(sin) end\nop(() var(y) op()) end\n"},
  });
  EXPECT_EQ(Lex("x = z", true), "var(x) op(=) sym(z) end\n");
  std::string name(70, 'n');
  EXPECT_EQ(Lex(name + "1 = 1"), "var(" + name.substr(0, 63) + ") op(=) lit(1) end\n");
}

// Fractint's formula files (".frm") know `cosxx` and read every number as real;
// our own collections keep the language as it is.
TEST(LexicalTest, FractintDialect) {
  const struct {
    const char* Body;
    const char* Fractint;
    const char* Own;
  } cases[] = {
      {"x = cosxx (y)^2", "var(x) op(=) fn(conj) fn(cos) op(() var(y) op()) op(^) lit(2) end\n",
       "E40 1:4 Invalid function."},
      {"x = cosxx + 1", "var(x) op(=) var(cosxx) op(+) lit(1) end\n",
       "var(x) op(=) var(cosxx) op(+) lit(1) end\n"},
      {"x = 100000000000*y", "var(x) op(=) lit(100000000000.0) op(*) var(y) end\n",
       "E7 1:4 Literal out of range."},
      {"x = (-2147483648, 99999999999)", "var(x) op(=) lit((-2147483648,99999999999)) end\n",
       "E7 1:6 Literal out of range."},
      {"x = 2147483647", "var(x) op(=) lit(2147483647) end\n",
       "var(x) op(=) lit(2147483647) end\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Lex(c.Body, false, "t.frm"), c.Fractint) << c.Body;
    EXPECT_EQ(Lex(c.Body, false, "t.zfm"), c.Own) << c.Body;
  }
  // Compiled, cosxx gives exactly what conj(cos(...)) gives.
  testing::TFormulaRun fractint(
      testing::Compile<TFormula>("z = pixel:\nz = cosxx(z) + 0.25\n|z| < 1e30\n", "t.frm"));
  testing::TFormulaRun own("z = pixel:\nz = conj(cos(z)) + 0.25\n|z| < 1e30\n");
  for (const testing::Complex pixel : {testing::Complex(0.3L, -0.7L), {-1.25L, 2.5L}, {2, 0.5L}}) {
    fractint.Run(pixel, 4);
    own.Run(pixel, 4);
    const testing::Complex z = fractint.Block.Complex(calc::kZ);
    EXPECT_EQ(z, own.Block.Complex(calc::kZ)) << pixel;
    EXPECT_EQ(fractint.Block.Int32(calc::kNumIter), own.Block.Int32(calc::kNumIter)) << pixel;
  }
}

TEST(LexicalTest, LabelsAndSections) {
  ExpectAll({
      {"z = pixel : z = z*z + pixel, |z| < 4",
       "var(z) op(=) sym(pixel) end\n[LOOP]\nvar(z) op(=) var(z) op(*) var(z) op(+) sym(pixel) "
       "end\n[BAILOUT]\nop(|) var(z) op(|) op(<) lit(4) end\n"},
      {"x = 1 :\n y = 2\n z = 3 ; last\n ; comment\nfinal:\n w = 4",
       "var(x) op(=) lit(1) end\n[LOOP]\nvar(y) op(=) lit(2) end\n[BAILOUT]\nvar(z) op(=) lit(3) "
       "end\n[FINAL]\nvar(w) op(=) lit(4) end\n"},
      {"x = a: y", "var(x) op(=) var(a) end\n[LOOP]\n[BAILOUT]\nvar(y) end\n"},
      {"x = 1\n y = 2", "var(x) op(=) lit(1) end\nvar(y) op(=) lit(2) end\n"},
      {"#x: y = 1", "E20 1:0 Invalid label encountered."},
      {"@x:", "E20 1:0 Invalid label encountered."},
  });
  TRecorder lexical;
  lexical.Implied = "INIT";
  EXPECT_EQ(Compile(lexical, lexical.Log, "Loop: z = 1\nbailout:\n z"),
            "[INIT]\n[LOOP]\nvar(z) op(=) lit(1) end\n[BAILOUT]\nvar(z) end\n");
  EXPECT_EQ(Compile(lexical, lexical.Log, "init: z = 1\nloop:"),
            "[INIT]\nvar(z) op(=) lit(1) end\n[LOOP]\n");
  // Kinds without a default, colon or bailout label.
  lexical.Default = lexical.Colon = lexical.Bailout = lexical.Implied = "";
  EXPECT_EQ(Compile(lexical, lexical.Log, "\n  x = 1"), "E2 2:2 Initial label expected.");
  EXPECT_EQ(Compile(lexical, lexical.Log, "a: x = 1 :"),
            "E3 1:9 Label only consisting of a colon is not allowed.");
  lexical.Colon = "LOOP";
  EXPECT_EQ(Compile(lexical, lexical.Log, "a: x : y\n z"),
            "[A]\nvar(x) end\n[LOOP]\nvar(y) end\nvar(z) end\n");
}

TEST(LexicalTest, TokenPositions) {
  TRecorder lexical;
  lexical.Positions = true;
  // Tabs count as TabSize blanks; the end marker stands at the length of the line.
  EXPECT_EQ(Compile(lexical, lexical.Log, "  x = 1,  y>=2 ; c\n\tz = (1,2) + \\\n \"s\""),
            "[INIT]\nvar(x)@1:2 op(=)@1:4 lit(1)@1:6 end@1:18\n"
            "var(y)@1:10 op(>=)@1:11 lit(2)@1:13 end@1:18\n"
            "var(z)@2:2 op(=)@2:4 lit((1,2))@2:6 op(+)@2:12 str(s)@3:1 end@3:4\n");
}

// "a + a + ... " with `count` tokens in one statement.
std::string Tokens(int count) {
  std::string text = count % 2 ? "a" : "-a";
  for (int i = count % 2 ? 1 : 2; i < count; i += 2) text += " + a";
  return text;
}

TEST(LexicalTest, TokenLimit) {
  std::string fits = Lex(Tokens(kMaxTokens - 1));
  EXPECT_EQ(std::count(fits.begin(), fits.end(), ' '), kMaxTokens - 1) << fits;
  // The end marker is the token that does not fit; it stands at the end of the line.
  std::string full = Tokens(kMaxTokens);
  EXPECT_EQ(Lex(full), "E1 1:" + std::to_string(full.size()) + " Too many tokens in statement.");
  std::string over = Tokens(kMaxTokens + 1);
  EXPECT_EQ(Lex(over),
            "E1 1:" + std::to_string(over.size() - 1) + " Too many tokens in statement.");
  EXPECT_EQ(Lex(std::string(10000, '(')), "E1 1:256 Too many tokens in statement.");
}

TEST(LexicalTest, CompileErrorsAndWarnings) {
  TRecorder lexical;
  std::string events;
  lexical.OnMessage = [&](TLexical&, int code, const std::string& text, int line, int column) {
    events += std::to_string(code) + " " + text + " " + std::to_string(line) + ":" +
              std::to_string(column) + "\n";
  };
  EXPECT_EQ(Compile(lexical, lexical.Log, "x = 1\n  y = $"),
            "E5 2:6 Invalid character encountered: '$'.");
  EXPECT_EQ(lexical.ErrorLine(), 3);
  EXPECT_EQ(lexical.ErrorColumn(), 7);
  EXPECT_NE(lexical.Log.find("clear\n"), std::string::npos);
  EXPECT_EQ(Compile(lexical, lexical.Log, "x = 1"), "[INIT]\nvar(x) op(=) lit(1) end\n");
  EXPECT_EQ(lexical.ErrorLine(), 1);
  EXPECT_EQ(lexical.ErrorColumn(), 1);

  for (bool warnings : {false, true}) {
    EXPECT_EQ(events, "");
    EXPECT_FALSE(lexical.WarningsIssued());
    lexical.SetCompileOptions({.GenerateWarnings = warnings});
    lexical.Warning(WARN_NOTDECLARED, 2, 3);
  }
  EXPECT_EQ(events, "2 Variable has not been declared 2:3\n");
  EXPECT_TRUE(lexical.WarningsIssued());
  lexical.Compile();
  EXPECT_FALSE(lexical.WarningsIssued());
}

TEST(LexicalTest, ChangeLevelsAndBatching) {
  TRecorder lexical;
  Compile(lexical, lexical.Log, "x = 1");
  std::string& log = lexical.Log;
  lexical.OnValuesChanged = [&](TLexical&) { log += "values\n"; };
  lexical.OnChanged = [&](TLexical&) { log += "changed\n"; };
  lexical.OnBeforeRebuild = [&](TLexical&) { log += "before\n"; };
  lexical.OnRebuilt = [&](TLexical&) { log += "rebuilt\n"; };
  auto changes = [&](const std::function<void()>& action) {
    log.clear();
    action();
    return log;
  };
  EXPECT_EQ(changes([&] { lexical.Change(1); }), "values\n");
  EXPECT_EQ(changes([&] { lexical.Change(2); }), "changed\n");
  EXPECT_EQ(changes([&] { lexical.Change(3); }), "before\noptimize\nchanged\nrebuilt\n");
  EXPECT_EQ(changes([&] { lexical.Change(4); }),
            "before\ncompile\n[INIT]\nvar(x) op(=) lit(1) end\noptimize\nchanged\nrebuilt\n");
  EXPECT_EQ(changes([&] {
              lexical.BeginUpdate();
              lexical.Change(1);
              lexical.BeginUpdate();
              lexical.Change(3);
              lexical.EndUpdate();
              lexical.Change(2);
              log += "closing\n";
              lexical.EndUpdate();
              lexical.EndUpdate();  // unbalanced: ignored
            }),
            "closing\nbefore\noptimize\nchanged\nrebuilt\n");
  EXPECT_EQ(changes([&] {
              lexical.BeginUpdate();
              lexical.Change(1);
              lexical.EndUpdate();
            }),
            "values\n");
  EXPECT_EQ(changes([&] {  // nothing is left pending from the bracket before
              lexical.BeginUpdate();
              lexical.EndUpdate();
            }),
            "");
  EXPECT_EQ(changes([&] { lexical.ClearEntry(); }), "before\nclear\nchanged\nrebuilt\n");
  EXPECT_TRUE(lexical.IsEmpty());
  EXPECT_EQ(changes([&] { lexical.Change(4); }),
            "before\ncompile\n[INIT]\nvar(x) op(=) lit(1) "
            "end\noptimize\nchanged\nrebuilt\n");
  EXPECT_FALSE(lexical.IsEmpty());
}

TEST(LexicalTest, KeepValuesAcrossRecompilation) {
  TFormula formula;
  std::string log;
  const char* body =
      "init:\n z = @seed\nloop:\n z = z*z\nbailout:\n |z| < 4\ndefault:\n"
      " param seed\n  default = (1, 2)\n endparam";
  ASSERT_EQ(Compile(formula, log, body), "");
  ASSERT_EQ(formula.Params().Count(), 1);
  int rebuilt = 0;
  formula.OnRebuilt = [&](TLexical&) { ++rebuilt; };
  formula.Params().Items(0).SetAsComplex({3, 4});  // a value change re-optimizes
  EXPECT_EQ(rebuilt, 1);
  formula.SetKeepValues(true);
  formula.Change(4);
  EXPECT_EQ(formula.Params().Items(0).AsComplex(), std::complex<long double>(3, 4));
  formula.Change(4);  // the flag lasts for one compilation
  EXPECT_EQ(formula.Params().Items(0).AsComplex(), std::complex<long double>(1, 2));
  formula.Params().Items(0).SetAsComplex({5, 6});
  rebuilt = 0;
  formula.ResetToDefaults();  // one change for all parameters
  EXPECT_EQ(formula.Params().Items(0).AsComplex(), std::complex<long double>(1, 2));
  EXPECT_EQ(rebuilt, 1);
  formula.ClearEntry();
  EXPECT_TRUE(formula.IsEmpty());
  EXPECT_EQ(formula.Params().Count(), 0);
}

TEST(LexicalTest, LoadEntrySearchesSubfoldersDepthFirst) {
  testing::TempDir dir;
  dir.Write("Lib.zfm", "other { x = 1 }\n");
  std::filesystem::create_directories(dir.path() / "a" / "b");
  dir.Write("a/b/lib.ZFM", "wanted { x = 2 }\n");
  TRecorder lexical;
  lexical.LoadEntry((dir.path() / "lib.zfm").string(), "WANTED");
  EXPECT_EQ(lexical.Code().EntryName, "wanted");
  EXPECT_EQ(lexical.Log, "compile\n[INIT]\nvar(x) op(=) lit(2) end\noptimize\n");
  EXPECT_EQ(testing::ErrorMessageOf<ECodeError>(
                [&] { lexical.LoadEntry((dir.path() / "lib.zfm").string(), "missing"); }),
            "Could not find the entry 'missing' in 'lib.zfm'");
}

TEST(LexicalTest, BadInputNeitherCrashesNorHangs) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) % 256);
  TFormula formula;
  std::string log;
  for (const std::string& body :
       {binary, std::string(1 << 20, 'a'), "z = " + std::string(1 << 20, '9'),
        "z = " + std::string(10000, '(') + "1", std::string(1 << 20, ' ') + "z = 1"}) {
    Compile(formula, log, body);
  }
  testing::TempDir dir;
  formula.SetEntry(dir.Write("u.zfm", "u {\ninit:\n z = (1, 2").string(), "u");
  EXPECT_TRUE(formula.CompileFailed());
  EXPECT_EQ(Lex("z = 1\r\n"), "var(z) op(=) lit(1) end\n");
}

}  // namespace
}  // namespace zt
