// Tokens of the formula language and the name tables the tokenizer classifies
// names with: keywords, built-in functions and predefined symbols.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "formula/language/value.h"

namespace zt {

// A statement holds at most this many tokens, its end marker included.
constexpr int kMaxTokens = 256;
// Names are cut to this length; strings to kMaxStringLength.
constexpr int kMaxNameLength = 63;
constexpr int kMaxStringLength = 255;

enum TTokenKind : std::uint8_t {
  kTokenEnd = 0,           // end of statement
  kTokenLiteral = 1,       // Literal holds the value
  kTokenOperator = 2,      // Code is a TTokenOperator
  kTokenKeyword = 3,       // Code is a TKeyword
  kTokenFunction = 4,      // Code is a TFunctionCode
  kTokenVariable = 5,      // Text is the name
  kTokenSymbol = 6,        // Code is a TSymbolCode
  kTokenParameter = 7,     // Text is the name (without '@')
  kTokenUserFunction = 8,  // Text is the name (without '@')
  kTokenString = 9,        // Text is the string
};

enum TTokenOperator : std::uint8_t {
  kOperatorPlus = 0,
  kOperatorMinus,
  kOperatorTimes,
  kOperatorDivide,
  kOperatorPower,
  kOperatorAssign,
  kOperatorEqual,
  kOperatorLess,
  kOperatorLessEqual,
  kOperatorGreater,
  kOperatorGreaterEqual,
  kOperatorNot,
  kOperatorNotEqual,
  kOperatorAmpersand,
  kOperatorAnd,
  kOperatorBar,
  kOperatorOr,
  kOperatorOpen,
  kOperatorClose,
  kOperatorPercent,
  kOperatorTilde,
};

enum TKeyword : std::uint8_t {
  kKeywordIf = 0,
  kKeywordElseIf,
  kKeywordElse,
  kKeywordEndIf,
  kKeywordComplex,
  kKeywordFloat,
  kKeywordInt,
  kKeywordBool,
  kKeywordTrue,
  kKeywordFalse,
  kKeywordWhile,
  kKeywordEndWhile,
  kKeywordRepeat,
  kKeywordUntil,
  kKeywordParam,
  kKeywordEndParam,
  kKeywordFunc,
  kKeywordEndFunc,
};

// Built-in functions; the conversions 33 to 35 are made by the checker only, the
// cheaper forms 36 to 40 by the optimizer only.
enum TFunctionCode : std::uint8_t {
  kFunctionSin = 0,
  kFunctionSinh,
  kFunctionAsin,
  kFunctionAsinh,
  kFunctionCos,
  kFunctionCosh,
  kFunctionAcos,
  kFunctionAcosh,
  kFunctionTan,
  kFunctionTanh,
  kFunctionAtan,
  kFunctionAtanh,
  kFunctionCotan,
  kFunctionCotanh,
  kFunctionSqr,
  kFunctionSqrt,
  kFunctionLog,
  kFunctionExp,
  kFunctionAbs,
  kFunctionCabs,
  kFunctionConj,
  kFunctionFlip,
  kFunctionIdent,
  kFunctionZero,
  kFunctionRecip,
  kFunctionCeil,
  kFunctionFloor,
  kFunctionTrunc,
  kFunctionRound,
  kFunctionReal,
  kFunctionImag,
  kFunctionAtan2,
  kFunctionOldZ,
  kFunctionToInt = 33,
  kFunctionToFloat = 34,
  kFunctionToComplex = 35,
  kFunctionDouble = 36,
  kFunctionTimesI = 37,
  kFunctionTimesMinusI = 38,
  kFunctionCube = 39,
  kFunctionFourth = 40,
};

enum TSymbolCode : std::uint8_t {
  kSymbolPixel = 0,
  kSymbolLastSqr,
  kSymbolRandom,
  kSymbolPi,
  kSymbolE,
  kSymbolMaxIter,
  kSymbolNumIter,
  kSymbolScreenMax,
  kSymbolScreenPixel,
  kSymbolWhiteSq,
  kSymbolWidth,
  kSymbolHeight,
  kSymbolX,
  kSymbolY,
  kSymbolCenter,
  kSymbolMagn,
  kSymbolAngle,
  kSymbolIndex,
  kSymbolZ,
  kSymbolSolid,
};
constexpr int kSymbolCount = 20;

struct TToken {
  std::int32_t Line = 0;
  std::int32_t Column = 0;
  TTokenKind Kind = kTokenEnd;
  std::uint8_t Code = 0;
  TLiteral Literal;
  std::string Text;
};

// Character classes of the language: letters include '_'.
inline bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsNameChar(char c) { return IsLetter(c) || IsDigit(c); }
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Name lookups; `upper` is the upper-cased name.
std::optional<TKeyword> FindKeyword(std::string_view upper);
std::optional<TFunctionCode> FindFunction(std::string_view upper);
// The symbol written with '#' (both columns) or as a plain name (plain column only).
std::optional<TSymbolCode> FindHashSymbol(std::string_view upper);
std::optional<TSymbolCode> FindPlainSymbol(std::string_view upper);

// Lower-case names for printing: keywords, functions (conversions included), symbols.
const char* KeywordName(int code);
const char* FunctionName(int code);
const char* SymbolName(int code);
// The operator as written ("+", "<=", "(", ...).
const char* TokenOperatorText(int code);

// A compact printable form of a token, e.g. `op(+)`, `var(z)`, `lit(1.5)`.
std::string TokenToString(const TToken& token);
// A literal as text: 3, 1.5, (1,-2), true.
std::string LiteralToString(const TLiteral& value);

}  // namespace zt
