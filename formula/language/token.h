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
  tkEnd = 0,           // end of statement
  tkLiteral = 1,       // Literal holds the value
  tkOperator = 2,      // Code is a TTokenOperator
  tkKeyword = 3,       // Code is a TKeyword
  tkFunction = 4,      // Code is a TFunctionCode
  tkVariable = 5,      // Text is the name
  tkSymbol = 6,        // Code is a TSymbolCode
  tkParameter = 7,     // Text is the name (without '@')
  tkUserFunction = 8,  // Text is the name (without '@')
  tkString = 9,        // Text is the string
};

enum TTokenOperator : std::uint8_t {
  toPlus = 0, toMinus, toTimes, toDivide, toPower, toAssign, toEqual, toLess, toLessEqual,
  toGreater, toGreaterEqual, toNot, toNotEqual, toAmpersand, toAnd, toBar, toOr, toOpen, toClose,
  toPercent, toTilde,
};

enum TKeyword : std::uint8_t {
  kwIf = 0, kwElseIf, kwElse, kwEndIf, kwComplex, kwFloat, kwInt, kwBool, kwTrue, kwFalse,
  kwWhile, kwEndWhile, kwRepeat, kwUntil, kwParam, kwEndParam, kwFunc, kwEndFunc,
};

// Built-in functions; the conversions 33 to 35 are made by the checker only, the
// cheaper forms 36 to 40 by the optimizer only.
enum TFunctionCode : std::uint8_t {
  fnSin = 0, fnSinh, fnAsin, fnAsinh, fnCos, fnCosh, fnAcos, fnAcosh, fnTan, fnTanh, fnAtan,
  fnAtanh, fnCotan, fnCotanh, fnSqr, fnSqrt, fnLog, fnExp, fnAbs, fnCabs, fnConj, fnFlip, fnIdent,
  fnZero, fnRecip, fnCeil, fnFloor, fnTrunc, fnRound, fnReal, fnImag, fnAtan2, fnOldZ,
  fnToInt = 33, fnToFloat = 34, fnToComplex = 35,
  fnDouble = 36, fnTimesI = 37, fnTimesMinusI = 38, fnCube = 39, fnFourth = 40,
};

enum TSymbolCode : std::uint8_t {
  syPixel = 0, syLastSqr, syRandom, syPi, syE, syMaxIter, syNumIter, syScreenMax, syScreenPixel,
  syWhiteSq, syWidth, syHeight, syX, syY, syCenter, syMagn, syAngle, syIndex, syZ, sySolid,
};
constexpr int kSymbolCount = 20;

struct TToken {
  std::int32_t Line = 0;
  std::int32_t Column = 0;
  TTokenKind Kind = tkEnd;
  std::uint8_t Code = 0;
  TLiteral Literal;
  std::string Text;
};

// Character classes of the language: letters include '_'.
inline bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
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
