// The optimizer's rewrite rules for one node whose operands are already
// rewritten: constant folding with the runtime's own primitives, and strength
// reduction of operators with one literal operand. The rules know nothing of
// parameters, the variable table or statements; TOptimizer applies them.
//
// Pure functions apart from running primitives; any thread may call them.
#pragma once

#include <memory>

#include "formula/language/expression.h"

namespace zt {

// Classification codes of literals used by strength reduction.
enum TLiteralClass : int {
  kLiteralNone = 0,
  kLiteralOne = 1,
  kLiteralMinusOne = 2,
  kLiteralI = 3,
  kLiteralMinusI = 4,
  kLiteralZero = 5,
  kLiteralTwo = 6,
  kLiteralThree = 7,
  kLiteralFour = 8,
};

// Complex: i and -i by a zero real part and an imaginary part of 1 or -1, the
// real values by a zero imaginary part. Float and int by value; bool never.
TLiteralClass ClassifyLiteral(const TLiteral& value);

// The float literals that replace #pi (the FPU's own pi) and #e (exp(1) as the
// exponential primitive computes it).
TLiteral PiLiteral();
TLiteral ELiteral();

// True when an assignment occurs anywhere inside `node`.
bool ContainsAssignment(const TExpression& node);

// A unary, binary or function node whose operands are all literals, computed by
// the primitive the code generator would use (for a binary node the one for
// the right operand computed first, which is the generator's choice whenever the
// left operand is that small). Returns the literal, or `node` unchanged when it
// cannot be folded: oldz, assignments, or no primitive for the combination.
std::unique_ptr<TExpression> FoldNode(std::unique_ptr<TExpression> node);

// Strength reduction of a binary node with one literal operand: multiplication,
// power, division, && and ||, and x * x of one variable or symbol. Returns the
// cheaper equivalent, or `node` unchanged.
std::unique_ptr<TExpression> ReduceNode(std::unique_ptr<TExpression> node);

}  // namespace zt
