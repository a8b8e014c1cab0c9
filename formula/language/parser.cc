// Sections and expressions: precedence climbing over one statement's tokens.
#include "formula/language/parser.h"

#include "platform/text.h"

namespace zt {
namespace {

// The expression operator of a binary token operator, or 0.
int BinaryOperator(const TToken& token) {
  if (token.Kind != tkOperator) return 0;
  switch (token.Code) {
    case toPlus: return eoAdd;
    case toMinus: return eoSubtract;
    case toTimes: return eoMultiply;
    case toDivide: return eoDivide;
    case toPower: return eoPower;
    case toAssign: return eoAssign;
    case toPercent: return eoMod;
    case toEqual: return eoEqual;
    case toNotEqual: return eoNotEqual;
    case toLess: return eoLess;
    case toLessEqual: return eoLessEqual;
    case toGreater: return eoGreater;
    case toGreaterEqual: return eoGreaterEqual;
    case toAnd: return eoAnd;
    case toOr: return eoOr;
  }
  return 0;
}

bool IsOperator(const TToken& token, int code) {
  return token.Kind == tkOperator && token.Code == code;
}

}  // namespace

TSectionKind TParser::ClassifyLabel(const std::string&) { return skInvalid; }

int TParser::NumericSetting(const std::string&, const std::string&, const TLiteral&) {
  return ERR_INVALIDSETTING;
}

int TParser::StringSetting(const std::string&, const std::string&, const std::string&) {
  return ERR_INVALIDSETTING;
}

int TParser::OtherSetting(const std::string&, const TToken&, const TToken&) {
  return ERR_INVALIDSETTING;
}

void TParser::BeginCompile() {
  settings_section_ = false;
  blocks_allowed_ = false;
  in_param_ = false;
  in_func_ = false;
  section_.clear();
}

void TParser::EndParse() {
  if (!settings_section_) return;
  if (in_param_) throw ECompileError(ERR_ENDPARAMEXPECTED, Code().Line, Code().Column);
  if (in_func_) throw ECompileError(ERR_ENDFUNCEXPECTED, Code().Line, Code().Column);
}

void TParser::StartSection(const std::string& label, int line, int column) {
  if (settings_section_ && in_param_) throw ECompileError(ERR_ENDPARAMEXPECTED, line, column);
  std::string upper = UpperCase(label);
  TSectionKind kind = ClassifyLabel(upper);
  if (kind == skInvalid) throw ECompileError(ERR_INVALIDLABEL, line, column);
  settings_section_ = kind == skSettings || kind == skSettingsWithBlocks;
  blocks_allowed_ = kind == skSettingsWithBlocks;
  section_ = upper;
  in_param_ = false;
  in_func_ = false;
  if (kind == skCode || kind == skCondition) {
    auto node = TExpression::Make(nkSection, line, column);
    node->Name = upper.substr(0, kMaxNameLength);
    node->Flag = kind == skCondition;
    Expressions().Append(std::move(node));
  }
}

void TParser::Fail(int error, int pos) {
  throw ECompileError(error, tokens_[pos].Line, tokens_[pos].Column);
}

void TParser::ParseStatement(const TToken* tokens, int count) {
  tokens_ = tokens;
  count_ = count;
  if (settings_section_) {
    ParseSettingsStatement();
    return;
  }
  const int end = count - 1;  // the end marker
  const TToken& first = tokens[0];
  if (first.Kind == tkEnd) return;
  std::unique_ptr<TExpression> tree;
  if (first.Kind == tkKeyword) {
    switch (first.Code) {
      case kwIf:
      case kwElseIf:
      case kwWhile:
      case kwUntil:
        tree = TExpression::Make(nkKeyword, first.Line, first.Column, first.Code);
        tree->Left = ParseRange(1, end);
        break;
      case kwElse:
      case kwEndIf:
      case kwEndWhile:
      case kwRepeat:
        if (end > 1) Fail(ERR_COMMAEXPECTED, 1);
        tree = TExpression::Make(nkKeyword, first.Line, first.Column, first.Code);
        break;
    }
  }
  if (!tree) tree = ParseRange(0, end);
  Expressions().Append(std::move(tree));
}

std::unique_ptr<TExpression> TParser::ParseRange(int begin, int end) {
  int pos = begin;
  return ParseExpression(pos, end, 0);
}

// Precedence climbing: an operator to the right binds to the operand when it binds
// tighter than `left_operator` (higher precedence, or the same right-associative
// operator); otherwise the operand goes back to the level of `left_operator`.
std::unique_ptr<TExpression> TParser::ParseExpression(int& pos, int end, int left_operator) {
  std::unique_ptr<TExpression> operand = ParseOperand(pos, end);
  while (pos < end) {
    int op = BinaryOperator(tokens_[pos]);
    if (op == 0) Fail(ERR_OPERATOREXPECTED, pos);
    bool tighter = left_operator == 0 ||
                   OperatorPrecedence(op) > OperatorPrecedence(left_operator) ||
                   (op == left_operator && op == eoAssign);
    if (!tighter) break;
    const TToken& token = tokens_[pos++];
    auto node = TExpression::Make(nkBinary, token.Line, token.Column, op);
    node->Left = std::move(operand);
    node->Right = ParseExpression(pos, end, op);
    operand = std::move(node);
  }
  return operand;
}

std::unique_ptr<TExpression> TParser::ParseOperand(int& pos, int end) {
  if (pos >= end) Fail(ERR_EXPREXPECTED, end);
  const TToken& token = tokens_[pos];
  switch (token.Kind) {
    case tkLiteral: {
      auto node = TExpression::Make(nkLiteral, token.Line, token.Column);
      node->Literal = token.Literal;
      node->Type = token.Literal.Type;
      ++pos;
      return node;
    }
    case tkOperator:
      if (token.Code == toOpen) {
        int depth = 0, close = pos;
        for (; close < end; ++close) {
          if (IsOperator(tokens_[close], toOpen)) ++depth;
          if (IsOperator(tokens_[close], toClose) && --depth == 0) break;
        }
        if (close >= end) Fail(ERR_CLOSEPAREXPECTED, end);
        auto inner = ParseRange(pos + 1, close);
        pos = close + 1;
        return inner;
      }
      if (token.Code == toBar) {
        int depth = 0, close = pos + 1;
        for (; close < end; ++close) {
          const TToken& t = tokens_[close];
          if (IsOperator(t, toOpen)) ++depth;
          if (IsOperator(t, toClose) && --depth < 0) Fail(ERR_PIPEEXPECTED, close);
          if (IsOperator(t, toBar) && depth == 0) break;
        }
        if (close >= end) Fail(depth > 0 ? ERR_CLOSEPAREXPECTED : ERR_PIPEEXPECTED, end);
        auto node = TExpression::Make(nkUnary, token.Line, token.Column, eoModulus);
        node->Left = ParseRange(pos + 1, close);
        pos = close + 1;
        return node;
      }
      if (token.Code == toPlus) {
        ++pos;
        return ParseOperand(pos, end);
      }
      if (token.Code == toMinus || token.Code == toNot) {
        ++pos;
        auto node = TExpression::Make(nkUnary, token.Line, token.Column,
                                      token.Code == toMinus ? eoNegate : eoNot);
        node->Left = ParseOperand(pos, end);
        return node;
      }
      // No other operator can start an operand; '&' and '~' fail here too.
      Fail(ERR_OPERATOREXPECTED, pos);
    case tkKeyword:
      switch (token.Code) {
        case kwTrue:
        case kwFalse: {
          auto node = TExpression::Make(nkLiteral, token.Line, token.Column);
          node->Literal = TLiteral::MakeBool(token.Code == kwTrue);
          node->Type = vtBool;
          ++pos;
          return node;
        }
        case kwComplex:
        case kwFloat:
        case kwInt:
        case kwBool: {
          auto node = TExpression::Make(nkKeyword, token.Line, token.Column, token.Code);
          ++pos;
          if (pos >= end) Fail(ERR_VARIABLEEXPECTED, end);
          const TToken& name = tokens_[pos];
          if (name.Kind == tkVariable) {
            node->Left = TExpression::Make(nkVariableName, name.Line, name.Column);
            node->Left->Name = name.Text;
          } else if (name.Kind == tkSymbol) {
            node->Left = TExpression::Make(nkSymbol, name.Line, name.Column, name.Code);
          } else {
            Fail(ERR_VARIABLEEXPECTED, pos);
          }
          ++pos;
          return node;
        }
        default:
          Fail(ERR_KEYWORDMISPLACED, pos);
      }
    case tkFunction: {
      ++pos;
      auto argument = ParseOperand(pos, end);
      if (token.Code == fnIdent) return argument;
      auto node = TExpression::Make(nkFunction, token.Line, token.Column, token.Code);
      node->Left = std::move(argument);
      return node;
    }
    case tkVariable: {
      auto node = TExpression::Make(nkVariableName, token.Line, token.Column);
      node->Name = token.Text;
      ++pos;
      return node;
    }
    case tkSymbol:
      ++pos;
      return TExpression::Make(nkSymbol, token.Line, token.Column, token.Code);
    case tkParameter: {
      auto node = TExpression::Make(nkParameter, token.Line, token.Column);
      node->Name = token.Text;
      ++pos;
      return node;
    }
    case tkUserFunction: {
      auto node = TExpression::Make(nkUserFunction, token.Line, token.Column);
      node->Name = token.Text;
      ++pos;
      node->Left = ParseOperand(pos, end);
      return node;
    }
    default:
      break;
  }
  Fail(ERR_EXPREXPECTED, pos);
}

}  // namespace zt
