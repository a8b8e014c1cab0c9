// Tests of the expression table (appending, inserting after the first section
// label, removing) and of the printable form of trees.
#include "formula/language/expression.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "formula/language/token.h"
#include "formula/language/variable_list.h"

namespace zt {
namespace {

std::unique_ptr<TExpression> Name(const std::string& name) {
  auto node = TExpression::Make(kNodeVariableName, 0, 0);
  node->Name = name;
  return node;
}

std::unique_ptr<TExpression> Label(const std::string& name) {
  auto node = TExpression::Make(kNodeSection, 0, 0);
  node->Name = name;
  return node;
}

TEST(ExpressionList, InsertFirstGoesAfterALeadingSectionLabel) {
  TExpressionList empty;
  empty.InsertFirst(Name("a"));
  empty.Append(Name("b"));
  EXPECT_EQ(ProgramToString(empty), "a\nb\n");

  TExpressionList labelled;
  labelled.Append(Label("INIT"));
  labelled.InsertFirst(Name("a"));  // the label is the only (and last) link
  labelled.Append(Name("c"));
  labelled.InsertFirst(Name("b"));
  EXPECT_EQ(ProgramToString(labelled), "[INIT]\nb\na\nc\n");
  EXPECT_EQ(labelled.Count(), 4);

  TExpressionList statements;
  statements.Append(Name("b"));
  statements.InsertFirst(Name("a"));
  EXPECT_EQ(ProgramToString(statements), "a\nb\n");
}

TEST(ExpressionList, RemoveAfterKeepsTheEndOfTheList) {
  TExpressionList list;
  for (const char* name : {"a", "b", "c"}) list.Append(Name(name));
  list.RemoveAfter(list.First()->Next.get());  // the last link
  list.Append(Name("d"));
  list.RemoveAfter(nullptr);  // the first link
  EXPECT_EQ(ProgramToString(list), "b\nd\n");
  EXPECT_EQ(list.Count(), 2);
  list.RemoveAfter(list.First()->Next.get());  // nothing follows the last link
  list.RemoveAfter(nullptr);
  list.RemoveAfter(nullptr);
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.Count(), 0);
  list.Append(Name("e"));  // the emptied list must not append to a freed link
  list.InsertFirst(Name("f"));
  EXPECT_EQ(ProgramToString(list), "f\ne\n");
}

TEST(ExpressionList, FreesALongProgram) {
  TExpressionList list;
  for (int i = 0; i < 200000; ++i) list.Append(Name("x"));
  EXPECT_EQ(list.Count(), 200000);
}

TEST(ExpressionToString, EveryNodeKindWithTypes) {
  TVariableList variables;
  auto assign = TExpression::Make(kNodeBinary, 0, 0, kExprAssign);
  assign->Left = TExpression::Make(kNodeVariable, 0, 0);
  assign->Left->Variable = &variables.AddVariable("v", kTypeFloat);
  assign->Left->Type = kTypeFloat;
  auto call = TExpression::Make(kNodeUserFunction, 0, 0);
  call->Name = "f";
  call->Left = TExpression::Make(kNodeParameterValue, 0, 0);
  call->Left->Name = "p";
  auto negate = TExpression::Make(kNodeUnary, 0, 0, kExprNegate);
  negate->Left = TExpression::Make(kNodeLiteral, 0, 0);
  negate->Left->Literal = TLiteral::MakeInt(3);
  negate->Left->Type = negate->Type = kTypeInt;
  auto sum = TExpression::Make(kNodeBinary, 0, 0, kExprAdd);
  sum->Left = std::move(call);
  sum->Right = TExpression::Make(kNodeFunction, 0, 0, kFunctionAbs);
  sum->Right->Left = std::move(negate);
  assign->Right = std::move(sum);
  EXPECT_EQ(ExpressionToString(*assign), "(= v (+ (@f (value @p)) (abs (neg 3))))");
  EXPECT_EQ(ExpressionToString(*assign, true),
            "(= v:f (+ (@f (value @p):c):c (abs (neg 3:i):i):c):c):c");

  auto declaration = TExpression::Make(kNodeKeyword, 0, 0, kKeywordBool);
  declaration->Left = TExpression::Make(kNodeSymbol, 0, 0, kSymbolSolid);
  declaration->Type = kTypeBool;
  EXPECT_EQ(ExpressionToString(*declaration, true), "(bool #solid:c):b");
  auto label = Label("BAILOUT");
  label->Flag = true;
  EXPECT_EQ(ExpressionToString(*label, true), "[BAILOUT?]");
}

}  // namespace
}  // namespace zt
