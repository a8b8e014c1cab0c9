// Tests of the parser: expression trees (precedence, associativity, operands),
// construct statements, section label nodes and the syntax errors with their
// positions. The entries are parsed without type checking, so the dumps show the
// trees exactly as the parser built them.
#include "formula/language/parser.h"

#include <gtest/gtest.h>

#include <string>

#include "formula/entries/formula.h"
#include "formula/testing/compile_test_util.h"

namespace zt {
namespace {

// A formula that stops after parsing: its tables stay as the parser left them.
class TParseOnlyFormula : public TFormula {
 protected:
  void EndCheck() override {}
  void Optimize() override {}
};

// The program dump of `body` as the parser left it, or the error.
std::string Parse(const std::string& body) {
  TParseOnlyFormula formula;
  const std::string error = testing::CompileBody(formula, body);
  return error.empty() ? ProgramToString(formula.Expressions()) : error;
}

// The tree of a single statement under the implied INIT label.
std::string Tree(const std::string& statement) {
  std::string program = Parse(statement);
  const std::string label = "[INIT]\n";
  if (program.rfind(label, 0) != 0 || program.back() != '\n') return program;
  return program.substr(label.size(), program.size() - label.size() - 1);
}

TEST(Parser, PrecedenceAndAssociativity) {
  const std::pair<std::string, std::string> cases[] = {
      {"a = b = c", "(= a (= b c))"},
      {"a - b - c", "(- (- a b) c)"},
      {"a ^ b ^ c", "(^ (^ a b) c)"},
      {"a / b * c % d", "(% (* (/ a b) c) d)"},
      {"a + b * c - d / g", "(- (+ a (* b c)) (/ d g))"},
      {"a + b * c ^ d * g", "(+ a (* (* b (^ c d)) g))"},
      {"a < b == c != d", "(!= (== (< a b) c) d)"},
      {"a || b && c", "(&& (|| a b) c)"},
      {"y = a + b <= c && d > g || f", "(= y (|| (&& (<= (+ a b) c) (> d g)) f))"},
      {"a = b == c", "(= a (== b c))"},
      {"(a + b) * c", "(* (+ a b) c)"},
      {"a * ((b - c))", "(* a (- b c))"},
      // Unary operators take only the next operand.
      {"-x^2", "(^ (neg x) 2)"},
      {"!a && b", "(&& (! a) b)"},
      {"a ^ -b ^ c", "(^ (^ a (neg b)) c)"},
      {"- -a", "(neg (neg a))"},
      {"+a - +b", "(- a b)"},
  };
  for (const auto& [input, tree] : cases) EXPECT_EQ(Tree(input), tree) << input;
}

TEST(Parser, Operands) {
  const std::pair<std::string, std::string> cases[] = {
      {"|a| + |b|", "(+ (mod a) (mod b))"},
      {"|(|a|)| < 4", "(< (mod (mod a)) 4)"},
      {"|(a + b) * c|", "(mod (* (+ a b) c))"},
      {"x = 3 + 2.5 + (1, -2) + 2i", "(= x (+ (+ (+ 3 2.5) (1,-2)) (0,2)))"},
      {"b = true || false", "(= b (|| true false))"},
      {"sin(z) + cabs(z - 1)", "(+ (sin #z) (cabs (- #z 1)))"},
      // IDENT and SRAND leave their argument in place.
      {"ident(z) + srand(pixel)", "(+ #z #pixel)"},
      {"@f(z) * fn2(z + 1)", "(* (@f #z) (@fn2 (+ #z 1)))"},
      {"@p + p1 + pi + #z + #pixel", "(+ (+ (+ (+ @p @p1) #pi) #z) #pixel)"},
      {"complex a = (1, 2)", "(= (complex a) (1,2))"},
      {"float b, int c, bool d", "(float b)\n(int c)\n(bool d)"},
      {"float #z", "(float #z)"},
  };
  for (const auto& [input, tree] : cases) EXPECT_EQ(Tree(input), tree) << input;
}

TEST(Parser, ConstructStatements) {
  EXPECT_EQ(Parse("if a < 1\n b = 1\nelseif a\nelse\nendif\n"
                  "while b\nendwhile\nrepeat\nuntil b >= 2"),
            "[INIT]\n(if (< a 1))\n(= b 1)\n(elseif a)\n(else)\n(endif)\n"
            "(while b)\n(endwhile)\n(repeat)\n(until (>= b 2))\n");
}

TEST(Parser, SectionLabels) {
  // Condition sections are marked with "?"; the settings section yields no node.
  EXPECT_EQ(Parse("init:\n z = pixel\nloop:\n z = z*z + pixel\nbailout:\n |z| < 4\n"
                  "default:\n maxiter = 50"),
            "[INIT]\n(= #z #pixel)\n[LOOP]\n(= #z (+ (* #z #z) #pixel))\n[BAILOUT?]\n"
            "(< (mod #z) 4)\n");
  EXPECT_EQ(Parse("z = pixel : z = z*z + pixel, |z| < 4"),
            "[INIT]\n(= #z #pixel)\n[LOOP]\n(= #z (+ (* #z #z) #pixel))\n[BAILOUT?]\n"
            "(< (mod #z) 4)\n");
  // A first label other than INIT gets an INIT section before it.
  EXPECT_EQ(Parse("Loop:\n z = 1"), "[INIT]\n[LOOP]\n(= #z 1)\n");
  EXPECT_EQ(Parse("init:\n z = 1\nfoo:\n z = 2"), "E20 3:0 Invalid label encountered.");
}

TEST(Parser, NodesCarryTheirTokenPositions) {
  TParseOnlyFormula formula;
  ASSERT_EQ(testing::CompileBody(formula, "  a = -b + c"), "");
  const TExpression& root = *formula.Expressions().First()->Next->Tree;
  const TExpression& sum = *root.Right;
  const TExpression* nodes[] = {&root, root.Left.get(), &sum, sum.Left.get(), sum.Left->Left.get()};
  const int columns[] = {4, 2, 9, 6, 7};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(nodes[i]->Line, 1) << i;
    EXPECT_EQ(nodes[i]->Column, columns[i]) << i;
  }
  EXPECT_FALSE(root.Flag);
}

TEST(Parser, SyntaxErrors) {
  const std::pair<std::string, std::string> cases[] = {
      {"(a + b", "E11 1:6 ')' expected."},
      {"z = sin((a)", "E11 1:11 ')' expected."},
      {"z = ()", "E10 1:5 Expression expected."},
      {"|a", "E15 1:2 '|' expected."},
      {"|a) + b|", "E15 1:2 '|' expected."},
      {"|(a|", "E11 1:4 ')' expected."},
      {"if", "E10 1:2 Expression expected."},
      {"z =", "E10 1:3 Expression expected."},
      {"z = 1 +", "E10 1:7 Expression expected."},
      {"z = \"s\"", "E10 1:4 Expression expected."},
      {"else x", "E19 1:5 ',' or end of line expected."},
      {"endif 1", "E19 1:6 ',' or end of line expected."},
      {"float = 1", "E17 1:6 Variable expected."},
      {"int", "E17 1:3 Variable expected."},
      {"bool 3", "E17 1:5 Variable expected."},
      {"a b", "E14 1:2 Operator expected."},
      {"a 2", "E14 1:2 Operator expected."},
      {"a & b", "E14 1:2 Operator expected."},
      {"a ~ b", "E14 1:2 Operator expected."},
      {"~a", "E14 1:0 Operator expected."},
      {"z = &a", "E14 1:4 Operator expected."},
      {"z = if", "E16 1:4 Keyword not allowed here."},
      {"endparam", "E16 1:0 Keyword not allowed here."},
      {"z = 1 + while", "E16 1:8 Keyword not allowed here."},
  };
  for (const auto& [input, error] : cases) EXPECT_EQ(Parse(input), error) << input;
}

}  // namespace
}  // namespace zt
