// Sections and expressions: precedence climbing over one statement's tokens.
#include "formula/language/parser.h"

#include "platform/text.h"

namespace zt {
namespace {

// The expression operator of a binary token operator, or 0.
int BinaryOperator(const TToken& token) {
  if (token.Kind != kTokenOperator) return 0;
  switch (token.Code) {
    case kOperatorPlus: return kExprAdd;
    case kOperatorMinus: return kExprSubtract;
    case kOperatorTimes: return kExprMultiply;
    case kOperatorDivide: return kExprDivide;
    case kOperatorPower: return kExprPower;
    case kOperatorAssign: return kExprAssign;
    case kOperatorPercent: return kExprMod;
    case kOperatorEqual: return kExprEqual;
    case kOperatorNotEqual: return kExprNotEqual;
    case kOperatorLess: return kExprLess;
    case kOperatorLessEqual: return kExprLessEqual;
    case kOperatorGreater: return kExprGreater;
    case kOperatorGreaterEqual: return kExprGreaterEqual;
    case kOperatorAnd: return kExprAnd;
    case kOperatorOr: return kExprOr;
  }
  return 0;
}

bool IsOperator(const TToken& token, int code) {
  return token.Kind == kTokenOperator && token.Code == code;
}

}  // namespace

TSectionKind TParser::ClassifyLabel(const std::string&) { return kSectionInvalid; }

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
  if (kind == kSectionInvalid) throw ECompileError(ERR_INVALIDLABEL, line, column);
  settings_section_ = kind == kSectionSettings || kind == kSectionSettingsWithBlocks;
  blocks_allowed_ = kind == kSectionSettingsWithBlocks;
  section_ = upper;
  in_param_ = false;
  in_func_ = false;
  if (kind == kSectionCode || kind == kSectionCondition) {
    auto node = TExpression::Make(kNodeSection, line, column);
    node->Name = upper.substr(0, kMaxNameLength);
    node->Flag = kind == kSectionCondition;
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
  if (first.Kind == kTokenEnd) return;
  std::unique_ptr<TExpression> tree;
  if (first.Kind == kTokenKeyword) {
    switch (first.Code) {
      case kKeywordIf:
      case kKeywordElseIf:
      case kKeywordWhile:
      case kKeywordUntil:
        tree = TExpression::Make(kNodeKeyword, first.Line, first.Column, first.Code);
        tree->Left = ParseRange(1, end);
        break;
      case kKeywordElse:
      case kKeywordEndIf:
      case kKeywordEndWhile:
      case kKeywordRepeat:
        if (end > 1) Fail(ERR_COMMAEXPECTED, 1);
        tree = TExpression::Make(kNodeKeyword, first.Line, first.Column, first.Code);
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
                   (op == left_operator && op == kExprAssign);
    if (!tighter) break;
    const TToken& token = tokens_[pos++];
    auto node = TExpression::Make(kNodeBinary, token.Line, token.Column, op);
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
    case kTokenLiteral: {
      auto node = TExpression::Make(kNodeLiteral, token.Line, token.Column);
      node->Literal = token.Literal;
      node->Type = token.Literal.Type;
      ++pos;
      return node;
    }
    case kTokenOperator:
      if (token.Code == kOperatorOpen) {
        int depth = 0, close = pos;
        for (; close < end; ++close) {
          if (IsOperator(tokens_[close], kOperatorOpen)) ++depth;
          if (IsOperator(tokens_[close], kOperatorClose) && --depth == 0) break;
        }
        if (close >= end) Fail(ERR_CLOSEPAREXPECTED, end);
        auto inner = ParseRange(pos + 1, close);
        pos = close + 1;
        return inner;
      }
      if (token.Code == kOperatorBar) {
        int depth = 0, close = pos + 1;
        for (; close < end; ++close) {
          const TToken& t = tokens_[close];
          if (IsOperator(t, kOperatorOpen)) ++depth;
          if (IsOperator(t, kOperatorClose) && --depth < 0) Fail(ERR_PIPEEXPECTED, close);
          if (IsOperator(t, kOperatorBar) && depth == 0) break;
        }
        if (close >= end) Fail(depth > 0 ? ERR_CLOSEPAREXPECTED : ERR_PIPEEXPECTED, end);
        auto node = TExpression::Make(kNodeUnary, token.Line, token.Column, kExprModulus);
        node->Left = ParseRange(pos + 1, close);
        pos = close + 1;
        return node;
      }
      if (token.Code == kOperatorPlus) {
        ++pos;
        return ParseOperand(pos, end);
      }
      if (token.Code == kOperatorMinus || token.Code == kOperatorNot) {
        ++pos;
        auto node = TExpression::Make(kNodeUnary, token.Line, token.Column,
                                      token.Code == kOperatorMinus ? kExprNegate : kExprNot);
        node->Left = ParseOperand(pos, end);
        return node;
      }
      // No other operator can start an operand; '&' and '~' fail here too.
      Fail(ERR_OPERATOREXPECTED, pos);
    case kTokenKeyword:
      switch (token.Code) {
        case kKeywordTrue:
        case kKeywordFalse: {
          auto node = TExpression::Make(kNodeLiteral, token.Line, token.Column);
          node->Literal = TLiteral::MakeBool(token.Code == kKeywordTrue);
          node->Type = kTypeBool;
          ++pos;
          return node;
        }
        case kKeywordComplex:
        case kKeywordFloat:
        case kKeywordInt:
        case kKeywordBool: {
          auto node = TExpression::Make(kNodeKeyword, token.Line, token.Column, token.Code);
          ++pos;
          if (pos >= end) Fail(ERR_VARIABLEEXPECTED, end);
          const TToken& name = tokens_[pos];
          if (name.Kind == kTokenVariable) {
            node->Left = TExpression::Make(kNodeVariableName, name.Line, name.Column);
            node->Left->Name = name.Text;
          } else if (name.Kind == kTokenSymbol) {
            node->Left = TExpression::Make(kNodeSymbol, name.Line, name.Column, name.Code);
          } else {
            Fail(ERR_VARIABLEEXPECTED, pos);
          }
          ++pos;
          return node;
        }
        default: Fail(ERR_KEYWORDMISPLACED, pos);
      }
    case kTokenFunction: {
      ++pos;
      auto argument = ParseOperand(pos, end);
      if (token.Code == kFunctionIdent) return argument;
      auto node = TExpression::Make(kNodeFunction, token.Line, token.Column, token.Code);
      node->Left = std::move(argument);
      return node;
    }
    case kTokenVariable: {
      auto node = TExpression::Make(kNodeVariableName, token.Line, token.Column);
      node->Name = token.Text;
      ++pos;
      return node;
    }
    case kTokenSymbol:
      ++pos;
      return TExpression::Make(kNodeSymbol, token.Line, token.Column, token.Code);
    case kTokenParameter: {
      auto node = TExpression::Make(kNodeParameter, token.Line, token.Column);
      node->Name = token.Text;
      ++pos;
      return node;
    }
    case kTokenUserFunction: {
      auto node = TExpression::Make(kNodeUserFunction, token.Line, token.Column);
      node->Name = token.Text;
      ++pos;
      node->Left = ParseOperand(pos, end);
      return node;
    }
    default: break;
  }
  Fail(ERR_EXPREXPECTED, pos);
}

}  // namespace zt
