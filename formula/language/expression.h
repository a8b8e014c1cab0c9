// Expression trees and the expression table: one tree per statement and per
// section label, in program order. The parser builds them, the checker types and
// rewrites them, later stages translate them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "formula/language/value.h"

namespace zt {

struct TVariable;

enum TNodeKind : std::uint8_t {
  kNodeLiteral = 0,
  kNodeVariableName = 1,    // before checking: Name
  kNodeVariable = 2,        // after checking: Variable
  kNodeSymbol = 3,          // Code: symbol
  kNodeParameter = 4,       // Name
  kNodeParameterValue = 5,  // Name; initializes a writable parameter copy
  kNodeUnary = 6,           // Code: operator; Left: operand
  kNodeBinary = 7,          // Code: operator; Left, Right
  kNodeFunction = 8,        // Code: function; Left: argument
  kNodeUserFunction = 9,    // Name; Left: argument
  kNodeKeyword = 10,        // Code: keyword; Left: condition or declared name, if any
  kNodeSection = 11,        // Name: upper-cased label; Flag: condition section
};

// Operator codes of unary and binary nodes.
enum TExprOperator : std::uint8_t {
  kExprNegate = 1,
  kExprModulus = 2,
  kExprAdd = 3,
  kExprSubtract = 4,
  kExprMultiply = 5,
  kExprDivide = 6,
  kExprPower = 7,
  kExprAssign = 8,
  kExprMod = 9,
  kExprEqual = 10,
  kExprNotEqual = 11,
  kExprLess = 12,
  kExprLessEqual = 13,
  kExprGreater = 14,
  kExprGreaterEqual = 15,
  kExprAnd = 16,
  kExprOr = 17,
  kExprNot = 18,
};

// Binding strength of binary operators (higher binds tighter); assignment alone is
// right-associative.
int OperatorPrecedence(int code);
const char* ExprOperatorText(int code);

// One node. A node owns its children; a variable reference points into the
// variable table, which owns its entries.
struct TExpression {
  std::int32_t Line = 0;
  std::int32_t Column = 0;
  TValueType Type = kTypeComplex;  // set by the checker
  TNodeKind Kind = kNodeLiteral;
  std::uint8_t Code = 0;
  std::unique_ptr<TExpression> Left;
  std::unique_ptr<TExpression> Right;
  std::string Name;
  TVariable* Variable = nullptr;
  bool Flag = false;
  TLiteral Literal;

  static std::unique_ptr<TExpression> Make(TNodeKind kind, int line, int column, int code = 0);
};

// The program: trees in order, a section label followed by its statements.
// Used by one compiler object on one thread.
class TExpressionList {
 public:
  struct Link {
    std::unique_ptr<TExpression> Tree;
    std::unique_ptr<Link> Next;
  };

  TExpressionList() = default;
  ~TExpressionList();
  TExpressionList(const TExpressionList&) = delete;
  TExpressionList& operator=(const TExpressionList&) = delete;

  void Append(std::unique_ptr<TExpression> tree);
  // Adds at the front, or directly after the first tree when that is a section label.
  void InsertFirst(std::unique_ptr<TExpression> tree);
  // Unlinks and frees the link that follows `previous` (the first link when null).
  void RemoveAfter(Link* previous);

  Link* First() const { return first_.get(); }
  int Count() const { return count_; }

 private:
  std::unique_ptr<Link> first_;
  Link* last_ = nullptr;
  int count_ = 0;
};

// Printable forms for tests and diagnostics: `(= z (+ (sqr z) pixel))`; with
// `types`, every node is followed by its type letter (c, f, i, b).
std::string ExpressionToString(const TExpression& tree, bool types = false);
// One line per tree.
std::string ProgramToString(const TExpressionList& program, bool types = false);

}  // namespace zt
