// Value types of the formula language and the two records that hold values:
// the literal value record of tokens, expression nodes and constants, and the
// 32-byte value slot of parameters and compiled data areas.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zt {

// The type byte. Complex is wider than float, float than int, int than bool.
enum TValueType : std::uint8_t {
  kTypeComplex = 0,
  kTypeFloat = 1,
  kTypeInt = 2,
  kTypeBool = 3,
};

// The wider of two types (the lower type byte).
constexpr TValueType Wider(TValueType a, TValueType b) { return a < b ? a : b; }

// A literal value: an int keeps its 32-bit integer in `Int`, a bool in `Bool`,
// a float in `Re`, a complex in `Re` and `Im`. Unused parts are zero, so two
// records of equal value compare equal field by field.
struct TLiteral {
  TValueType Type = kTypeComplex;
  bool Bool = false;
  std::int32_t Int = 0;
  long double Re = 0;
  long double Im = 0;

  static TLiteral MakeComplex(long double re, long double im) {
    TLiteral v;
    v.Type = kTypeComplex;
    v.Re = re;
    v.Im = im;
    return v;
  }
  static TLiteral MakeFloat(long double x) {
    TLiteral v;
    v.Type = kTypeFloat;
    v.Re = x;
    return v;
  }
  static TLiteral MakeInt(std::int32_t i) {
    TLiteral v;
    v.Type = kTypeInt;
    v.Int = i;
    return v;
  }
  static TLiteral MakeBool(bool b) {
    TLiteral v;
    v.Type = kTypeBool;
    v.Bool = b;
    return v;
  }
};

// Equal value: same type and equal parts (bitwise for reals, so -0 and 0 differ,
// as do two NaNs with different payloads; constants are deduplicated by this).
inline bool SameValue(const TLiteral& a, const TLiteral& b) {
  if (a.Type != b.Type) return false;
  switch (a.Type) {
    case kTypeComplex:
      return std::memcmp(&a.Re, &b.Re, 10) == 0 && std::memcmp(&a.Im, &b.Im, 10) == 0;
    case kTypeFloat: return std::memcmp(&a.Re, &b.Re, 10) == 0;
    case kTypeInt: return a.Int == b.Int;
    case kTypeBool: return a.Bool == b.Bool;
  }
  return false;
}

// A 32-byte value slot: real part (80-bit extended) at offset 0, imaginary part at
// offset 16, the layout of a complex value in a compiled entry's data area.
struct alignas(16) TValueSlot {
  long double Re = 0;
  long double Im = 0;
};
static_assert(sizeof(TValueSlot) == 32);
static_assert(offsetof(TValueSlot, Im) == 16);

}  // namespace zt
