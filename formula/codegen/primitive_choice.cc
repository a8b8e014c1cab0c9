// The node-to-primitive tables shared by constant folding and code generation.
#include "formula/codegen/primitive_choice.h"

#include "formula/language/token.h"

namespace zt {
namespace {

// The ordered comparison that holds for (right, left) when `op` holds for (left, right).
int Mirrored(int op) {
  switch (op) {
    case eoLess: return eoGreater;
    case eoLessEqual: return eoGreaterEqual;
    case eoGreater: return eoLess;
    case eoGreaterEqual: return eoLessEqual;
  }
  return op;
}

// Complex and float primitives take the lower operand as `l`, the upper as `u`.
// Here `op` already describes l op u.
int ComplexBinary(int op, bool swapped) {
  switch (op) {
    case eoAdd: return prComplexAdd;
    case eoSubtract: return swapped ? prComplexSubRev : prComplexSub;
    case eoMultiply: return prComplexMul;
    case eoDivide: return swapped ? prComplexDivRev : prComplexDiv;
    case eoPower: return swapped ? prComplexPowRev : prComplexPow;
    case eoEqual: return prComplexEqual;
    case eoNotEqual: return prComplexNotEqual;
    case eoLess: return prComplexLess;
    case eoLessEqual: return prComplexLessEqual;
    case eoGreater: return prComplexGreater;
    case eoGreaterEqual: return prComplexGreaterEqual;
  }
  return -1;
}

int FloatBinary(int op, bool swapped) {
  switch (op) {
    case eoAdd: return prFloatAdd;
    case eoSubtract: return swapped ? prFloatSubRev : prFloatSub;
    case eoMultiply: return prFloatMul;
    case eoDivide: return swapped ? prFloatDivRev : prFloatDiv;
    case eoMod: return swapped ? prFloatModRev : prFloatMod;
    case eoPower: return swapped ? prFloatPowRev : prFloatPow;
    case eoEqual: return prFloatEqual;
    case eoNotEqual: return prFloatNotEqual;
    case eoLess: return prFloatLess;
    case eoLessEqual: return prFloatLessEqual;
    case eoGreater: return prFloatGreater;
    case eoGreaterEqual: return prFloatGreaterEqual;
  }
  return -1;
}

// A complex `left` op float `right` (complexLeft) or float `left` op complex
// `right`; `floatOnTop` says which one the generator pushed last.
int MixedBinary(int op, bool complexLeft, bool floatOnTop) {
  switch (op) {
    case eoAdd: return floatOnTop ? prMixAddFTop : prMixAddCTop;
    case eoMultiply: return floatOnTop ? prMixMulFTop : prMixMulCTop;
    case eoSubtract:
      if (complexLeft) return floatOnTop ? prMixSubCFFTop : prMixSubCFCTop;
      return floatOnTop ? prMixSubFCFTop : prMixSubFCCTop;
    case eoDivide:
      // A float divided by a complex has no mixed form; the checker widens the float.
      if (complexLeft) return floatOnTop ? prMixDivCFFTop : prMixDivCFCTop;
      return -1;
  }
  return -1;
}

int IntBinary(int op) {
  switch (op) {
    case eoAdd: return prIntAdd;
    case eoSubtract: return prIntSub;
    case eoMultiply: return prIntMul;
    case eoMod: return prIntMod;
    case eoEqual: return prIntEqual;
    case eoNotEqual: return prIntNotEqual;
    case eoLess: return prIntLess;
    case eoLessEqual: return prIntLessEqual;
    case eoGreater: return prIntGreater;
    case eoGreaterEqual: return prIntGreaterEqual;
  }
  return -1;
}

int BoolBinary(int op) {
  switch (op) {
    case eoEqual: return prBoolEqual;
    case eoNotEqual: return prBoolNotEqual;
    case eoAnd: return prBoolAnd;
    case eoOr: return prBoolOr;
  }
  return -1;
}

int ComplexFunction(int function) {
  switch (function) {
    case fnSin: return prComplexSin;
    case fnSinh: return prComplexSinh;
    case fnAsin: return prComplexAsin;
    case fnAsinh: return prComplexAsinh;
    case fnCos: return prComplexCos;
    case fnCosh: return prComplexCosh;
    case fnAcos: return prComplexAcos;
    case fnAcosh: return prComplexAcosh;
    case fnTan: return prComplexTan;
    case fnTanh: return prComplexTanh;
    case fnAtan: return prComplexAtan;
    case fnAtanh: return prComplexAtanh;
    case fnCotan: return prComplexCotan;
    case fnCotanh: return prComplexCotanh;
    case fnSqr: return prComplexSqr;
    case fnSqrt: return prComplexSqrt;
    case fnLog: return prComplexLog;
    case fnExp: return prComplexExp;
    case fnAbs: return prComplexAbs;
    case fnCabs: return prComplexCabs;
    case fnConj: return prComplexConj;
    case fnFlip: return prComplexFlip;
    case fnRecip: return prComplexRecip;
    case fnCeil: return prComplexCeil;
    case fnFloor: return prComplexFloor;
    case fnTrunc: return prComplexTrunc;
    case fnRound: return prComplexRound;
    case fnReal: return prComplexReal;
    case fnImag: return prComplexImag;
    case fnAtan2: return prComplexAtan2;
    case fnDouble: return prComplexDouble;
    case fnTimesI: return prComplexTimesI;
    case fnTimesMinusI: return prComplexTimesMinusI;
    case fnCube: return prComplexCube;
    case fnFourth: return prComplexFourth;
  }
  return -1;
}

int FloatFunction(int function) {
  switch (function) {
    case fnSin: return prFloatSin;
    case fnSinh: return prFloatSinh;
    case fnAsin: return prFloatAsin;
    case fnAsinh: return prFloatAsinh;
    case fnCos: return prFloatCos;
    case fnCosh: return prFloatCosh;
    case fnAcos: return prFloatAcos;
    case fnAcosh: return prFloatAcosh;
    case fnTan: return prFloatTan;
    case fnTanh: return prFloatTanh;
    case fnAtan: return prFloatAtan;
    case fnAtanh: return prFloatAtanh;
    case fnCotan: return prFloatCotan;
    case fnCotanh: return prFloatCotanh;
    case fnSqr: return prFloatSqr;
    case fnSqrt: return prFloatSqrt;
    case fnLog: return prFloatLog;
    case fnExp: return prFloatExp;
    case fnAbs: return prFloatAbs;
    case fnRecip: return prFloatRecip;
    case fnCeil: return prFloatCeil;
    case fnFloor: return prFloatFloor;
    case fnTrunc: return prFloatTrunc;
    case fnRound: return prFloatRound;
    case fnToComplex: return prFloatToComplex;
    case fnDouble: return prFloatDouble;
    case fnTimesI: return prFloatTimesI;
    case fnTimesMinusI: return prFloatTimesMinusI;
    case fnCube: return prFloatCube;
    case fnFourth: return prFloatFourth;
  }
  return -1;
}

int IntFunction(int function) {
  switch (function) {
    case fnSqr: return prIntSqr;
    case fnAbs: return prIntAbs;
    case fnDouble: return prIntDouble;
    case fnOldZ: return prLoadOldZ;
    case fnToFloat: return prIntToFloat;
    case fnToComplex: return prIntToComplex;
  }
  return -1;
}

int BoolFunction(int function) {
  switch (function) {
    case fnToInt: return prBoolToInt;
    case fnToFloat: return prBoolToFloat;
    case fnToComplex: return prBoolToComplex;
  }
  return -1;
}

}  // namespace

int UnaryPrimitive(int op, TValueType operand) {
  switch (op) {
    case eoNegate:
      if (operand == vtComplex) return prComplexNeg;
      if (operand == vtFloat) return prFloatNeg;
      if (operand == vtInt) return prIntNeg;
      return -1;
    case eoModulus: return operand == vtComplex ? prComplexModulus : -1;
    case eoNot: return operand == vtBool ? prBoolNot : -1;
  }
  return -1;
}

int UnaryPrimitive(const TExpression& node) {
  if (node.Kind != nkUnary || !node.Left) return -1;
  return UnaryPrimitive(node.Code, node.Left->Type);
}

int BinaryPrimitive(int op, TValueType left, TValueType right, bool reversed) {
  if (left == vtInt && right == vtInt) return IntBinary(op);
  if (left == vtBool && right == vtBool) return BoolBinary(op);
  const bool complexLeft = left == vtComplex;
  const bool complexRight = right == vtComplex;
  const bool floatLeft = left == vtFloat;
  const bool floatRight = right == vtFloat;
  if (complexLeft && floatRight) return MixedBinary(op, true, !reversed);
  if (floatLeft && complexRight) return MixedBinary(op, false, reversed);
  // Reversed, the stack holds (right, left): l op u reads right op' left.
  const int stackOp = reversed ? Mirrored(op) : op;
  if (complexLeft && complexRight) return ComplexBinary(stackOp, reversed);
  if (floatLeft && floatRight) return FloatBinary(stackOp, reversed);
  return -1;
}

int BinaryPrimitive(const TExpression& node, bool reversed) {
  if (node.Kind != nkBinary || !node.Left || !node.Right) return -1;
  return BinaryPrimitive(node.Code, node.Left->Type, node.Right->Type, reversed);
}

int FunctionPrimitive(int function, TValueType argument) {
  switch (argument) {
    case vtComplex: return ComplexFunction(function);
    case vtFloat: return FloatFunction(function);
    case vtInt: return IntFunction(function);
    case vtBool: return BoolFunction(function);
  }
  return -1;
}

int FunctionPrimitive(const TExpression& node) {
  if (node.Kind != nkFunction || !node.Left) return -1;
  return FunctionPrimitive(node.Code, node.Left->Type);
}

}  // namespace zt
