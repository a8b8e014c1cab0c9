// The user parameters and user functions that an entry declares: their values,
// defaults, limits, captions and hints, and the names under which function
// choices and values are stored.
#pragma once

#include <complex>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/language/value.h"
#include "platform/error.h"

namespace zt {

// Misuse of a parameter or function object or list.
class EParamError : public EZentrope {
 public:
  using EZentrope::EZentrope;
};

// Storage key prefixes: "p_" + Name for a parameter, "f_" + Name for a function.
inline constexpr std::string_view kParamKeyPrefix = "p_";
inline constexpr std::string_view kFuncKeyPrefix = "f_";

// Built-in functions a user function may stand for: codes 0 to 28.
inline constexpr int kUserFunctionCount = 29;

// The lower-case name of function `code` ("sin" for 0, ..., "round" for 28), or
// an empty view when the code has no name.
std::string_view FunctionStorageName(int code);
// The code whose name is exactly `name` (lower case), or nullopt.
std::optional<int> FunctionCodeFromStorageName(std::string_view name);

// What parameters and functions have in common. Objects of this family are used
// by one compiler object on its own thread only.
class TParamBase {
 public:
  explicit TParamBase(std::string name);
  virtual ~TParamBase() = default;
  TParamBase(const TParamBase&) = delete;
  TParamBase& operator=(const TParamBase&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  // Lines each ended by "|"; a long line holds "\r" where it wraps.
  const std::string& Hint() const { return hint_; }

  void SetCaption(const std::string& caption);
  // Appends `text` as one hint line, wrapped at kHintWidth pixels of the UI font.
  void AddHint(std::string_view text);
  static constexpr int kHintWidth = 300;

  // Fired after every change of the value or caption; set by the owning list.
  std::function<void(TParamBase&)> OnChange;

 protected:
  void Changed();

 private:
  std::string name_;
  std::string caption_;
  std::string hint_;
};

// A parameter value with its type, as saved and restored in snapshots.
struct TParamValue {
  TValueType Type = kTypeComplex;
  TValueSlot Value;
};

// Conversions between literal records and value slots: an int is kept as an
// extended real, a bool as 0.0 or 1.0.
TValueSlot SlotFromLiteral(const TLiteral& value);

class TParam : public TParamBase {
 public:
  using TSnapshotValue = TParamValue;

  // A complex parameter of value 0 without limits; P1 to P3 get the captions
  // "Parameter 1" to "Parameter 3".
  explicit TParam(std::string name);

  TValueType ParamType() const { return param_type_; }
  // Leaving int frees the choice list; entering int creates an empty one. The
  // value is kept as it is. Codes beyond bool are ignored.
  void SetParamType(TValueType type);

  const TValueSlot& Value() const { return value_; }
  const TValueSlot& DefaultValue() const { return default_value_; }
  const TValueSlot& MinValue() const { return min_value_; }
  const TValueSlot& MaxValue() const { return max_value_; }
  bool HasMin() const { return has_min_; }
  bool HasMax() const { return has_max_; }
  void SetMinValue(const TValueSlot& value);
  void SetMaxValue(const TValueSlot& value);

  // Names of the choices of an int parameter; null unless the type is int.
  std::vector<std::string>* EnumItems() { return enum_items_.get(); }
  const std::vector<std::string>* EnumItems() const { return enum_items_.get(); }

  // Typed access; each raises EParamError "Invalid parameter type" when the
  // parameter has another type, and each setter fires OnChange only when the
  // stored value really changes.
  std::complex<long double> AsComplex() const;
  void SetAsComplex(std::complex<long double> value);
  long double AsFloat() const;
  void SetAsFloat(long double value);
  // The stored value rounded to the nearest integer; with n > 0 choices it is
  // clamped to 0..n-1.
  std::int32_t AsInteger() const;
  void SetAsInteger(std::int32_t value);
  bool AsBoolean() const;
  void SetAsBoolean(bool value);

  // The current value as a literal record of the parameter's type (an int as
  // AsInteger reads it), for compiling it in as a constant.
  TLiteral AsLiteral() const;

  TParamValue GetValue() const;
  // Ignored when the types differ; fires OnChange when the value changed.
  void SetValue(const TParamValue& value);

  void StoreAsDefault();
  void ResetToDefault();

 private:
  void CheckType(TValueType type) const;
  void Store(const TValueSlot& value);

  TValueSlot value_;
  TValueSlot default_value_;
  TValueSlot min_value_;
  TValueSlot max_value_;
  bool has_min_ = false;
  bool has_max_ = false;
  TValueType param_type_ = kTypeComplex;
  std::unique_ptr<std::vector<std::string>> enum_items_;
};

class TFunc : public TParamBase {
 public:
  using TSnapshotValue = std::uint8_t;

  // Function code 0; FN1 to FN4 get the captions "Function 1" to "Function 4".
  explicit TFunc(std::string name);

  std::uint8_t FuncCode() const { return func_code_; }
  std::uint8_t DefaultFuncCode() const { return default_func_code_; }
  // Codes without a storage name are ignored; fires OnChange on a change.
  void SetFuncCode(int code);

  std::uint8_t GetValue() const { return func_code_; }
  void SetValue(std::uint8_t code) { SetFuncCode(code); }

  void StoreAsDefault();
  void ResetToDefault();

 private:
  std::uint8_t func_code_ = 0;
  std::uint8_t default_func_code_ = 0;
};

}  // namespace zt
