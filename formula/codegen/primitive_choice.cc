// The node-to-primitive tables shared by constant folding and code generation.
#include "formula/codegen/primitive_choice.h"

#include "formula/language/token.h"

namespace zt {
namespace {

// The ordered comparison that holds for (right, left) when `op` holds for (left, right).
int Mirrored(int op) {
  switch (op) {
    case kExprLess: return kExprGreater;
    case kExprLessEqual: return kExprGreaterEqual;
    case kExprGreater: return kExprLess;
    case kExprGreaterEqual: return kExprLessEqual;
  }
  return op;
}

// Complex and float primitives take the lower operand as `l`, the upper as `u`.
// Here `op` already describes l op u.
int ComplexBinary(int op, bool swapped) {
  switch (op) {
    case kExprAdd: return kPrimitiveComplexAdd;
    case kExprSubtract: return swapped ? kPrimitiveComplexSubRev : kPrimitiveComplexSub;
    case kExprMultiply: return kPrimitiveComplexMul;
    case kExprDivide: return swapped ? kPrimitiveComplexDivRev : kPrimitiveComplexDiv;
    case kExprPower: return swapped ? kPrimitiveComplexPowRev : kPrimitiveComplexPow;
    case kExprEqual: return kPrimitiveComplexEqual;
    case kExprNotEqual: return kPrimitiveComplexNotEqual;
    case kExprLess: return kPrimitiveComplexLess;
    case kExprLessEqual: return kPrimitiveComplexLessEqual;
    case kExprGreater: return kPrimitiveComplexGreater;
    case kExprGreaterEqual: return kPrimitiveComplexGreaterEqual;
  }
  return -1;
}

int FloatBinary(int op, bool swapped) {
  switch (op) {
    case kExprAdd: return kPrimitiveFloatAdd;
    case kExprSubtract: return swapped ? kPrimitiveFloatSubRev : kPrimitiveFloatSub;
    case kExprMultiply: return kPrimitiveFloatMul;
    case kExprDivide: return swapped ? kPrimitiveFloatDivRev : kPrimitiveFloatDiv;
    case kExprMod: return swapped ? kPrimitiveFloatModRev : kPrimitiveFloatMod;
    case kExprPower: return swapped ? kPrimitiveFloatPowRev : kPrimitiveFloatPow;
    case kExprEqual: return kPrimitiveFloatEqual;
    case kExprNotEqual: return kPrimitiveFloatNotEqual;
    case kExprLess: return kPrimitiveFloatLess;
    case kExprLessEqual: return kPrimitiveFloatLessEqual;
    case kExprGreater: return kPrimitiveFloatGreater;
    case kExprGreaterEqual: return kPrimitiveFloatGreaterEqual;
  }
  return -1;
}

// A complex `left` op float `right` (complexLeft) or float `left` op complex
// `right`; `floatOnTop` says which one the generator pushed last.
int MixedBinary(int op, bool complex_left, bool float_on_top) {
  switch (op) {
    case kExprAdd: return float_on_top ? kPrimitiveMixAddFTop : kPrimitiveMixAddCTop;
    case kExprMultiply: return float_on_top ? kPrimitiveMixMulFTop : kPrimitiveMixMulCTop;
    case kExprSubtract:
      if (complex_left) return float_on_top ? kPrimitiveMixSubCFFTop : kPrimitiveMixSubCFCTop;
      return float_on_top ? kPrimitiveMixSubFCFTop : kPrimitiveMixSubFCCTop;
    case kExprDivide:
      // A float divided by a complex has no mixed form; the checker widens the float.
      if (complex_left) return float_on_top ? kPrimitiveMixDivCFFTop : kPrimitiveMixDivCFCTop;
      return -1;
  }
  return -1;
}

int IntBinary(int op) {
  switch (op) {
    case kExprAdd: return kPrimitiveIntAdd;
    case kExprSubtract: return kPrimitiveIntSub;
    case kExprMultiply: return kPrimitiveIntMul;
    case kExprMod: return kPrimitiveIntMod;
    case kExprEqual: return kPrimitiveIntEqual;
    case kExprNotEqual: return kPrimitiveIntNotEqual;
    case kExprLess: return kPrimitiveIntLess;
    case kExprLessEqual: return kPrimitiveIntLessEqual;
    case kExprGreater: return kPrimitiveIntGreater;
    case kExprGreaterEqual: return kPrimitiveIntGreaterEqual;
  }
  return -1;
}

int BoolBinary(int op) {
  switch (op) {
    case kExprEqual: return kPrimitiveBoolEqual;
    case kExprNotEqual: return kPrimitiveBoolNotEqual;
    case kExprAnd: return kPrimitiveBoolAnd;
    case kExprOr: return kPrimitiveBoolOr;
  }
  return -1;
}

int ComplexFunction(int function) {
  switch (function) {
    case kFunctionSin: return kPrimitiveComplexSin;
    case kFunctionSinh: return kPrimitiveComplexSinh;
    case kFunctionAsin: return kPrimitiveComplexAsin;
    case kFunctionAsinh: return kPrimitiveComplexAsinh;
    case kFunctionCos: return kPrimitiveComplexCos;
    case kFunctionCosh: return kPrimitiveComplexCosh;
    case kFunctionAcos: return kPrimitiveComplexAcos;
    case kFunctionAcosh: return kPrimitiveComplexAcosh;
    case kFunctionTan: return kPrimitiveComplexTan;
    case kFunctionTanh: return kPrimitiveComplexTanh;
    case kFunctionAtan: return kPrimitiveComplexAtan;
    case kFunctionAtanh: return kPrimitiveComplexAtanh;
    case kFunctionCotan: return kPrimitiveComplexCotan;
    case kFunctionCotanh: return kPrimitiveComplexCotanh;
    case kFunctionSqr: return kPrimitiveComplexSqr;
    case kFunctionSqrt: return kPrimitiveComplexSqrt;
    case kFunctionLog: return kPrimitiveComplexLog;
    case kFunctionExp: return kPrimitiveComplexExp;
    case kFunctionAbs: return kPrimitiveComplexAbs;
    case kFunctionCabs: return kPrimitiveComplexCabs;
    case kFunctionConj: return kPrimitiveComplexConj;
    case kFunctionFlip: return kPrimitiveComplexFlip;
    case kFunctionRecip: return kPrimitiveComplexRecip;
    case kFunctionCeil: return kPrimitiveComplexCeil;
    case kFunctionFloor: return kPrimitiveComplexFloor;
    case kFunctionTrunc: return kPrimitiveComplexTrunc;
    case kFunctionRound: return kPrimitiveComplexRound;
    case kFunctionReal: return kPrimitiveComplexReal;
    case kFunctionImag: return kPrimitiveComplexImag;
    case kFunctionAtan2: return kPrimitiveComplexAtan2;
    case kFunctionDouble: return kPrimitiveComplexDouble;
    case kFunctionTimesI: return kPrimitiveComplexTimesI;
    case kFunctionTimesMinusI: return kPrimitiveComplexTimesMinusI;
    case kFunctionCube: return kPrimitiveComplexCube;
    case kFunctionFourth: return kPrimitiveComplexFourth;
  }
  return -1;
}

int FloatFunction(int function) {
  switch (function) {
    case kFunctionSin: return kPrimitiveFloatSin;
    case kFunctionSinh: return kPrimitiveFloatSinh;
    case kFunctionAsin: return kPrimitiveFloatAsin;
    case kFunctionAsinh: return kPrimitiveFloatAsinh;
    case kFunctionCos: return kPrimitiveFloatCos;
    case kFunctionCosh: return kPrimitiveFloatCosh;
    case kFunctionAcos: return kPrimitiveFloatAcos;
    case kFunctionAcosh: return kPrimitiveFloatAcosh;
    case kFunctionTan: return kPrimitiveFloatTan;
    case kFunctionTanh: return kPrimitiveFloatTanh;
    case kFunctionAtan: return kPrimitiveFloatAtan;
    case kFunctionAtanh: return kPrimitiveFloatAtanh;
    case kFunctionCotan: return kPrimitiveFloatCotan;
    case kFunctionCotanh: return kPrimitiveFloatCotanh;
    case kFunctionSqr: return kPrimitiveFloatSqr;
    case kFunctionSqrt: return kPrimitiveFloatSqrt;
    case kFunctionLog: return kPrimitiveFloatLog;
    case kFunctionExp: return kPrimitiveFloatExp;
    case kFunctionAbs: return kPrimitiveFloatAbs;
    case kFunctionRecip: return kPrimitiveFloatRecip;
    case kFunctionCeil: return kPrimitiveFloatCeil;
    case kFunctionFloor: return kPrimitiveFloatFloor;
    case kFunctionTrunc: return kPrimitiveFloatTrunc;
    case kFunctionRound: return kPrimitiveFloatRound;
    case kFunctionToComplex: return kPrimitiveFloatToComplex;
    case kFunctionDouble: return kPrimitiveFloatDouble;
    case kFunctionTimesI: return kPrimitiveFloatTimesI;
    case kFunctionTimesMinusI: return kPrimitiveFloatTimesMinusI;
    case kFunctionCube: return kPrimitiveFloatCube;
    case kFunctionFourth: return kPrimitiveFloatFourth;
  }
  return -1;
}

int IntFunction(int function) {
  switch (function) {
    case kFunctionSqr: return kPrimitiveIntSqr;
    case kFunctionAbs: return kPrimitiveIntAbs;
    case kFunctionDouble: return kPrimitiveIntDouble;
    case kFunctionOldZ: return kPrimitiveLoadOldZ;
    case kFunctionToFloat: return kPrimitiveIntToFloat;
    case kFunctionToComplex: return kPrimitiveIntToComplex;
  }
  return -1;
}

int BoolFunction(int function) {
  switch (function) {
    case kFunctionToInt: return kPrimitiveBoolToInt;
    case kFunctionToFloat: return kPrimitiveBoolToFloat;
    case kFunctionToComplex: return kPrimitiveBoolToComplex;
  }
  return -1;
}

}  // namespace

int UnaryPrimitive(int op, TValueType operand) {
  switch (op) {
    case kExprNegate:
      if (operand == kTypeComplex) return kPrimitiveComplexNeg;
      if (operand == kTypeFloat) return kPrimitiveFloatNeg;
      if (operand == kTypeInt) return kPrimitiveIntNeg;
      return -1;
    case kExprModulus: return operand == kTypeComplex ? kPrimitiveComplexModulus : -1;
    case kExprNot: return operand == kTypeBool ? kPrimitiveBoolNot : -1;
  }
  return -1;
}

int UnaryPrimitive(const TExpression& node) {
  if (node.Kind != kNodeUnary || !node.Left) return -1;
  return UnaryPrimitive(node.Code, node.Left->Type);
}

int BinaryPrimitive(int op, TValueType left, TValueType right, bool reversed) {
  if (left == kTypeInt && right == kTypeInt) return IntBinary(op);
  if (left == kTypeBool && right == kTypeBool) return BoolBinary(op);
  const bool complex_left = left == kTypeComplex;
  const bool complex_right = right == kTypeComplex;
  const bool float_left = left == kTypeFloat;
  const bool float_right = right == kTypeFloat;
  if (complex_left && float_right) return MixedBinary(op, true, !reversed);
  if (float_left && complex_right) return MixedBinary(op, false, reversed);
  // Reversed, the stack holds (right, left): l op u reads right op' left.
  const int stack_op = reversed ? Mirrored(op) : op;
  if (complex_left && complex_right) return ComplexBinary(stack_op, reversed);
  if (float_left && float_right) return FloatBinary(stack_op, reversed);
  return -1;
}

int BinaryPrimitive(const TExpression& node, bool reversed) {
  if (node.Kind != kNodeBinary || !node.Left || !node.Right) return -1;
  return BinaryPrimitive(node.Code, node.Left->Type, node.Right->Type, reversed);
}

int FunctionPrimitive(int function, TValueType argument) {
  switch (argument) {
    case kTypeComplex: return ComplexFunction(function);
    case kTypeFloat: return FloatFunction(function);
    case kTypeInt: return IntFunction(function);
    case kTypeBool: return BoolFunction(function);
  }
  return -1;
}

int FunctionPrimitive(const TExpression& node) {
  if (node.Kind != kNodeFunction || !node.Left) return -1;
  return FunctionPrimitive(node.Code, node.Left->Type);
}

}  // namespace zt
