// The optimizer's rewrite of the checked program: substitution of #pi, #e,
// parameters and function parameters, then the node rules of optimizer_fold.h,
// constant IF removal and the move of literals into constants.
#include "formula/codegen/optimizer.h"

#include <cmath>

#include "formula/codegen/optimizer_fold.h"
#include "formula/language/token.h"
#include "formula/language/variable_list.h"
#include "platform/error.h"

namespace zt {
namespace {

using TNode = std::unique_ptr<TExpression>;

// A copy of `node` without its children.
TNode ShallowCopy(const TExpression& node) {
  auto copy = TExpression::Make(node.Kind, node.Line, node.Column, node.Code);
  copy->Type = node.Type;
  copy->Name = node.Name;
  copy->Variable = node.Variable;
  copy->Flag = node.Flag;
  copy->Literal = node.Literal;
  return copy;
}

TNode LiteralNode(const TExpression& at, const TLiteral& value) {
  auto node = TExpression::Make(kNodeLiteral, at.Line, at.Column);
  node->Literal = value;
  node->Type = value.Type;
  return node;
}

// `value` given as type `type`: an int from the rounded value, a bool from
// value != 0, a complex with the value as real part.
TLiteral Converted(const TLiteral& value, TValueType type) {
  if (value.Type == type) return value;
  long double re = value.Type == kTypeInt    ? value.Int
                   : value.Type == kTypeBool ? value.Bool
                                             : value.Re;
  long double im = value.Type == kTypeComplex ? value.Im : 0;
  switch (type) {
    case kTypeComplex: return TLiteral::MakeComplex(re, im);
    case kTypeFloat: return TLiteral::MakeFloat(re);
    case kTypeInt: return TLiteral::MakeInt(static_cast<std::int32_t>(std::lround(re)));
    case kTypeBool: return TLiteral::MakeBool(re != 0 || im != 0);
  }
  return value;
}

// Complex and float zero and one have load primitives and copy sources of their
// own; int and bool literals are immediate operands.
bool NeedsConstant(const TLiteral& value) {
  switch (value.Type) {
    case kTypeComplex:
      return !SameValue(value, TLiteral::MakeComplex(0, 0)) &&
             !SameValue(value, TLiteral::MakeComplex(1, 0));
    case kTypeFloat:
      return !SameValue(value, TLiteral::MakeFloat(0)) && !SameValue(value, TLiteral::MakeFloat(1));
    default: return false;
  }
}

bool HasOperands(const TExpression& node) {
  return node.Kind == kNodeUnary || node.Kind == kNodeBinary || node.Kind == kNodeFunction;
}

}  // namespace

void TOptimizer::Optimize() {
  Variables().RemoveGenerated();
  std::vector<TNode> statements;
  for (auto* link = Expressions().First(); link; link = link->Next.get())
    statements.push_back(Rewrite(*link->Tree));
  if (optimizing_) RemoveConstantBranches(statements);
  program_ = std::make_unique<TExpressionList>();
  for (auto& statement : statements) {
    MoveLiteralsToConstants(statement, true);
    program_->Append(std::move(statement));
  }
  try {
    Generate();
  } catch (...) {
    program_.reset();
    throw;
  }
  program_.reset();
}

TLiteral TOptimizer::ParameterValue(const std::string& name) {
  const int index = Params().IndexOfName(name);
  if (index < 0) throw EZentrope("Could not look up parameter value");
  return Params().Items(index).AsLiteral();
}

int TOptimizer::FunctionValue(const std::string& name) {
  const int index = Funcs().IndexOfName(name);
  if (index < 0) throw EZentrope("Could not look up function value");
  return Funcs().Items(index).FuncCode();
}

TNode TOptimizer::Rewrite(const TExpression& node) {
  if (node.Kind == kNodeSymbol || node.Kind == kNodeParameter || node.Kind == kNodeParameterValue)
    return Substitute(node);
  TNode copy = ShallowCopy(node);
  if (node.Kind == kNodeUserFunction) {
    copy->Kind = kNodeFunction;
    copy->Code = static_cast<std::uint8_t>(FunctionValue(node.Name));
    copy->Name.clear();
  }
  if (node.Left) copy->Left = Rewrite(*node.Left);
  if (node.Right) copy->Right = Rewrite(*node.Right);
  if (!HasOperands(*copy) || !optimizing_) return copy;
  copy = FoldNode(std::move(copy));
  return ReduceNode(std::move(copy));
}

TNode TOptimizer::Substitute(const TExpression& node) {
  switch (node.Kind) {
    case kNodeSymbol:
      if (node.Code == kSymbolPi) return LiteralNode(node, PiLiteral());
      if (node.Code == kSymbolE) return LiteralNode(node, ELiteral());
      return ShallowCopy(node);
    case kNodeParameter:
      if (TVariable* copy = Variables().FindParameterCopy(node.Name)) {
        auto reference = TExpression::Make(kNodeVariable, node.Line, node.Column);
        reference->Variable = copy;
        reference->Type = copy->Type;
        return reference;
      }
      return ParameterLiteral(node);
    default:  // kNodeParameterValue: the initial value of a parameter's copy
      return ParameterLiteral(node);
  }
}

TNode TOptimizer::ParameterLiteral(const TExpression& node) {
  return LiteralNode(node, Converted(ParameterValue(node.Name), node.Type));
}

void TOptimizer::MoveLiteralsToConstants(TNode& node, bool operand) {
  if (node->Kind == kNodeLiteral) {
    if (!operand || !NeedsConstant(node->Literal)) return;
    TVariable* constant = Variables().FindConstant(node->Literal);
    if (!constant) constant = &Variables().AddConstant(node->Literal);
    auto reference = TExpression::Make(kNodeVariable, node->Line, node->Column);
    reference->Variable = constant;
    reference->Type = constant->Type;
    node = std::move(reference);
    return;
  }
  const bool operands = HasOperands(*node);
  if (node->Left) MoveLiteralsToConstants(node->Left, operands);
  if (node->Right) MoveLiteralsToConstants(node->Right, operands);
}

}  // namespace zt
