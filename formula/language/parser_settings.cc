// Statements of settings sections: PARAM and FUNC blocks with their settings, and
// the entry's own settings, which go to the entry kind's hooks.
#include "formula/language/parser.h"

#include "platform/text.h"

namespace zt {
namespace {

bool IsOperator(const TToken& token, int code) {
  return token.Kind == kTokenOperator && token.Code == code;
}

// What stands after "name =".
enum TValueKind { kValueNone, kValueNumber, kValueString, kValueFunction, kValueOther };

}  // namespace

void TParser::ExpectEnd(int pos) {
  if (pos < count_ - 1) Fail(ERR_COMMAEXPECTED, pos);
}

void TParser::CheckHook(int result, int name_pos, int value_pos) {
  if (result == 0) return;
  Fail(result, result == ERR_INVALIDSETTING ? name_pos : value_pos);
}

void TParser::ParseSettingsStatement() {
  const TToken& first = tokens_[0];
  if (first.Kind == kTokenEnd) return;
  if (first.Kind == kTokenKeyword &&
      (first.Code == kKeywordParam || first.Code == kKeywordEndParam ||
       first.Code == kKeywordFunc || first.Code == kKeywordEndFunc)) {
    ParseBlockKeyword(first.Code);
    return;
  }
  if (first.Kind == kTokenVariable) {
    ParseSetting();
    return;
  }
  if (in_param_ || in_func_) Fail(ERR_INVALIDSETTING, 0);
  if (!IsOperator(tokens_[1], kOperatorAssign)) Fail(ERR_ASSIGNEXPECTED, 1);
  if (tokens_[2].Kind == kTokenEnd) Fail(ERR_INVALIDSETTING, 0);
  CheckHook(OtherSetting(section_, first, tokens_[2]), 0, 2);
  ExpectEnd(3);
}

void TParser::ParseBlockKeyword(int keyword) {
  auto block_name = [&]() -> std::string {
    const TToken& name = tokens_[1];
    if (name.Kind != kTokenVariable && name.Kind != kTokenParameter)
      Fail(ERR_IDENTIFIEREXPECTED, 1);
    ExpectEnd(2);
    return name.Text;
  };
  switch (keyword) {
    case kKeywordParam: {
      if (!blocks_allowed_) Fail(ERR_KEYWORDMISPLACED, 0);
      if (in_param_) Fail(ERR_PARAMNESTED, 0);
      if (in_func_) Fail(ERR_ENDFUNCEXPECTED, 0);
      std::string name = block_name();
      param_index_ = Params().IndexOfName(name);
      param_is_new_ = param_index_ < 0;
      if (param_is_new_) param_index_ = Params().Add(std::make_unique<TParam>(name));
      in_param_ = true;
      break;
    }
    case kKeywordEndParam:
      if (!in_param_) Fail(ERR_ENDPARAMMISPLACED, 0);
      ExpectEnd(1);
      in_param_ = false;
      break;
    case kKeywordFunc: {
      if (!blocks_allowed_) Fail(ERR_KEYWORDMISPLACED, 0);
      if (in_func_) Fail(ERR_FUNCNESTED, 0);
      if (in_param_) Fail(ERR_ENDPARAMEXPECTED, 0);
      std::string name = block_name();
      func_index_ = Funcs().IndexOfName(name);
      if (func_index_ < 0) func_index_ = Funcs().Add(std::make_unique<TFunc>(name));
      in_func_ = true;
      break;
    }
    case kKeywordEndFunc:
      if (!in_func_) Fail(ERR_ENDFUNCMISPLACED, 0);
      ExpectEnd(1);
      in_func_ = false;
      break;
  }
}

void TParser::ParseSetting() {
  const std::string name = UpperCase(tokens_[0].Text);
  if (!IsOperator(tokens_[1], kOperatorAssign)) Fail(ERR_ASSIGNEXPECTED, 1);
  if (in_param_ && name == "ENUM") {
    TParam& param = Params().Items(param_index_);
    if (!param_is_new_ && param.ParamType() != kTypeInt) Fail(ERR_TYPEERROR, 2);
    param.SetParamType(kTypeInt);
    param.EnumItems()->clear();
    int pos = 2;
    do {
      if (tokens_[pos].Kind != kTokenString) Fail(ERR_STRINGEXPECTED, pos);
      param.EnumItems()->push_back(tokens_[pos].Text);
    } while (++pos < count_ - 1);
    return;
  }

  // The value.
  const int value_pos = 2;
  const TToken& v = tokens_[value_pos];
  TValueKind kind = kValueNone;
  TLiteral number;
  int function = -1;
  int after = value_pos + 1;
  if (v.Kind == kTokenEnd) {
    Fail(ERR_INVALIDSETTING, 0);
  } else if (IsOperator(v, kOperatorPlus) || IsOperator(v, kOperatorMinus)) {
    if (tokens_[value_pos + 1].Kind != kTokenLiteral) Fail(ERR_LITERALEXPECTED, value_pos + 1);
    number = tokens_[value_pos + 1].Literal;
    if (IsOperator(v, kOperatorMinus)) {
      number.Re = -number.Re;
      number.Im = -number.Im;
      number.Int = -number.Int;
    }
    kind = kValueNumber;
    after = value_pos + 2;
  } else if (v.Kind == kTokenOperator) {
    Fail(ERR_LITERALEXPECTED, value_pos);
  } else if (v.Kind == kTokenLiteral) {
    number = v.Literal;
    kind = kValueNumber;
  } else if (v.Kind == kTokenKeyword && (v.Code == kKeywordTrue || v.Code == kKeywordFalse)) {
    number = TLiteral::MakeBool(v.Code == kKeywordTrue);
    kind = kValueNumber;
  } else if (v.Kind == kTokenString) {
    kind = kValueString;
  } else if (v.Kind == kTokenFunction) {
    if (!in_func_) Fail(ERR_INVALIDSETTING, value_pos);
    if (!IsOperator(tokens_[value_pos + 2], kOperatorClose))
      Fail(ERR_CLOSEPAREXPECTED, value_pos + 2);
    function = v.Code;
    kind = kValueFunction;
    after = value_pos + 3;
  } else {
    kind = kValueOther;
    // A user function written as a choice ("fn1()") is a name, not a function.
    if (v.Kind == kTokenUserFunction && IsOperator(tokens_[value_pos + 1], kOperatorOpen) &&
        IsOperator(tokens_[value_pos + 2], kOperatorClose))
      after = value_pos + 3;
  }
  ExpectEnd(after);

  if (in_func_) {
    if (kind == kValueNumber) Fail(ERR_INVALIDSETTING, 0);
    ApplyFuncSetting(name, 0, value_pos, function, kind == kValueOther,
                     kind == kValueString ? &v.Text : nullptr);
  } else if (in_param_) {
    ApplyParamSetting(name, 0, value_pos, kind == kValueNumber ? &number : nullptr,
                      kind == kValueString ? &v.Text : nullptr);
  } else if (kind == kValueNumber) {
    CheckHook(NumericSetting(section_, name, number), 0, value_pos);
  } else if (kind == kValueString) {
    CheckHook(StringSetting(section_, name, v.Text), 0, value_pos);
  } else {
    CheckHook(OtherSetting(section_, tokens_[0], v), 0, value_pos);
  }
}

void TParser::ApplyParamSetting(const std::string& name, int name_pos, int value_pos,
                                const TLiteral* value, const std::string* text) {
  TParam& param = Params().Items(param_index_);
  const bool is_default = name == "DEFAULT", is_min = name == "MIN", is_max = name == "MAX";
  if (!is_default && !is_min && !is_max && name != "CAPTION" && name != "HINT")
    Fail(ERR_INVALIDSETTING, name_pos);
  if (!value && !text) Fail(ERR_LITERALEXPECTED, value_pos);
  if (name == "CAPTION" || name == "HINT") {
    if (!text) Fail(ERR_INVALIDSETTING, name_pos);
    if (name == "CAPTION")
      param.SetCaption(*text);
    else
      param.AddHint(*text);
    return;
  }
  if (!value) Fail(ERR_INVALIDSETTING, name_pos);
  if (is_default) {
    if (param_is_new_)
      param.SetParamType(value->Type);
    else if (param.ParamType() != value->Type)
      Fail(ERR_TYPEERROR, value_pos);
    param.SetValue({value->Type, SlotFromLiteral(*value)});
    param.StoreAsDefault();
    return;
  }
  if (value->Type == kTypeBool) Fail(ERR_TYPEERROR, value_pos);
  TValueSlot limit = SlotFromLiteral(*value);
  if (is_min) {
    if (param.HasMax() && (limit.Re > param.MaxValue().Re || limit.Im > param.MaxValue().Im))
      Fail(ERR_MINEXCEEDSMAX, value_pos);
    param.SetMinValue(limit);
  } else {
    if (param.HasMin() && (param.MinValue().Re > limit.Re || param.MinValue().Im > limit.Im))
      Fail(ERR_MINEXCEEDSMAX, value_pos);
    param.SetMaxValue(limit);
  }
}

void TParser::ApplyFuncSetting(const std::string& name, int name_pos, int value_pos, int function,
                               bool other, const std::string* text) {
  TFunc& func = Funcs().Items(func_index_);
  if (name == "DEFAULT") {
    if (other) Fail(ERR_FUNCTIONEXPECTED, value_pos);
    if (function < 0) Fail(ERR_INVALIDSETTING, name_pos);
    // Only functions with a stored name can be a choice; the others would be lost.
    if (function >= kUserFunctionCount) Fail(ERR_INVALIDFUNCTION, value_pos);
    func.SetFuncCode(function);
    func.StoreAsDefault();
    return;
  }
  if (other) Fail(ERR_LITERALEXPECTED, value_pos);
  if ((name != "CAPTION" && name != "HINT") || !text) Fail(ERR_INVALIDSETTING, name_pos);
  if (name == "CAPTION")
    func.SetCaption(*text);
  else
    func.AddHint(*text);
}

}  // namespace zt
