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

bool IsLiteral(const TNode& node) { return node && node->Kind == kNodeLiteral; }

TNode MakeLiteral(const TLiteral& value, const TExpression& at) {
  auto node = TExpression::Make(kNodeLiteral, at.Line, at.Column);
  node->Literal = value;
  node->Type = value.Type;
  return node;
}

TNode MakeFunction(int function, TNode argument, TValueType type) {
  auto node = TExpression::Make(kNodeFunction, argument->Line, argument->Column, function);
  node->Type = type;
  node->Left = std::move(argument);
  return node;
}

TNode MakeNegation(TNode operand) {
  auto node = TExpression::Make(kNodeUnary, operand->Line, operand->Column, kExprNegate);
  node->Type = operand->Type;
  node->Left = std::move(operand);
  return node;
}

// A float standing where a complex is wanted: mixed complex and float operators
// accept float operands, so a reduction can leave one behind.
TNode Fit(TNode node, TValueType type) {
  if (type == kTypeComplex && node->Type == kTypeFloat)
    return MakeFunction(kFunctionToComplex, std::move(node), kTypeComplex);
  return node;
}

bool IsReal(TValueType type) { return type == kTypeComplex || type == kTypeFloat; }

TLiteral Zero(TValueType type) {
  switch (type) {
    case kTypeComplex: return TLiteral::MakeComplex(0, 0);
    case kTypeFloat: return TLiteral::MakeFloat(0);
    case kTypeInt: return TLiteral::MakeInt(0);
    case kTypeBool: return TLiteral::MakeBool(false);
  }
  return {};
}

TLiteral One(TValueType type) {
  return type == kTypeComplex ? TLiteral::MakeComplex(1, 0) : TLiteral::MakeFloat(1);
}

// Runs `primitive` on the FPU operands `stack` (pushed in order) and the int or
// bool operands `eax` and `edx`, and reads a result of type `result`.
TLiteral Evaluate(int primitive, std::initializer_list<const TLiteral*> stack, const TLiteral* eax,
                  const TLiteral* edx, TValueType result) {
  TPrimitiveFrame frame;
  for (const TLiteral* v : stack) {
    if (v->Type == kTypeComplex) frame.In[frame.InCount++] = v->Im;
    frame.In[frame.InCount++] = v->Re;
  }
  auto integer = [](const TLiteral* v) -> std::int64_t {
    return !v ? 0 : v->Type == kTypeBool ? v->Bool : v->Int;
  };
  frame.Rax = integer(eax);
  frame.Rdx = integer(edx);
  frame.OutCount = result == kTypeComplex ? 2 : result == kTypeFloat ? 1 : 0;
  RunPrimitive(primitive, frame);
  switch (result) {
    case kTypeComplex: return TLiteral::MakeComplex(frame.Out[0], frame.Out[1]);
    case kTypeFloat: return TLiteral::MakeFloat(frame.Out[0]);
    case kTypeInt: return TLiteral::MakeInt(static_cast<std::int32_t>(frame.Rax));
    case kTypeBool: return TLiteral::MakeBool((frame.Rax & 0xFF) != 0);
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
    case kNodeUnary: return IsLiteral(node.Left) && Runnable(UnaryPrimitive(node));
    case kNodeBinary:
      return node.Code != kExprAssign && IsLiteral(node.Left) && IsLiteral(node.Right) &&
             Runnable(BinaryPrimitive(node, true));
    case kNodeFunction:
      if (!IsLiteral(node.Left) || node.Code == kFunctionOldZ) return false;
      return node.Code == kFunctionIdent || node.Code == kFunctionZero ||
             Runnable(FunctionPrimitive(node));
    default: return false;
  }
}

TLiteral FoldedValue(const TExpression& node) {
  switch (node.Kind) {
    case kNodeUnary: return EvaluateUnary(UnaryPrimitive(node), node.Left->Literal, node.Type);
    case kNodeBinary: return EvaluateBinary(node);
    default: break;
  }
  // The identity and zero() have no primitive: the generator emits nothing for
  // the one and loads a complex zero for the other.
  if (node.Code == kFunctionIdent) return node.Left->Literal;
  if (node.Code == kFunctionZero) return Zero(node.Type);
  return EvaluateUnary(FunctionPrimitive(node), node.Left->Literal, node.Type);
}

bool SameReference(const TExpression& a, const TExpression& b) {
  if (a.Kind != b.Kind) return false;
  if (a.Kind == kNodeVariable) return a.Variable && a.Variable == b.Variable;
  if (a.Kind == kNodeSymbol) return a.Code == b.Code;
  return false;
}

TNode ReduceMultiply(TNode node) {
  const TValueType type = node->Type;
  if (SameReference(*node->Left, *node->Right))
    return MakeFunction(kFunctionSqr, std::move(node->Left), type);
  const bool literal_left = IsLiteral(node->Left);
  if (!literal_left && !IsLiteral(node->Right)) return node;
  const TLiteral factor = (literal_left ? node->Left : node->Right)->Literal;
  TNode& other = literal_left ? node->Right : node->Left;
  switch (ClassifyLiteral(factor)) {
    case kLiteralOne: return Fit(std::move(other), type);
    case kLiteralMinusOne: return Fit(MakeNegation(std::move(other)), type);
    case kLiteralI:
      if (!IsReal(other->Type)) return node;
      return MakeFunction(kFunctionTimesI, std::move(other), kTypeComplex);
    case kLiteralMinusI:
      if (!IsReal(other->Type)) return node;
      return MakeFunction(kFunctionTimesMinusI, std::move(other), kTypeComplex);
    case kLiteralZero:
      // Dropping the other factor must not drop an assignment inside it.
      if (ContainsAssignment(*other)) return node;
      return MakeLiteral(Zero(type), *node);
    case kLiteralTwo: {
      const TValueType other_type = other->Type;
      return Fit(MakeFunction(kFunctionDouble, std::move(other), other_type), type);
    }
    default: return node;
  }
}

TNode ReducePower(TNode node) {
  if (!IsLiteral(node->Right) || IsLiteral(node->Left)) return node;
  const TValueType type = node->Type;
  switch (ClassifyLiteral(node->Right->Literal)) {
    case kLiteralOne: return std::move(node->Left);
    case kLiteralZero:
      if (ContainsAssignment(*node->Left)) return node;
      return MakeLiteral(One(type), *node);
    case kLiteralTwo: return MakeFunction(kFunctionSqr, std::move(node->Left), type);
    case kLiteralThree: return MakeFunction(kFunctionCube, std::move(node->Left), type);
    case kLiteralFour: return MakeFunction(kFunctionFourth, std::move(node->Left), type);
    default: return node;
  }
}

bool IsZeroValue(const TLiteral& v) { return v.Re == 0 && (v.Type == kTypeFloat || v.Im == 0); }

TNode ReduceDivide(TNode node) {
  const TValueType type = node->Type;
  if (IsLiteral(node->Left) && !IsLiteral(node->Right)) {
    const TLiteralClass dividend = ClassifyLiteral(node->Left->Literal);
    if (dividend != kLiteralOne && dividend != kLiteralMinusOne) return node;
    const TValueType divisor_type = node->Right->Type;
    TNode recip = MakeFunction(kFunctionRecip, std::move(node->Right), divisor_type);
    if (dividend == kLiteralMinusOne) recip = MakeNegation(std::move(recip));
    return Fit(std::move(recip), type);
  }
  if (!IsLiteral(node->Right) || IsLiteral(node->Left)) return node;
  const TLiteral& divisor = node->Right->Literal;
  const int recip = FunctionPrimitive(kFunctionRecip, divisor.Type);
  if (!IsReal(divisor.Type) || IsZeroValue(divisor) || !Runnable(recip)) return node;
  const TLiteral reciprocal = EvaluateUnary(recip, divisor, divisor.Type);
  node->Right = MakeLiteral(reciprocal, *node->Right);
  node->Code = kExprMultiply;
  return ReduceMultiply(std::move(node));
}

// && (absorbing false) and || (absorbing true).
TNode ReduceLogic(TNode node, bool absorbing) {
  const bool literal_left = IsLiteral(node->Left);
  if (!literal_left && !IsLiteral(node->Right)) return node;
  const bool value = (literal_left ? node->Left : node->Right)->Literal.Bool;
  TNode& other = literal_left ? node->Right : node->Left;
  if (value != absorbing) return std::move(other);
  if (ContainsAssignment(*other)) return node;
  return MakeLiteral(TLiteral::MakeBool(absorbing), *node);
}

}  // namespace

TLiteralClass ClassifyLiteral(const TLiteral& value) {
  long double re = 0;
  switch (value.Type) {
    case kTypeComplex:
      if (value.Re == 0 && value.Im == 1) return kLiteralI;
      if (value.Re == 0 && value.Im == -1) return kLiteralMinusI;
      if (value.Im != 0) return kLiteralNone;
      re = value.Re;
      break;
    case kTypeFloat: re = value.Re; break;
    case kTypeInt: re = value.Int; break;
    case kTypeBool: return kLiteralNone;
  }
  if (re == 1) return kLiteralOne;
  if (re == -1) return kLiteralMinusOne;
  if (re == 0) return kLiteralZero;
  if (re == 2) return kLiteralTwo;
  if (re == 3) return kLiteralThree;
  if (re == 4) return kLiteralFour;
  return kLiteralNone;
}

TLiteral PiLiteral() {
  long double pi;
  __asm__("fldpi" : "=t"(pi));
  return TLiteral::MakeFloat(pi);
}

TLiteral ELiteral() {
  const TLiteral one = TLiteral::MakeFloat(1);
  return EvaluateUnary(FunctionPrimitive(kFunctionExp, kTypeFloat), one, kTypeFloat);
}

bool ContainsAssignment(const TExpression& node) {
  if (node.Kind == kNodeBinary && node.Code == kExprAssign) return true;
  return (node.Left && ContainsAssignment(*node.Left)) ||
         (node.Right && ContainsAssignment(*node.Right));
}

TNode FoldNode(TNode node) {
  if (!Foldable(*node)) return node;
  return MakeLiteral(FoldedValue(*node), *node);
}

TNode ReduceNode(TNode node) {
  if (node->Kind != kNodeBinary) return node;
  switch (node->Code) {
    case kExprMultiply: return ReduceMultiply(std::move(node));
    case kExprPower: return ReducePower(std::move(node));
    case kExprDivide: return ReduceDivide(std::move(node));
    case kExprAnd: return ReduceLogic(std::move(node), false);
    case kExprOr: return ReduceLogic(std::move(node), true);
    default: return node;
  }
}

}  // namespace zt
