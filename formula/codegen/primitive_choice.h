// Which runtime primitive computes an operator or function node. The optimizer
// folds constants by running exactly the primitive that the code generator copies
// into the code for the same node, so both ask here and nowhere else.
//
// Pure functions of their arguments; any thread may call them.
#pragma once

#include "formula/codegen/runtime.h"
#include "formula/language/expression.h"

namespace zt {

// Every answer is a TPrimitive, or -1 when no primitive computes the combination
// (a fault of the checked program, or a case the code generator handles itself:
// assignment, the identity function of any type, and complex zero()).

// Unary operator `op` (kExprNegate, kExprModulus, kExprNot) on an operand of type `operand`.
int UnaryPrimitive(int op, TValueType operand);
int UnaryPrimitive(const TExpression& node);

// Binary operator `op` with operands of the given types. `reversed` says that the
// right operand was computed first: it lies below the left one on the FPU stack,
// so the variant for swapped operands is chosen (u - l, u / l, l > u for left <
// right, the other stack arrangement of mixed complex and float). Int and bool
// operands always travel as left in EAX / AL and right in EDX / DL, so `reversed`
// does not change their choice.
int BinaryPrimitive(int op, TValueType left, TValueType right, bool reversed);
int BinaryPrimitive(const TExpression& node, bool reversed);

// Built-in function `function` (TFunctionCode, conversions and the optimizer's
// functions 36 to 40 included) of an argument of type `argument`.
int FunctionPrimitive(int function, TValueType argument);
int FunctionPrimitive(const TExpression& node);

}  // namespace zt
