// Tests of the tokenizer's name tables and the printable form of tokens.
#include "formula/language/token.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(TokenTest, NameTables) {
  EXPECT_EQ(FindKeyword("IF"), kwIf);
  EXPECT_EQ(FindKeyword("ENDFUNC"), kwEndFunc);
  EXPECT_EQ(FindKeyword("if"), std::nullopt);  // callers pass upper case
  EXPECT_EQ(FindFunction("SIN"), fnSin);
  EXPECT_EQ(FindFunction("OLDZ"), fnOldZ);
  EXPECT_EQ(FindFunction("SRAND"), fnIdent);
  // The conversions are inserted by the checker and cannot be written.
  for (const char* name : {"TOINT", "TOFLOAT", "TOCOMPLEX", "FN1"})
    EXPECT_EQ(FindFunction(name), std::nullopt) << name;

  struct TSymbolRow {
    const char* Name;
    std::optional<TSymbolCode> WithHash, Plain;
  };
  const TSymbolRow rows[] = {
      {"PIXEL", syPixel, syPixel},          {"RAND", syRandom, syRandom},
      {"RANDOM", syRandom, std::nullopt},   {"E", syE, syE},
      {"MAXIT", syMaxIter, syMaxIter},      {"MAXITER", syMaxIter, std::nullopt},
      {"NUMITER", syNumIter, std::nullopt}, {"SCREENMAX", syScreenMax, std::nullopt},
      {"SCRNPIX", syScreenPixel, syScreenPixel}, {"WHITESQ", syWhiteSq, syWhiteSq},
      {"X", syX, std::nullopt},             {"Z", syZ, std::nullopt},
      {"SOLID", sySolid, std::nullopt},     {"ZZ", std::nullopt, std::nullopt},
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
  TToken literal = Make(tkLiteral, 0);
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
  EXPECT_EQ(TokenToString(Make(tkKeyword, kwEndParam)), "kw(endparam)");
  EXPECT_EQ(TokenToString(Make(tkFunction, fnToComplex)), "fn(tocomplex)");
}

}  // namespace
}  // namespace zt
