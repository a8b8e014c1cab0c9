// Tests of the case-insensitive text helpers.
#include "platform/text.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(Text, ComparesIgnoringAsciiCaseOnly) {
  EXPECT_TRUE(SameText("Zentrope", "zENTROPE"));
  EXPECT_TRUE(SameText("", ""));
  EXPECT_FALSE(SameText("abc", "abcd"));
  EXPECT_FALSE(SameText("\xC3\xA9", "\xC3\x89"));  // é and É are different bytes
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("b", "A"), 0);
  EXPECT_LT(CompareText("ab", "AbC"), 0);
  EXPECT_GT(CompareText("_", "z"), 0);  // '_' sorts after the letters, as upper case does
  EXPECT_GT(CompareText("\xC3\xA9", "z"), 0);
}

TEST(Text, ChangesCaseOfAsciiLettersOnly) {
  EXPECT_EQ(UpperCase("aBz09_\xC3\xA9"), "ABZ09_\xC3\xA9");
  EXPECT_EQ(LowerCase("AbZ09_\xC3\x89"), "abz09_\xC3\x89");
}

TEST(Text, TrimsBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim(" \t "), "");
}

TEST(Text, FindsPartsIgnoringCase) {
  EXPECT_TRUE(StartsWithText("Forms\\Main", "forms\\"));
  EXPECT_FALSE(StartsWithText("For", "Forms"));
  EXPECT_TRUE(EndsWithText("image.ZFR", ".zfr"));
  EXPECT_FALSE(EndsWithText("zfr", ".zfr"));
  EXPECT_EQ(PosText("LOOP", "init: loop: bailout:"), 6u);
  EXPECT_EQ(PosText("", "abc"), 0u);
  EXPECT_EQ(PosText("x", "abc"), std::string_view::npos);
  EXPECT_EQ(PosText("abcd", "abc"), std::string_view::npos);
}

TEST(Text, TurnsCarriageReturnsIntoLineFeeds) {
  EXPECT_EQ(WithLineFeeds("a\rb\r\nc\nd\r\r"), "a\nb\nc\nd\n\n");
}

}  // namespace
}  // namespace zt
