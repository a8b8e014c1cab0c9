// Constant folding and strength reduction of single nodes. Folding runs the
// primitives themselves so that a folded value is bit for bit what compiled code
// would have produced.
#include "formula/codegen/optimizer_fold.h"

#include <utility>

#include "formula/codegen/primitive_choice.h"
#include "formula/codegen/runtime.h"
#include "formula/language/token.h"

namespace zt {
namespace {

using TNode = std::unique_ptr<TExpression>;

bool IsLiteral(const TNode& node) { return node && node->Kind == nkLiteral; }

TNode MakeLiteral(const TLiteral& value, const TExpression& at) {
  auto node = TExpression::Make(nkLiteral, at.Line, at.Column);
  node->Literal = value;
  node->Type = value.Type;
  return node;
}

TNode MakeFunction(int function, TNode argument, TValueType type) {
  auto node = TExpression::Make(nkFunction, argument->Line, argument->Column, function);
  node->Type = type;
  node->Left = std::move(argument);
  return node;
}

TNode MakeNegation(TNode operand) {
  auto node = TExpression::Make(nkUnary, operand->Line, operand->Column, eoNegate);
  node->Type = operand->Type;
  node->Left = std::move(operand);
  return node;
}

// A float standing where a complex is wanted: mixed complex and float operators
// accept float operands, so a reduction can leave one behind.
TNode Fit(TNode node, TValueType type) {
  if (type == vtComplex && node->Type == vtFloat)
    return MakeFunction(fnToComplex, std::move(node), vtComplex);
  return node;
}

bool IsReal(TValueType type) { return type == vtComplex || type == vtFloat; }

TLiteral Zero(TValueType type) {
  switch (type) {
    case vtComplex: return TLiteral::MakeComplex(0, 0);
    case vtFloat: return TLiteral::MakeFloat(0);
    case vtInt: return TLiteral::MakeInt(0);
    case vtBool: return TLiteral::MakeBool(false);
  }
  return {};
}

TLiteral One(TValueType type) {
  return type == vtComplex ? TLiteral::MakeComplex(1, 0) : TLiteral::MakeFloat(1);
}

// Runs `primitive` on the FPU operands `stack` (pushed in order) and the int or
// bool operands `eax` and `edx`, and reads a result of type `result`.
TLiteral Evaluate(int primitive, std::initializer_list<const TLiteral*> stack,
                  const TLiteral* eax, const TLiteral* edx, TValueType result) {
  TPrimitiveFrame frame;
  for (const TLiteral* v : stack) {
    if (v->Type == vtComplex) frame.In[frame.InCount++] = v->Im;
    frame.In[frame.InCount++] = v->Re;
  }
  auto integer = [](const TLiteral* v) -> std::int64_t {
    return !v ? 0 : v->Type == vtBool ? v->Bool : v->Int;
  };
  frame.Rax = integer(eax);
  frame.Rdx = integer(edx);
  frame.OutCount = result == vtComplex ? 2 : result == vtFloat ? 1 : 0;
  RunPrimitive(primitive, frame);
  switch (result) {
    case vtComplex: return TLiteral::MakeComplex(frame.Out[0], frame.Out[1]);
    case vtFloat: return TLiteral::MakeFloat(frame.Out[0]);
    case vtInt: return TLiteral::MakeInt(static_cast<std::int32_t>(frame.Rax));
    case vtBool: return TLiteral::MakeBool((frame.Rax & 0xFF) != 0);
  }
  return {};
}

// One operand: on the FPU, or in EAX / AL.
TLiteral EvaluateUnary(int primitive, const TLiteral& operand, TValueType result) {
  if (IsReal(operand.Type)) return Evaluate(primitive, {&operand}, nullptr, nullptr, result);
  return Evaluate(primitive, {}, &operand, nullptr, result);
}

// Literal operands are as small as operands get, so the generator computes the
// right one first: it lies below the left one.
TLiteral EvaluateBinary(const TExpression& node) {
  const TLiteral& left = node.Left->Literal;
  const TLiteral& right = node.Right->Literal;
  const int primitive = BinaryPrimitive(node, true);
  if (IsReal(left.Type)) return Evaluate(primitive, {&right, &left}, nullptr, nullptr, node.Type);
  return Evaluate(primitive, {}, &left, &right, node.Type);
}

// A combination without a runnable primitive is left to the code generator,
// which reports it when it translates the node.
bool Runnable(int primitive) { return primitive >= 0 && PrimitiveLength(primitive) > 0; }

bool Foldable(const TExpression& node) {
  switch (node.Kind) {
    case nkUnary: return IsLiteral(node.Left) && Runnable(UnaryPrimitive(node));
    case nkBinary:
      return node.Code != eoAssign && IsLiteral(node.Left) && IsLiteral(node.Right) &&
             Runnable(BinaryPrimitive(node, true));
    case nkFunction:
      if (!IsLiteral(node.Left) || node.Code == fnOldZ) return false;
      return node.Code == fnIdent || node.Code == fnZero || Runnable(FunctionPrimitive(node));
    default: return false;
  }
}

TLiteral FoldedValue(const TExpression& node) {
  switch (node.Kind) {
    case nkUnary: return EvaluateUnary(UnaryPrimitive(node), node.Left->Literal, node.Type);
    case nkBinary: return EvaluateBinary(node);
    default: break;
  }
  // The identity and zero() have no primitive: the generator emits nothing for
  // the one and loads a complex zero for the other.
  if (node.Code == fnIdent) return node.Left->Literal;
  if (node.Code == fnZero) return Zero(node.Type);
  return EvaluateUnary(FunctionPrimitive(node), node.Left->Literal, node.Type);
}

bool SameReference(const TExpression& a, const TExpression& b) {
  if (a.Kind != b.Kind) return false;
  if (a.Kind == nkVariable) return a.Variable && a.Variable == b.Variable;
  if (a.Kind == nkSymbol) return a.Code == b.Code;
  return false;
}

TNode ReduceMultiply(TNode node) {
  const TValueType type = node->Type;
  if (SameReference(*node->Left, *node->Right))
    return MakeFunction(fnSqr, std::move(node->Left), type);
  const bool literalLeft = IsLiteral(node->Left);
  if (!literalLeft && !IsLiteral(node->Right)) return node;
  const TLiteral factor = (literalLeft ? node->Left : node->Right)->Literal;
  TNode& other = literalLeft ? node->Right : node->Left;
  switch (ClassifyLiteral(factor)) {
    case lcOne: return Fit(std::move(other), type);
    case lcMinusOne: return Fit(MakeNegation(std::move(other)), type);
    case lcI:
      if (!IsReal(other->Type)) return node;
      return MakeFunction(fnTimesI, std::move(other), vtComplex);
    case lcMinusI:
      if (!IsReal(other->Type)) return node;
      return MakeFunction(fnTimesMinusI, std::move(other), vtComplex);
    case lcZero:
      // Dropping the other factor must not drop an assignment inside it.
      if (ContainsAssignment(*other)) return node;
      return MakeLiteral(Zero(type), *node);
    case lcTwo: {
      const TValueType otherType = other->Type;
      return Fit(MakeFunction(fnDouble, std::move(other), otherType), type);
    }
    default: return node;
  }
}

TNode ReducePower(TNode node) {
  if (!IsLiteral(node->Right) || IsLiteral(node->Left)) return node;
  const TValueType type = node->Type;
  switch (ClassifyLiteral(node->Right->Literal)) {
    case lcOne: return std::move(node->Left);
    case lcZero:
      if (ContainsAssignment(*node->Left)) return node;
      return MakeLiteral(One(type), *node);
    case lcTwo: return MakeFunction(fnSqr, std::move(node->Left), type);
    case lcThree: return MakeFunction(fnCube, std::move(node->Left), type);
    case lcFour: return MakeFunction(fnFourth, std::move(node->Left), type);
    default: return node;
  }
}

bool IsZeroValue(const TLiteral& v) { return v.Re == 0 && (v.Type == vtFloat || v.Im == 0); }

TNode ReduceDivide(TNode node) {
  const TValueType type = node->Type;
  if (IsLiteral(node->Left) && !IsLiteral(node->Right)) {
    const TLiteralClass dividend = ClassifyLiteral(node->Left->Literal);
    if (dividend != lcOne && dividend != lcMinusOne) return node;
    const TValueType divisorType = node->Right->Type;
    TNode recip = MakeFunction(fnRecip, std::move(node->Right), divisorType);
    if (dividend == lcMinusOne) recip = MakeNegation(std::move(recip));
    return Fit(std::move(recip), type);
  }
  if (!IsLiteral(node->Right) || IsLiteral(node->Left)) return node;
  const TLiteral& divisor = node->Right->Literal;
  const int recip = FunctionPrimitive(fnRecip, divisor.Type);
  if (!IsReal(divisor.Type) || IsZeroValue(divisor) || !Runnable(recip)) return node;
  const TLiteral reciprocal = EvaluateUnary(recip, divisor, divisor.Type);
  node->Right = MakeLiteral(reciprocal, *node->Right);
  node->Code = eoMultiply;
  return ReduceMultiply(std::move(node));
}

// && (absorbing false) and || (absorbing true).
TNode ReduceLogic(TNode node, bool absorbing) {
  const bool literalLeft = IsLiteral(node->Left);
  if (!literalLeft && !IsLiteral(node->Right)) return node;
  const bool value = (literalLeft ? node->Left : node->Right)->Literal.Bool;
  TNode& other = literalLeft ? node->Right : node->Left;
  if (value != absorbing) return std::move(other);
  if (ContainsAssignment(*other)) return node;
  return MakeLiteral(TLiteral::MakeBool(absorbing), *node);
}

}  // namespace

TLiteralClass ClassifyLiteral(const TLiteral& value) {
  long double re = 0;
  switch (value.Type) {
    case vtComplex:
      if (value.Re == 0 && value.Im == 1) return lcI;
      if (value.Re == 0 && value.Im == -1) return lcMinusI;
      if (value.Im != 0) return lcNone;
      re = value.Re;
      break;
    case vtFloat: re = value.Re; break;
    case vtInt: re = value.Int; break;
    case vtBool: return lcNone;
  }
  if (re == 1) return lcOne;
  if (re == -1) return lcMinusOne;
  if (re == 0) return lcZero;
  if (re == 2) return lcTwo;
  if (re == 3) return lcThree;
  if (re == 4) return lcFour;
  return lcNone;
}

TLiteral PiLiteral() {
  long double pi;
  __asm__("fldpi" : "=t"(pi));
  return TLiteral::MakeFloat(pi);
}

TLiteral ELiteral() {
  const TLiteral one = TLiteral::MakeFloat(1);
  return EvaluateUnary(FunctionPrimitive(fnExp, vtFloat), one, vtFloat);
}

bool ContainsAssignment(const TExpression& node) {
  if (node.Kind == nkBinary && node.Code == eoAssign) return true;
  return (node.Left && ContainsAssignment(*node.Left)) ||
         (node.Right && ContainsAssignment(*node.Right));
}

TNode FoldNode(TNode node) {
  if (!Foldable(*node)) return node;
  return MakeLiteral(FoldedValue(*node), *node);
}

TNode ReduceNode(TNode node) {
  if (node->Kind != nkBinary) return node;
  switch (node->Code) {
    case eoMultiply: return ReduceMultiply(std::move(node));
    case eoPower: return ReducePower(std::move(node));
    case eoDivide: return ReduceDivide(std::move(node));
    case eoAnd: return ReduceLogic(std::move(node), false);
    case eoOr: return ReduceLogic(std::move(node), true);
    default: return node;
  }
}

}  // namespace zt
