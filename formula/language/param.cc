// Parameter and function objects: typed value access, defaults, captions, hints
// and the storage names of function choices.
#include "formula/language/param.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/text.h"
#include "platform/text_width.h"

namespace zt {
namespace {

constexpr std::array<std::string_view, kUserFunctionCount> kFunctionNames = {
    "sin",  "sinh",  "asin",  "asinh",  "cos",   "cosh", "acos",  "acosh", "tan",  "tanh",
    "atan", "atanh", "cotan", "cotanh", "sqr",   "sqrt", "log",   "exp",   "abs",  "cabs",
    "conj", "flip",  "ident", "zero",   "recip", "ceil", "floor", "trunc", "round"};

// "Parameter 1" for P1, "Function 2" for FN2 and so on; the name otherwise.
std::string DefaultCaption(const std::string& name, std::string_view prefix, int last,
                           std::string_view word) {
  for (int i = 1; i <= last; ++i) {
    if (SameText(name, std::string(prefix) + std::to_string(i))) {
      return std::string(word) + " " + std::to_string(i);
    }
  }
  return name;
}

// Bitwise comparison of the 80 bits of an extended real, so that a change of sign
// of zero counts as a change and a NaN does not differ from itself.
bool SameExtended(long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; }

bool SameSlot(const TValueSlot& a, const TValueSlot& b) {
  return SameExtended(a.Re, b.Re) && SameExtended(a.Im, b.Im);
}

TValueSlot MakeSlot(long double re, long double im = 0) {
  TValueSlot s;
  s.Re = re;
  s.Im = im;
  return s;
}

// Rounds to the nearest integer (ties to even, as the FPU does), saturating at
// the limits of a 32-bit integer.
std::int32_t RoundToInt(long double x) {
  if (std::isnan(x)) return 0;
  constexpr long double kLow = std::numeric_limits<std::int32_t>::min();
  constexpr long double kHigh = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(std::nearbyint(x), kLow, kHigh));
}

// Greedy word wrap of `text` at `width` pixels: the blank before a word that does
// not fit becomes "\r". A word wider than the line stands on a line of its own.
std::string WrapText(std::string_view text, int width) {
  std::string out;
  std::size_t line_start = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find(' ', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(pos, end - pos);
    if (pos > 0) {
      const std::string_view candidate(out.data() + line_start, out.size() - line_start);
      if (out.size() > line_start &&
          UiTextWidth(candidate) + UiTextWidth(" ") + UiTextWidth(word) > width) {
        out += '\r';
        line_start = out.size();
      } else {
        out += ' ';
      }
    }
    out += word;
    pos = end + 1;
  }
  return out;
}

}  // namespace

std::string_view FunctionStorageName(int code) {
  if (code < 0 || code >= kUserFunctionCount) return {};
  return kFunctionNames[static_cast<std::size_t>(code)];
}

std::optional<int> FunctionCodeFromStorageName(std::string_view name) {
  const auto it = std::find(kFunctionNames.begin(), kFunctionNames.end(), name);
  if (it == kFunctionNames.end()) return std::nullopt;
  return static_cast<int>(it - kFunctionNames.begin());
}

TValueSlot SlotFromLiteral(const TLiteral& value) {
  switch (value.Type) {
    case kTypeComplex: return MakeSlot(value.Re, value.Im);
    case kTypeFloat: return MakeSlot(value.Re);
    case kTypeInt: return MakeSlot(value.Int);
    case kTypeBool: return MakeSlot(value.Bool ? 1 : 0);
  }
  return {};
}

// --- TParamBase ---

TParamBase::TParamBase(std::string name) : name_(std::move(name)), caption_(name_) {}

void TParamBase::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed();
}

void TParamBase::AddHint(std::string_view text) {
  hint_ += WrapText(text, kHintWidth);
  hint_ += '|';
}

void TParamBase::Changed() {
  if (OnChange) OnChange(*this);
}

// --- TParam ---

TParam::TParam(std::string name) : TParamBase(std::move(name)) {
  SetCaption(DefaultCaption(Name(), "P", 3, "Parameter"));
}

void TParam::SetParamType(TValueType type) {
  if (type > kTypeBool) return;
  if (type == kTypeInt && !enum_items_) enum_items_ = std::make_unique<std::vector<std::string>>();
  if (type != kTypeInt) enum_items_.reset();
  param_type_ = type;
}

void TParam::SetMinValue(const TValueSlot& value) {
  min_value_ = value;
  has_min_ = true;
}

void TParam::SetMaxValue(const TValueSlot& value) {
  max_value_ = value;
  has_max_ = true;
}

void TParam::CheckType(TValueType type) const {
  if (param_type_ != type) throw EParamError("Invalid parameter type");
}

void TParam::Store(const TValueSlot& value) {
  if (SameSlot(value, value_)) return;
  value_ = value;
  Changed();
}

std::complex<long double> TParam::AsComplex() const {
  CheckType(kTypeComplex);
  return {value_.Re, value_.Im};
}

void TParam::SetAsComplex(std::complex<long double> value) {
  CheckType(kTypeComplex);
  Store(MakeSlot(value.real(), value.imag()));
}

long double TParam::AsFloat() const {
  CheckType(kTypeFloat);
  return value_.Re;
}

void TParam::SetAsFloat(long double value) {
  CheckType(kTypeFloat);
  Store(MakeSlot(value));
}

std::int32_t TParam::AsInteger() const {
  CheckType(kTypeInt);
  const std::int32_t i = RoundToInt(value_.Re);
  if (enum_items_ && !enum_items_->empty()) {
    return std::clamp(i, 0, static_cast<std::int32_t>(enum_items_->size()) - 1);
  }
  return i;
}

void TParam::SetAsInteger(std::int32_t value) {
  CheckType(kTypeInt);
  Store(MakeSlot(value));
}

bool TParam::AsBoolean() const {
  CheckType(kTypeBool);
  return value_.Re != 0;
}

void TParam::SetAsBoolean(bool value) {
  CheckType(kTypeBool);
  Store(MakeSlot(value ? 1 : 0));
}

TLiteral TParam::AsLiteral() const {
  switch (param_type_) {
    case kTypeComplex: return TLiteral::MakeComplex(value_.Re, value_.Im);
    case kTypeFloat: return TLiteral::MakeFloat(value_.Re);
    case kTypeInt: return TLiteral::MakeInt(AsInteger());
    case kTypeBool: return TLiteral::MakeBool(AsBoolean());
  }
  return {};
}

TParamValue TParam::GetValue() const { return TParamValue{param_type_, value_}; }

void TParam::SetValue(const TParamValue& value) {
  if (value.Type != param_type_) return;
  Store(value.Value);
}

void TParam::StoreAsDefault() { default_value_ = value_; }

void TParam::ResetToDefault() { Store(default_value_); }

// --- TFunc ---

TFunc::TFunc(std::string name) : TParamBase(std::move(name)) {
  SetCaption(DefaultCaption(Name(), "FN", 4, "Function"));
}

void TFunc::SetFuncCode(int code) {
  if (code < 0 || code >= kUserFunctionCount || code == func_code_) return;
  func_code_ = static_cast<std::uint8_t>(code);
  Changed();
}

void TFunc::StoreAsDefault() { default_func_code_ = func_code_; }

void TFunc::ResetToDefault() { SetFuncCode(default_func_code_); }

}  // namespace zt
