// Name tables of the tokenizer and the printable form of tokens.
#include "formula/language/token.h"

#include <array>
#include <cstdio>

namespace zt {
namespace {

constexpr std::array<const char*, 18> kKeywords = {
    "IF",    "ELSEIF", "ELSE",     "ENDIF",  "COMPLEX", "FLOAT", "INT",      "BOOL", "TRUE",
    "FALSE", "WHILE",  "ENDWHILE", "REPEAT", "UNTIL",   "PARAM", "ENDPARAM", "FUNC", "ENDFUNC"};

constexpr std::array<const char*, 41> kFunctions = {
    "SIN",    "SINH",   "ASIN",        "ASINH", "COS",    "COSH", "ACOS",  "ACOSH",   "TAN",
    "TANH",   "ATAN",   "ATANH",       "COTAN", "COTANH", "SQR",  "SQRT",  "LOG",     "EXP",
    "ABS",    "CABS",   "CONJ",        "FLIP",  "IDENT",  "ZERO", "RECIP", "CEIL",    "FLOOR",
    "TRUNC",  "ROUND",  "REAL",        "IMAG",  "ATAN2",  "OLDZ", "TOINT", "TOFLOAT", "TOCOMPLEX",
    "DOUBLE", "TIMESI", "TIMESMINUSI", "CUBE",  "FOURTH"};
constexpr int kUserFunctionCount = 33;  // the conversions and cheaper forms cannot be written

struct TSymbolName {
  const char* Name;
  TSymbolCode Code;
  bool Plain;  // also accepted without '#'
};

constexpr TSymbolName kSymbols[] = {
    {"PIXEL", kSymbolPixel, true},
    {"LASTSQR", kSymbolLastSqr, true},
    {"RAND", kSymbolRandom, true},
    {"RANDOM", kSymbolRandom, false},
    {"PI", kSymbolPi, true},
    {"E", kSymbolE, true},
    {"MAXIT", kSymbolMaxIter, true},
    {"MAXITER", kSymbolMaxIter, false},
    {"NUMITER", kSymbolNumIter, false},
    {"SCRNMAX", kSymbolScreenMax, true},
    {"SCREENMAX", kSymbolScreenMax, false},
    {"SCRNPIX", kSymbolScreenPixel, true},
    {"SCREENPIXEL", kSymbolScreenPixel, false},
    {"WHITESQ", kSymbolWhiteSq, true},
    {"WIDTH", kSymbolWidth, false},
    {"HEIGHT", kSymbolHeight, false},
    {"X", kSymbolX, false},
    {"Y", kSymbolY, false},
    {"CENTER", kSymbolCenter, false},
    {"MAGN", kSymbolMagn, false},
    {"ANGLE", kSymbolAngle, false},
    {"INDEX", kSymbolIndex, false},
    {"Z", kSymbolZ, false},
    {"SOLID", kSymbolSolid, false},
};

// Canonical names for printing, by code.
constexpr std::array<const char*, kSymbolCount> kSymbolNames = {
    "pixel",     "lastsqr",     "random",  "pi",    "e",      "maxiter", "numiter",
    "screenmax", "screenpixel", "whitesq", "width", "height", "x",       "y",
    "center",    "magn",        "angle",   "index", "z",      "solid"};

constexpr std::array<const char*, 21> kOperatorTexts = {"+",  "-",  "*",  "/",  "^", "=",  "==",
                                                        "<",  "<=", ">",  ">=", "!", "!=", "&",
                                                        "&&", "|",  "||", "(",  ")", "%",  "~"};

std::string Lower(const char* text) {
  std::string s = text;
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return s;
}

}  // namespace

std::optional<TKeyword> FindKeyword(std::string_view upper) {
  for (size_t i = 0; i < kKeywords.size(); ++i)
    if (upper == kKeywords[i]) return static_cast<TKeyword>(i);
  return std::nullopt;
}

std::optional<TFunctionCode> FindFunction(std::string_view upper) {
  if (upper == "SRAND") return kFunctionIdent;
  for (int i = 0; i < kUserFunctionCount; ++i)
    if (upper == kFunctions[i]) return static_cast<TFunctionCode>(i);
  return std::nullopt;
}

std::optional<TSymbolCode> FindHashSymbol(std::string_view upper) {
  for (const auto& s : kSymbols)
    if (upper == s.Name) return s.Code;
  return std::nullopt;
}

std::optional<TSymbolCode> FindPlainSymbol(std::string_view upper) {
  for (const auto& s : kSymbols)
    if (s.Plain && upper == s.Name) return s.Code;
  return std::nullopt;
}

const char* KeywordName(int code) {
  static const auto names = [] {
    std::array<std::string, kKeywords.size()> n;
    for (size_t i = 0; i < n.size(); ++i) n[i] = Lower(kKeywords[i]);
    return n;
  }();
  return code >= 0 && code < static_cast<int>(names.size()) ? names[code].c_str() : "?";
}

const char* FunctionName(int code) {
  static const auto names = [] {
    std::array<std::string, kFunctions.size()> n;
    for (size_t i = 0; i < n.size(); ++i) n[i] = Lower(kFunctions[i]);
    return n;
  }();
  return code >= 0 && code < static_cast<int>(names.size()) ? names[code].c_str() : "?";
}

const char* SymbolName(int code) {
  return code >= 0 && code < kSymbolCount ? kSymbolNames[code] : "?";
}

const char* TokenOperatorText(int code) {
  return code >= 0 && code < static_cast<int>(kOperatorTexts.size()) ? kOperatorTexts[code] : "?";
}

std::string LiteralToString(const TLiteral& value) {
  char buffer[96];
  switch (value.Type) {
    case kTypeComplex:
      std::snprintf(buffer, sizeof buffer, "(%.18Lg,%.18Lg)", value.Re, value.Im);
      return buffer;
    case kTypeFloat:
      std::snprintf(buffer, sizeof buffer, "%.18Lg", value.Re);
      // Keep floats apart from ints in dumps.
      if (std::string(buffer).find_first_of(".en") == std::string::npos)
        return std::string(buffer) + ".0";
      return buffer;
    case kTypeInt: return std::to_string(value.Int);
    case kTypeBool: return value.Bool ? "true" : "false";
  }
  return "?";
}

std::string TokenToString(const TToken& token) {
  switch (token.Kind) {
    case kTokenEnd: return "end";
    case kTokenLiteral: return "lit(" + LiteralToString(token.Literal) + ")";
    case kTokenOperator: return std::string("op(") + TokenOperatorText(token.Code) + ")";
    case kTokenKeyword: return std::string("kw(") + KeywordName(token.Code) + ")";
    case kTokenFunction: return std::string("fn(") + FunctionName(token.Code) + ")";
    case kTokenVariable: return "var(" + token.Text + ")";
    case kTokenSymbol: return std::string("sym(") + SymbolName(token.Code) + ")";
    case kTokenParameter: return "param(" + token.Text + ")";
    case kTokenUserFunction: return "ufn(" + token.Text + ")";
    case kTokenString: return "str(" + token.Text + ")";
  }
  return "?";
}

}  // namespace zt
