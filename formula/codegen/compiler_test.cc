// The code generator on hand-built programs: the exact messages of untranslatable
// nodes, the encodings of copies and jumps byte for byte, and how spills share
// their temporaries between statements.
#include "formula/codegen/compiler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/runtime.h"
#include "formula/entries/formula.h"
#include "formula/language/token.h"
#include "testing/test_support.h"

namespace zt {
namespace {

using TNode = std::unique_ptr<TExpression>;

// Exposes the translation of a hand-built program and records its sections.
class TProbeCompiler : public TCompiler {
 public:
  struct TSection {
    std::string Name;
    std::vector<std::uint8_t> Bytes;
  };

  void Run(TExpressionList& program) { GenerateFrom(program); }
  std::vector<TSection> Sections;

 protected:
  void SectionCompiled(const std::string& upper_name, TCodeBuffer code) override {
    EXPECT_TRUE(code.Empty() || code.Sealed());
    Sections.push_back({upper_name, {code.Bytes().begin(), code.Bytes().end()}});
  }
};

TNode Node(TNodeKind kind, TValueType type, int code = 0) {
  TNode node = TExpression::Make(kind, 0, 0, code);
  node->Type = type;
  return node;
}

TNode Section(const std::string& name) {
  TNode node = Node(kNodeSection, kTypeBool);
  node->Name = name;
  return node;
}

TNode Literal(TLiteral value) {
  TNode node = Node(kNodeLiteral, value.Type);
  node->Literal = value;
  return node;
}

TNode Var(TVariable& variable) {
  TNode node = Node(kNodeVariable, variable.Type);
  node->Variable = &variable;
  return node;
}

TNode Symbol(int code, TValueType type) { return Node(kNodeSymbol, type, code); }

TNode Unary(int op, TValueType type, TNode operand) {
  TNode node = Node(kNodeUnary, type, op);
  node->Left = std::move(operand);
  return node;
}

TNode Binary(int op, TValueType type, TNode left, TNode right) {
  TNode node = Node(kNodeBinary, type, op);
  node->Left = std::move(left);
  node->Right = std::move(right);
  return node;
}

TNode Call(int function, TValueType type, TNode argument) {
  TNode node = Node(kNodeFunction, type, function);
  node->Left = std::move(argument);
  return node;
}

TNode Keyword(int code, TNode condition = nullptr) {
  TNode node = Node(kNodeKeyword, kTypeBool, code);
  node->Left = std::move(condition);
  return node;
}

TEST(CompilerTest, UntranslatableNodesRaiseTheirMessage) {
  struct TCase {
    const char* Message;
    std::function<TNode(TVariableList&)> Statement;
  };
  const TCase cases[] = {
      {"Could not translate complex literal",
       [](TVariableList&) { return Literal(TLiteral::MakeComplex(2, 0)); }},
      {"Could not translate float literal",
       [](TVariableList&) { return Literal(TLiteral::MakeFloat(0.5L)); }},
      {"Could not translate predefined symbol",
       [](TVariableList&) { return Symbol(kSymbolPi, kTypeFloat); }},
      {"Could not translate expression",
       [](TVariableList&) { return Node(kNodeUserFunction, kTypeComplex); }},
      {"Could not translate unary operator",
       [](TVariableList& v) {
         return Unary(kExprNot, kTypeBool, Var(v.AddVariable("c", kTypeComplex)));
       }},
      {"Could not translate complex operator",
       [](TVariableList& v) {
         TVariable& c = v.AddVariable("c", kTypeComplex);
         return Binary(kExprAnd, kTypeBool, Var(c), Var(c));
       }},
      {"Could not translate bool operator",
       [](TVariableList& v) {
         TVariable& b = v.AddVariable("b", kTypeBool);
         return Binary(kExprMultiply, kTypeBool, Var(b), Var(b));
       }},
      {"Could not translate bool function",
       [](TVariableList& v) {
         return Call(kFunctionSin, kTypeBool, Var(v.AddVariable("b", kTypeBool)));
       }},
      {"Could not translate ZERO",
       [](TVariableList& v) {
         return Call(kFunctionZero, kTypeFloat, Var(v.AddVariable("f", kTypeFloat)));
       }},
  };
  for (const TCase& c : cases) {
    TProbeCompiler compiler;
    TExpressionList program;
    program.Append(Section("INIT"));
    program.Append(c.Statement(compiler.Variables()));
    EXPECT_EQ(testing::ErrorMessageOf([&] { compiler.Run(program); }), c.Message);
  }
}

TEST(CompilerTest, EachSectionGetsItsOwnExactlySizedCode) {
  TProbeCompiler compiler;
  TVariable& x = compiler.Variables().AddVariable("x", kTypeInt);
  TVariable& f = compiler.Variables().AddVariable("f", kTypeFloat);
  TExpressionList program;
  program.Append(Section("INIT"));
  // Copies without the FPU (36 bytes per extended value): a variable of the same
  // type, and the literals 0 and 1.
  program.Append(Binary(kExprAssign, kTypeComplex, Symbol(kSymbolZ, kTypeComplex),
                        Symbol(kSymbolPixel, kTypeComplex)));
  program.Append(Binary(kExprAssign, kTypeComplex, Symbol(kSymbolZ, kTypeComplex),
                        Literal(TLiteral::MakeComplex(1, 0))));
  program.Append(Binary(kExprAssign, kTypeFloat, Var(f), Literal(TLiteral::MakeFloat(0))));
  program.Append(Binary(kExprAssign, kTypeInt, Var(x), Literal(TLiteral::MakeInt(7))));
  program.Append(Section("LOOP"));
  program.Append(Section("BAILOUT"));
  // An unused value is dropped from the FPU.
  program.Append(Symbol(kSymbolPixel, kTypeComplex));
  compiler.Run(program);

  ASSERT_EQ(compiler.Sections.size(), 3u);
  EXPECT_EQ(compiler.Sections[0].Name, "INIT");
  EXPECT_EQ(compiler.Sections[0].Bytes.size(), 2u * 36 + 2 * 36 + 36 + 10);
  EXPECT_EQ(compiler.Sections[1].Name, "LOOP");
  EXPECT_TRUE(compiler.Sections[1].Bytes.empty());
  EXPECT_EQ(compiler.Sections[2].Bytes.size(), 12 + PrimitiveLength(kPrimitiveDiscardComplex));
  // The int literal is stored at the laid-out offset of x.
  const std::vector<std::uint8_t>& init = compiler.Sections[0].Bytes;
  const std::size_t store = init.size() - 10;
  EXPECT_EQ(init[store], 0xC7);
  EXPECT_EQ(init[store + 1], 0x87);
  EXPECT_EQ(init[store + 2], static_cast<std::uint8_t>(x.Offset));
  EXPECT_EQ(init[store + 6], 7);
}

TEST(CompilerTest, ForwardJumpsArePatchedToTheirTargets) {
  TProbeCompiler compiler;
  TVariable& b = compiler.Variables().AddVariable("b", kTypeBool);
  TVariable& x = compiler.Variables().AddVariable("x", kTypeInt);
  auto set_x = [&](int value) {
    return Binary(kExprAssign, kTypeInt, Var(x), Literal(TLiteral::MakeInt(value)));
  };
  TExpressionList program;
  program.Append(Section("IFELSE"));
  program.Append(Keyword(kKeywordIf, Var(b)));  // 0: mov al (6); 6: jz (8)
  program.Append(set_x(1));                     // 14: (10)
  program.Append(Keyword(kKeywordElse));        // 24: jmp (5)
  program.Append(set_x(2));                     // 29: (10)
  program.Append(Keyword(kKeywordEndIf));       // 39
  program.Append(Section("WHILE"));
  program.Append(Keyword(kKeywordWhile, Var(b)));  // 0: mov al (6); 6: jz (8)
  program.Append(set_x(3));                        // 14: (10)
  program.Append(Keyword(kKeywordEndWhile));       // 24: abort check (9); 33: jmp (5); 38
  program.Append(Section("REPEAT"));
  program.Append(Keyword(kKeywordRepeat));         // 0
  program.Append(set_x(4));                        // 0: (10)
  program.Append(Keyword(kKeywordUntil, Var(b)));  // 10: mov al (6); 16: abort (9); 25: jz (8); 33
  compiler.Run(program);
  ASSERT_EQ(compiler.Sections.size(), 3u);

  auto rel32 = [](const std::vector<std::uint8_t>& code, std::size_t at) {
    return static_cast<std::int32_t>(code[at] | code[at + 1] << 8 | code[at + 2] << 16 |
                                     static_cast<std::uint32_t>(code[at + 3]) << 24);
  };
  const auto& if_else = compiler.Sections[0].Bytes;
  ASSERT_EQ(if_else.size(), 39u);
  EXPECT_EQ(rel32(if_else, 6 + 4), 29 - 6 - 8);
  EXPECT_EQ(if_else[24], 0xE9);
  EXPECT_EQ(rel32(if_else, 25), 39 - 24 - 5);

  const auto& while_loop = compiler.Sections[1].Bytes;
  ASSERT_EQ(while_loop.size(), 38u);
  EXPECT_EQ(rel32(while_loop, 6 + 4), 38 - 6 - 8);
  EXPECT_EQ(while_loop[24 + 8], 38 - 24 - 9);  // the abort check's rel8
  EXPECT_EQ(rel32(while_loop, 34), 0 - 33 - 5);

  const auto& repeat_loop = compiler.Sections[2].Bytes;
  ASSERT_EQ(repeat_loop.size(), 33u);
  EXPECT_EQ(repeat_loop[16 + 8], 33 - 16 - 9);
  EXPECT_EQ(rel32(repeat_loop, 25 + 4), 0 - 25 - 8);
}

// (((a + a) + a) + a): each level holds the right operand below the left one,
// so the chain needs 2 more registers per level.
TNode Chain(TVariable& a, int levels) {
  TNode node = Var(a);
  for (int i = 0; i < levels; ++i) node = Binary(kExprAdd, a.Type, std::move(node), Var(a));
  return node;
}

TEST(CompilerTest, SpillTemporariesAreSharedByNumberAndType) {
  TProbeCompiler compiler;
  TVariableList& variables = compiler.Variables();
  TVariable& c = variables.AddVariable("c", kTypeComplex);
  TVariable& f = variables.AddVariable("f", kTypeFloat);
  TExpressionList program;
  program.Append(Section("INIT"));
  // Complex: 3 levels need 8 registers on each side; float: 6 levels need 7.
  for (int i = 0; i < 2; ++i)
    program.Append(Binary(kExprAssign, kTypeComplex, Var(c),
                          Binary(kExprMultiply, kTypeComplex, Chain(c, 3), Chain(c, 3))));
  program.Append(Binary(kExprAssign, kTypeFloat, Var(f),
                        Binary(kExprMultiply, kTypeFloat, Chain(f, 6), Chain(f, 6))));
  compiler.Run(program);

  std::vector<std::pair<int, TValueType>> temporaries;
  for (int i = 0; i < variables.Count(); ++i)
    if (variables.Item(i).Kind == TVariableKind::kTemporary)
      temporaries.emplace_back(variables.Item(i).Number, variables.Item(i).Type);
  const std::vector<std::pair<int, TValueType>> expected = {{0, kTypeComplex}, {0, kTypeFloat}};
  EXPECT_EQ(temporaries, expected);
  EXPECT_NE(variables.Item(2).Offset, variables.Item(3).Offset);
}

// Parks values for LOOP and BAILOUT as the formula does, or for nothing.
class TParkingCompiler : public TProbeCompiler {
 public:
  explicit TParkingCompiler(bool parks) : parks_(parks) {}
  using TCompiler::Parked;

 protected:
  TParking Parking(const std::string& upper_name) const override {
    return parks_ && (upper_name == "LOOP" || upper_name == "BAILOUT") ? TParking::kChosen
                                                                       : TParking::kNone;
  }

 private:
  bool parks_;
};

TNode Z() { return Symbol(kSymbolZ, kTypeComplex); }
TNode Pixel() { return Symbol(kSymbolPixel, kTypeComplex); }
TNode SetZ(TNode value) { return Binary(kExprAssign, kTypeComplex, Z(), std::move(value)); }
TNode ZSquaredPlusPixel() {
  return Binary(kExprAdd, kTypeComplex, Call(kFunctionSqr, kTypeComplex, Z()), Pixel());
}

// Builds a formula program; `loop` and `bailout` add their statements.
using TStatements = std::function<void(TExpressionList&, TVariableList&)>;

struct TParkingRun {
  std::vector<TParkedValue> Parked;
  std::vector<TProbeCompiler::TSection> Sections;
};

TParkingRun CompileParking(bool parks, const TStatements& loop, const TStatements& bailout) {
  TParkingCompiler compiler(parks);
  TExpressionList program;
  program.Append(Section("INIT"));
  program.Append(SetZ(Pixel()));
  program.Append(Section("LOOP"));
  loop(program, compiler.Variables());
  program.Append(Section("BAILOUT"));
  bailout(program, compiler.Variables());
  compiler.Run(program);
  return {compiler.Parked(), compiler.Sections};
}

void MandelbrotLoop(TExpressionList& program, TVariableList&) {
  program.Append(SetZ(ZSquaredPlusPixel()));
}

void ModulusBailout(TExpressionList& program, TVariableList& variables) {
  TVariable& limit = variables.AddVariable("limit", kTypeFloat);
  program.Append(Binary(kExprLess, kTypeBool, Unary(kExprModulus, kTypeFloat, Z()), Var(limit)));
}

// (c * c) * (c * c): each side needs six registers (the product needs two of its
// own), so either one waits below the other with eight in use.
TNode SquaresProduct(TVariable& c) {
  return Binary(kExprMultiply, kTypeComplex, Binary(kExprMultiply, kTypeComplex, Var(c), Var(c)),
                Binary(kExprMultiply, kTypeComplex, Var(c), Var(c)));
}

std::size_t Count(const std::vector<std::uint8_t>& code, std::vector<std::uint8_t> bytes) {
  std::size_t count = 0;
  for (std::size_t i = 0; i + bytes.size() <= code.size(); ++i)
    count += std::equal(bytes.begin(), bytes.end(), code.begin() + static_cast<long>(i));
  return count;
}

bool ParksZ(const TParkingRun& run) {
  return std::any_of(run.Parked.begin(), run.Parked.end(),
                     [](const TParkedValue& v) { return v.IsZ(); });
}

TEST(CompilerTest, ParkedValuesLiveInRegistersThroughLoopAndBailout) {
  const TParkingRun parked = CompileParking(true, MandelbrotLoop, ModulusBailout);
  const TParkingRun plain = CompileParking(false, MandelbrotLoop, ModulusBailout);
  // sqr(z) + #pixel needs 4 registers with #pixel added last, which leaves room
  // for #z and #pixel but not the limit as well; #z goes to the bottom.
  const std::vector<TParkedValue> expected = {{TCodeEmitter::kBlock, calc::kPixel, true, false},
                                              {TCodeEmitter::kBlock, calc::kZ, true, true}};
  EXPECT_EQ(parked.Parked, expected);
  EXPECT_TRUE(plain.Parked.empty());
  ASSERT_EQ(parked.Sections.size(), 3u);
  EXPECT_EQ(parked.Sections[0].Bytes, plain.Sections[0].Bytes);  // INIT is not parked

  // #z is copied from below #pixel, #pixel from below the square (both fld st(3)
  // twice); nothing is loaded from or stored to the block, and the new #z takes
  // the registers of the old one, which is dropped.
  const std::vector<std::uint8_t>& loop = parked.Sections[1].Bytes;
  EXPECT_EQ(Count(loop, {0xD9, 0xC3, 0xD9, 0xC3}), 2u);
  EXPECT_EQ(Count(loop, {0xDB, 0xAE}) + Count(loop, {0xDB, 0xBE}), 0u);
  ASSERT_GE(loop.size(), 8u);
  EXPECT_EQ(std::vector<std::uint8_t>(loop.end() - 8, loop.end()),
            (std::vector<std::uint8_t>{0xD9, 0xCC, 0xDD, 0xD8,     // fxch st(4); fstp st(0)
                                       0xD9, 0xCC, 0xDD, 0xD8}));  // twice

  // |z| goes first, then the limit comes from memory above it.
  const std::vector<std::uint8_t>& bailout = parked.Sections[2].Bytes;
  EXPECT_EQ(Count(bailout, {0xD9, 0xC3, 0xD9, 0xC3}), 1u);
  EXPECT_EQ(Count(bailout, {0xDB, 0xAF}), 1u);
}

TEST(CompilerTest, WritesOfStatementsOfTheirOwnKeepAValueParked) {
  auto some_variable = [](TVariableList& v) -> TVariable& {
    return v.AddVariable("c", kTypeComplex);
  };
  const TStatements loops[] = {
      [&](TExpressionList& p, TVariableList& v) {  // written, then read again
        p.Append(SetZ(ZSquaredPlusPixel()));
        p.Append(Binary(kExprAssign, kTypeComplex, Var(some_variable(v)), Z()));
      },
      [](TExpressionList& p, TVariableList&) {  // written twice
        p.Append(SetZ(ZSquaredPlusPixel()));
        p.Append(SetZ(ZSquaredPlusPixel()));
      },
      [](TExpressionList& p, TVariableList& v) {  // written inside an IF
        p.Append(Keyword(kKeywordIf, Var(v.AddVariable("b", kTypeBool))));
        p.Append(SetZ(ZSquaredPlusPixel()));
        p.Append(Keyword(kKeywordEndIf));
      },
  };
  for (const TStatements& loop : loops)
    EXPECT_TRUE(ParksZ(CompileParking(true, loop, ModulusBailout)));
  EXPECT_TRUE(ParksZ(CompileParking(true, MandelbrotLoop, [](TExpressionList& p, TVariableList& v) {
    p.Append(SetZ(Z()));  // written by the bailout
    ModulusBailout(p, v);
  })));
}

TEST(CompilerTest, StatementsNeedingEveryRegisterParkNothing) {
  const struct {
    const char* What;
    TStatements Loop;
    TStatements Bailout;
  } cases[] = {
      {"a statement needing eight registers in either order",
       [](TExpressionList& p, TVariableList& v) {
         p.Append(SetZ(SquaresProduct(v.AddVariable("c", kTypeComplex))));
       },
       ModulusBailout},
      {"a bailout needing eight registers in either order", MandelbrotLoop,
       [](TExpressionList& p, TVariableList& v) {
         p.Append(
             Binary(kExprEqual, kTypeBool, SquaresProduct(v.AddVariable("c", kTypeComplex)), Z()));
       }},
  };
  for (const auto& c : cases) {
    const TParkingRun parked = CompileParking(true, c.Loop, c.Bailout);
    // Without anything parked the code is exactly the unparked code.
    const TParkingRun plain = CompileParking(false, c.Loop, c.Bailout);
    EXPECT_TRUE(parked.Parked.empty()) << c.What;
    ASSERT_EQ(parked.Sections.size(), plain.Sections.size()) << c.What;
    for (std::size_t i = 0; i < parked.Sections.size(); ++i)
      EXPECT_EQ(parked.Sections[i].Bytes, plain.Sections[i].Bytes) << c.What;
  }
}

TEST(CompilerTest, ConstantsLoadFromDoublesWhereTheyHoldThemExactly) {
  const struct {
    long double Value;
    std::vector<std::uint8_t> Load;  // opcode and ModRM of each instruction
  } cases[] = {
      {4.0L, {0xDD, 0x87}},              // fld qword
      {0.1L, {0xDD, 0x87, 0xDC, 0x87}},  // fld qword; fadd qword
      {1e-4000L, {0xDB, 0xAF}},          // fld tbyte: below the doubles' range
  };
  for (const auto& c : cases) {
    TProbeCompiler compiler;
    TVariable& f = compiler.Variables().AddVariable("f", kTypeFloat);
    TVariable& constant = compiler.Variables().AddConstant(TLiteral::MakeFloat(c.Value));
    TExpressionList program;
    program.Append(Section("INIT"));
    program.Append(Binary(kExprAssign, kTypeFloat, Var(f),
                          Binary(kExprAdd, kTypeFloat, Var(f), Var(constant))));
    compiler.Run(program);
    const std::vector<std::uint8_t>& code = compiler.Sections[0].Bytes;
    std::vector<std::uint8_t> opcodes;
    for (std::size_t at = 0; at + 6 <= code.size() && opcodes.size() < c.Load.size(); at += 6)
      opcodes.insert(opcodes.end(), {code[at], code[at + 1]});
    EXPECT_EQ(opcodes, c.Load) << static_cast<double>(c.Value);
  }
}

// A formula whose translation fails, as a combination the checker let through would.
class TFailingFormula : public TFormula {
 protected:
  void Generate() override { throw EZentrope("Could not translate expression"); }
};

TEST(CompilerTest, TranslationFailuresAreReportedLikeCompileErrors) {
  testing::TempDir dir;
  auto file = dir.Write("f.zfm", "; two lines before\n\n  Broken {\nz = 1\n}\n");
  TFailingFormula formula;
  std::string reported;
  int line = -1, column = -1;
  formula.OnCompileError = [&](TLexical&, int, int l, int c, const std::string& text) {
    reported = text;
    line = l;
    column = c;
  };
  formula.SetEntry(file.string(), "Broken");
  EXPECT_TRUE(formula.CompileFailed());
  EXPECT_EQ(reported, "Could not translate expression.");
  EXPECT_EQ(line, 2);  // the entry's header
  EXPECT_EQ(column, 2);
  EXPECT_FALSE(formula.HasCode());
}

}  // namespace
}  // namespace zt
