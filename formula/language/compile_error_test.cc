// Tests of the compiler message texts, the compile error and the message formats.
#include "formula/language/compile_error.h"

#include <gtest/gtest.h>

#include <set>

namespace zt {
namespace {

TEST(CompileErrorTest, IdentifiersAndTexts) {
  struct TRow {
    int Code;
    const char* Identifier;
    const char* Text;
  };
  const TRow errors[] = {
      {ERR_TOOMANYTOKENS, "ERR_TOOMANYTOKENS", "Too many tokens in statement"},
      {ERR_UNTERMINATEDSTRING, "ERR_UNTERMINATEDSTRING", "Unterminated string (\" expected)"},
      {ERR_INVALIDLABEL, "ERR_INVALIDLABEL", "Invalid label encountered"},
      {ERR_INVALIDPARAMETER, "ERR_INVALIDPARAMETER", "Invalid parameter"},
      {ERR_INVALIDFUNCTION, "ERR_INVALIDFUNCTION", "Invalid function"},
      {ERR_WRITEPREDEFINED, "ERR_WRITEPREDEFINED", "Predefined symbol is not writeable"},
      {ERR_FUNCTIONEXPECTED, "ERR_FUNCTIONEXPECTED", "Function expected"},
      {0, "", ""},
      {53, "", ""},
  };
  for (const auto& row : errors) {
    EXPECT_STREQ(ErrorIdentifier(row.Code), row.Identifier) << row.Code;
    EXPECT_STREQ(ErrorText(row.Code), row.Text) << row.Code;
  }
  EXPECT_EQ(ERR_FUNCTIONEXPECTED, kErrorCount);
  const TRow warnings[] = {
      {WARN_RESULTIGNORED, "WARN_RESULTIGNORED", "Result of expression is ignored"},
      {WARN_UNINITIALIZEDVARIABLE, "WARN_UNINITIALIZEDVARIABLE",
       "Variable might not have been initialized"},
      {0, "", ""},
      {9, "", ""},
  };
  for (const auto& row : warnings) {
    EXPECT_STREQ(WarningIdentifier(row.Code), row.Identifier) << row.Code;
    EXPECT_STREQ(WarningText(row.Code), row.Text) << row.Code;
  }
  // Every code has its own help key and text.
  std::set<std::string> keys, texts;
  for (int code = 1; code <= kErrorCount; ++code) {
    keys.insert(ErrorIdentifier(code));
    texts.insert(ErrorText(code));
  }
  EXPECT_EQ(keys.size() + texts.size(), 2u * kErrorCount);
}

TEST(CompileErrorTest, ErrorAndMessageFormats) {
  EXPECT_STREQ(ECompileError(ERR_EXPOUTOFRANGE, 3, 4).what(),
               "Exponent in floating-point literal out of range");
  EXPECT_STREQ(ECompileError(ERR_INVALIDCHAR, 0, 0, "'$'").what(),
               "Invalid character encountered: '$'");

  EXPECT_EQ(FormatErrorMessage("a.zfm", 2, 7, "Literal expected."),
            "Error: a.zfm (2:7): Literal expected.");
  EXPECT_EQ(FormatWarningMessage("a.zfm", 10, 1, "Result of expression is ignored"),
            "Warning: a.zfm (10:1): Result of expression is ignored.");
  EXPECT_EQ(FormatCompileResult(false, "Mandel", "a.zfm"),
            "Unable to compile 'Mandel' in 'a.zfm'.");
  EXPECT_EQ(FormatCompileResult(true, "Mandel", "a.zfm"),
            "Successfully compiled 'Mandel' in 'a.zfm'.");
  EXPECT_EQ(MessageWindowCaption("Mandel"), "Messages - Mandel");
}

}  // namespace
}  // namespace zt
