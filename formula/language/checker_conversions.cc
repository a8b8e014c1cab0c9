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
    case vtComplex: ToComplex(x); break;
    case vtFloat: ToFloat(x); break;
    case vtInt: ToInt(x); break;
    case vtBool: ToBool(x); break;
  }
}

void TChecker::Wrap(TSlot& x, int function, TValueType type) {
  auto node = TExpression::Make(nkFunction, x->Line, x->Column, function);
  node->Type = type;
  node->Left = std::move(x);
  x = std::move(node);
}

void TChecker::FromBool(const TExpression& x) {
  if (strict_) Fail(ERR_TYPEERROR, x);
  Warning(WARN_FROMBOOL, x.Line, x.Column);
}

void TChecker::ToComplex(TSlot& x) {
  if (x->Type == vtComplex) return;
  if (x->Type == vtBool) FromBool(*x);
  Wrap(x, fnToComplex, vtComplex);
}

void TChecker::ToFloat(TSlot& x) {
  if (x->Type == vtFloat) return;
  if (x->Type == vtComplex) Fail(ERR_TYPEERROR, *x);
  if (x->Type == vtBool) FromBool(*x);
  Wrap(x, fnToFloat, vtFloat);
}

void TChecker::ToReal(TSlot& x) {
  switch (x->Type) {
    case vtFloat: return;
    case vtComplex: Wrap(x, fnReal, vtFloat); return;
    case vtBool: FromBool(*x); [[fallthrough]];
    case vtInt: Wrap(x, fnToFloat, vtFloat); return;
  }
}

void TChecker::ToInt(TSlot& x) {
  if (x->Type == vtInt) return;
  if (x->Type == vtComplex || x->Type == vtFloat) Fail(ERR_TYPEERROR, *x);
  FromBool(*x);
  Wrap(x, fnToInt, vtInt);
}

void TChecker::ToBool(TSlot& x) {
  if (x->Type == vtBool) return;
  if (strict_) Fail(ERR_BOOLEXPREXPECTED, *x);
  Warning(WARN_TOBOOL, x->Line, x->Column);
  if (x->Type == vtComplex) ToReal(x);
  auto zero = TExpression::Make(nkLiteral, x->Line, x->Column);
  zero->Literal = Zero(x->Type);
  zero->Type = x->Type;
  auto compare = TExpression::Make(nkBinary, x->Line, x->Column, eoNotEqual);
  compare->Type = vtBool;
  compare->Left = std::move(x);
  compare->Right = std::move(zero);
  x = std::move(compare);
}

void TChecker::InsertInitialization(TVariable& variable, const TExpression& at,
                                    std::unique_ptr<TExpression> value) {
  TValueType type = variable.Type;
  if (!value) {
    value = TExpression::Make(nkLiteral, at.Line, at.Column);
    value->Literal = Zero(type);
    value->Type = type;
  }
  auto target = TExpression::Make(nkVariable, at.Line, at.Column);
  target->Variable = &variable;
  target->Type = type;
  auto assign = TExpression::Make(nkBinary, at.Line, at.Column, eoAssign);
  assign->Type = type;
  assign->Left = std::move(target);
  assign->Right = std::move(value);
  Expressions().InsertFirst(std::move(assign));
}

}  // namespace zt
