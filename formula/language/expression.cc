// Expression nodes, the expression table and their printable form.
#include "formula/language/expression.h"

#include "formula/language/token.h"
#include "formula/language/variable_list.h"

namespace zt {

int OperatorPrecedence(int code) {
  switch (code) {
    case eoNegate: case eoModulus: case eoPower: case eoNot: return 6;
    case eoMultiply: case eoDivide: case eoMod: return 5;
    case eoAdd: case eoSubtract: return 4;
    case eoEqual: case eoNotEqual: case eoLess: case eoLessEqual: case eoGreater:
    case eoGreaterEqual: return 3;
    case eoAnd: case eoOr: return 2;
    case eoAssign: return 1;
  }
  return 0;
}

const char* ExprOperatorText(int code) {
  static constexpr const char* kTexts[] = {"?", "neg", "mod", "+", "-", "*", "/", "^", "=",
                                           "%", "==", "!=", "<", "<=", ">", ">=", "&&", "||", "!"};
  return code >= 0 && code <= eoNot ? kTexts[code] : "?";
}

std::unique_ptr<TExpression> TExpression::Make(TNodeKind kind, int line, int column, int code) {
  auto node = std::make_unique<TExpression>();
  node->Kind = kind;
  node->Line = line;
  node->Column = column;
  node->Code = static_cast<std::uint8_t>(code);
  return node;
}

TExpressionList::~TExpressionList() {
  // Unlink iteratively so that a long program cannot exhaust the stack.
  while (first_) first_ = std::move(first_->Next);
}

void TExpressionList::Append(std::unique_ptr<TExpression> tree) {
  auto link = std::make_unique<Link>();
  link->Tree = std::move(tree);
  Link* raw = link.get();
  if (last_)
    last_->Next = std::move(link);
  else
    first_ = std::move(link);
  last_ = raw;
  ++count_;
}

void TExpressionList::InsertFirst(std::unique_ptr<TExpression> tree) {
  auto link = std::make_unique<Link>();
  link->Tree = std::move(tree);
  std::unique_ptr<Link>* slot = &first_;
  if (first_ && first_->Tree->Kind == nkSection) slot = &first_->Next;
  link->Next = std::move(*slot);
  if (!link->Next) last_ = link.get();
  *slot = std::move(link);
  ++count_;
}

void TExpressionList::RemoveAfter(Link* previous) {
  std::unique_ptr<Link>& slot = previous ? previous->Next : first_;
  if (!slot) return;
  std::unique_ptr<Link> removed = std::move(slot);
  slot = std::move(removed->Next);
  if (last_ == removed.get()) last_ = previous;
  --count_;
}

namespace {

void Print(const TExpression& node, bool types, std::string& out) {
  switch (node.Kind) {
    case nkLiteral: out += LiteralToString(node.Literal); break;
    case nkVariableName: out += node.Name; break;
    case nkVariable: out += node.Variable ? node.Variable->Name : "?"; break;
    case nkSymbol: out += "#"; out += SymbolName(node.Code); break;
    case nkParameter: out += "@" + node.Name; break;
    case nkParameterValue: out += "(value @" + node.Name + ")"; break;
    case nkUnary:
    case nkFunction:
    case nkUserFunction:
      out += "(";
      out += node.Kind == nkUnary ? ExprOperatorText(node.Code)
             : node.Kind == nkFunction ? FunctionName(node.Code)
                                       : ("@" + node.Name).c_str();
      out += " ";
      if (node.Left) Print(*node.Left, types, out);
      out += ")";
      break;
    case nkBinary:
      out += "(";
      out += ExprOperatorText(node.Code);
      out += " ";
      Print(*node.Left, types, out);
      out += " ";
      Print(*node.Right, types, out);
      out += ")";
      break;
    case nkKeyword:
      out += "(";
      out += KeywordName(node.Code);
      if (node.Left) {
        out += " ";
        Print(*node.Left, types, out);
      }
      out += ")";
      break;
    case nkSection: out += "[" + node.Name + (node.Flag ? "?" : "") + "]"; return;
  }
  if (types) {
    static constexpr char kLetters[] = {'c', 'f', 'i', 'b'};
    out += ':';
    out += kLetters[node.Type & 3];
  }
}

}  // namespace

std::string ExpressionToString(const TExpression& tree, bool types) {
  std::string out;
  Print(tree, types, out);
  return out;
}

std::string ProgramToString(const TExpressionList& program, bool types) {
  std::string out;
  for (auto* link = program.First(); link; link = link->Next.get()) {
    out += ExpressionToString(*link->Tree, types);
    out += '\n';
  }
  return out;
}

}  // namespace zt
