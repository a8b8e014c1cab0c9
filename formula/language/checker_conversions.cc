// The checker's conversions: explicit conversion nodes wrapped around operands,
// and the zero initializations it puts at the front of the program.
#include "formula/language/checker.h"

namespace zt {
namespace {

TLiteral Zero(TValueType type) {
  TLiteral zero;
  zero.Type = type;
  return zero;
}

}  // namespace

void TChecker::ConvertTo(TSlot& x, TValueType type) {
  switch (type) {
    case kTypeComplex: ToComplex(x); break;
    case kTypeFloat: ToFloat(x); break;
    case kTypeInt: ToInt(x); break;
    case kTypeBool: ToBool(x); break;
  }
}

void TChecker::Wrap(TSlot& x, int function, TValueType type) {
  auto node = TExpression::Make(kNodeFunction, x->Line, x->Column, function);
  node->Type = type;
  node->Left = std::move(x);
  x = std::move(node);
}

void TChecker::FromBool(const TExpression& x) {
  if (strict_) Fail(ERR_TYPEERROR, x);
  Warning(WARN_FROMBOOL, x.Line, x.Column);
}

void TChecker::ToComplex(TSlot& x) {
  if (x->Type == kTypeComplex) return;
  if (x->Type == kTypeBool) FromBool(*x);
  Wrap(x, kFunctionToComplex, kTypeComplex);
}

void TChecker::ToFloat(TSlot& x) {
  if (x->Type == kTypeFloat) return;
  if (x->Type == kTypeComplex) Fail(ERR_TYPEERROR, *x);
  if (x->Type == kTypeBool) FromBool(*x);
  Wrap(x, kFunctionToFloat, kTypeFloat);
}

void TChecker::ToReal(TSlot& x) {
  switch (x->Type) {
    case kTypeFloat: return;
    case kTypeComplex: Wrap(x, kFunctionReal, kTypeFloat); return;
    case kTypeBool: FromBool(*x); [[fallthrough]];
    case kTypeInt: Wrap(x, kFunctionToFloat, kTypeFloat); return;
  }
}

void TChecker::ToInt(TSlot& x) {
  if (x->Type == kTypeInt) return;
  if (x->Type == kTypeComplex || x->Type == kTypeFloat) Fail(ERR_TYPEERROR, *x);
  FromBool(*x);
  Wrap(x, kFunctionToInt, kTypeInt);
}

void TChecker::ToBool(TSlot& x) {
  if (x->Type == kTypeBool) return;
  if (strict_) Fail(ERR_BOOLEXPREXPECTED, *x);
  Warning(WARN_TOBOOL, x->Line, x->Column);
  if (x->Type == kTypeComplex) ToReal(x);
  auto zero = TExpression::Make(kNodeLiteral, x->Line, x->Column);
  zero->Literal = Zero(x->Type);
  zero->Type = x->Type;
  auto compare = TExpression::Make(kNodeBinary, x->Line, x->Column, kExprNotEqual);
  compare->Type = kTypeBool;
  compare->Left = std::move(x);
  compare->Right = std::move(zero);
  x = std::move(compare);
}

void TChecker::InsertInitialization(TVariable& variable, const TExpression& at,
                                    std::unique_ptr<TExpression> value) {
  TValueType type = variable.Type;
  if (!value) {
    value = TExpression::Make(kNodeLiteral, at.Line, at.Column);
    value->Literal = Zero(type);
    value->Type = type;
  }
  auto target = TExpression::Make(kNodeVariable, at.Line, at.Column);
  target->Variable = &variable;
  target->Type = type;
  auto assign = TExpression::Make(kNodeBinary, at.Line, at.Column, kExprAssign);
  assign->Type = type;
  assign->Left = std::move(target);
  assign->Right = std::move(value);
  Expressions().InsertFirst(std::move(assign));
}

}  // namespace zt
