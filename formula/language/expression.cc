// Expression nodes, the expression table and their printable form.
#include "formula/language/expression.h"

#include "formula/language/token.h"
#include "formula/language/variable_list.h"

namespace zt {

int OperatorPrecedence(int code) {
  switch (code) {
    case kExprNegate:
    case kExprModulus:
    case kExprPower:
    case kExprNot: return 6;
    case kExprMultiply:
    case kExprDivide:
    case kExprMod: return 5;
    case kExprAdd:
    case kExprSubtract: return 4;
    case kExprEqual:
    case kExprNotEqual:
    case kExprLess:
    case kExprLessEqual:
    case kExprGreater:
    case kExprGreaterEqual: return 3;
    case kExprAnd:
    case kExprOr: return 2;
    case kExprAssign: return 1;
  }
  return 0;
}

const char* ExprOperatorText(int code) {
  static constexpr const char* kTexts[] = {
      "?",  "neg", "mod", "+",  "-", "*",  "/",  "^",  "=", "%",
      "==", "!=",  "<",   "<=", ">", ">=", "&&", "||", "!"};
  return code >= 0 && code <= kExprNot ? kTexts[code] : "?";
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
  if (first_ && first_->Tree->Kind == kNodeSection) slot = &first_->Next;
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
    case kNodeLiteral: out += LiteralToString(node.Literal); break;
    case kNodeVariableName: out += node.Name; break;
    case kNodeVariable: out += node.Variable ? node.Variable->Name : "?"; break;
    case kNodeSymbol:
      out += "#";
      out += SymbolName(node.Code);
      break;
    case kNodeParameter: out += "@" + node.Name; break;
    case kNodeParameterValue: out += "(value @" + node.Name + ")"; break;
    case kNodeUnary:
    case kNodeFunction:
    case kNodeUserFunction:
      out += "(";
      out += node.Kind == kNodeUnary      ? ExprOperatorText(node.Code)
             : node.Kind == kNodeFunction ? FunctionName(node.Code)
                                          : ("@" + node.Name).c_str();
      out += " ";
      if (node.Left) Print(*node.Left, types, out);
      out += ")";
      break;
    case kNodeBinary:
      out += "(";
      out += ExprOperatorText(node.Code);
      out += " ";
      Print(*node.Left, types, out);
      out += " ";
      Print(*node.Right, types, out);
      out += ")";
      break;
    case kNodeKeyword:
      out += "(";
      out += KeywordName(node.Code);
      if (node.Left) {
        out += " ";
        Print(*node.Left, types, out);
      }
      out += ")";
      break;
    case kNodeSection: out += "[" + node.Name + (node.Flag ? "?" : "") + "]"; return;
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
