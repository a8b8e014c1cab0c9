// Tests of the UI text measure and of the case-folding name comparison.
#include "platform/text_width.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace zt {
namespace {

TEST(TextWidth, AddsAdvancesPerCodePoint) {
  EXPECT_EQ(UiTextWidth(""), 0);
  EXPECT_EQ(UiTextWidth("ab"), UiTextWidth("a") + UiTextWidth("b"));
  EXPECT_GT(UiTextWidth("W"), UiTextWidth("i"));
  EXPECT_EQ(UiTextWidth("\xC3\xA9"), UiTextWidth("\xE2\x82\xAC"));  // two- and three-byte
  EXPECT_EQ(UiTextWidth("a\tb\r"), UiTextWidth("ab"));
}

TEST(AsciiCase, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(SameText("Power_2", "pOWER_2"));
  EXPECT_FALSE(SameText("\xC3\xA9", "\xC3\x89"));  // é and É stay different
  EXPECT_LT(CompareText("alpha", "Beta"), 0);
  EXPECT_LT(CompareText("ab", "AB_"), 0);
  EXPECT_LT(CompareText("Z", "_"), 0);  // letters compare as upper case
}

}  // namespace
}  // namespace zt
