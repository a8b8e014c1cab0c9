// Tests of the tokenizer's name tables and the printable form of tokens.
#include "formula/language/token.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

// The names the tokenizer tests do not reach through source text.
TEST(TokenTest, NameTables) {
  EXPECT_EQ(FindKeyword("ENDFUNC"), kKeywordEndFunc);
  EXPECT_EQ(FindKeyword("if"), std::nullopt);  // callers pass upper case
  EXPECT_EQ(FindFunction("OLDZ"), kFunctionOldZ);
  // The conversions are inserted by the checker and cannot be written.
  for (const char* name : {"TOINT", "TOFLOAT", "TOCOMPLEX", "FN1"})
    EXPECT_EQ(FindFunction(name), std::nullopt) << name;

  struct TSymbolRow {
    const char* Name;
    std::optional<TSymbolCode> WithHash, Plain;
  };
  const TSymbolRow rows[] = {
      {"E", kSymbolE, kSymbolE},
      {"MAXIT", kSymbolMaxIter, kSymbolMaxIter},
      {"MAXITER", kSymbolMaxIter, std::nullopt},
      {"SCREENMAX", kSymbolScreenMax, std::nullopt},
      {"SCRNPIX", kSymbolScreenPixel, kSymbolScreenPixel},
      {"WHITESQ", kSymbolWhiteSq, kSymbolWhiteSq},
      {"X", kSymbolX, std::nullopt},
      {"SOLID", kSymbolSolid, std::nullopt},
      {"ZZ", std::nullopt, std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FindHashSymbol(row.Name), row.WithHash) << row.Name;
    EXPECT_EQ(FindPlainSymbol(row.Name), row.Plain) << row.Name;
  }
}

TToken Make(TTokenKind kind, int code, const std::string& text = "") {
  TToken token;
  token.Kind = kind;
  token.Code = static_cast<std::uint8_t>(code);
  token.Text = text;
  return token;
}

// The tokenizer tests print every token kind; these are the forms no source
// text can produce there.
TEST(TokenTest, PrintableForms) {
  TToken literal = Make(kTokenLiteral, 0);
  struct TRow {
    TLiteral Value;
    const char* Expected;
  };
  const TRow literals[] = {
      {TLiteral::MakeFloat(0.1L), "lit(0.1)"},
      {TLiteral::MakeFloat(1e300L), "lit(1e+300)"},
      {TLiteral::MakeBool(true), "lit(true)"},
  };
  for (const auto& row : literals) {
    literal.Literal = row.Value;
    EXPECT_EQ(TokenToString(literal), row.Expected);
  }
  EXPECT_EQ(TokenToString(Make(kTokenKeyword, kKeywordEndParam)), "kw(endparam)");
  EXPECT_EQ(TokenToString(Make(kTokenFunction, kFunctionToComplex)), "fn(tocomplex)");
}

}  // namespace
}  // namespace zt
