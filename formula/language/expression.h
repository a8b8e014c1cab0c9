// Expression trees and the expression table: one tree per statement and per
// section label, in program order. The parser builds them, the checker types and
// rewrites them, later stages translate them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "formula/language/value.h"

namespace zt {

class TVariable;

enum TNodeKind : std::uint8_t {
  nkLiteral = 0,
  nkVariableName = 1,   // before checking: Name
  nkVariable = 2,       // after checking: Variable
  nkSymbol = 3,         // Code: symbol
  nkParameter = 4,      // Name
  nkParameterValue = 5, // Name; initializes a writable parameter copy
  nkUnary = 6,          // Code: operator; Left: operand
  nkBinary = 7,         // Code: operator; Left, Right
  nkFunction = 8,       // Code: function; Left: argument
  nkUserFunction = 9,   // Name; Left: argument
  nkKeyword = 10,       // Code: keyword; Left: condition or declared name, if any
  nkSection = 11,       // Name: upper-cased label; Flag: condition section
};

// Operator codes of unary and binary nodes.
enum TExprOperator : std::uint8_t {
  eoNegate = 1, eoModulus = 2, eoAdd = 3, eoSubtract = 4, eoMultiply = 5, eoDivide = 6,
  eoPower = 7, eoAssign = 8, eoMod = 9, eoEqual = 10, eoNotEqual = 11, eoLess = 12,
  eoLessEqual = 13, eoGreater = 14, eoGreaterEqual = 15, eoAnd = 16, eoOr = 17, eoNot = 18,
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
  TValueType Type = vtComplex;  // set by the checker
  TNodeKind Kind = nkLiteral;
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
