// Tests of the UI text measure.
#include "platform/text_width.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(TextWidth, AddsAdvancesPerCodePoint) {
  EXPECT_EQ(UiTextWidth(""), 0);
  EXPECT_EQ(UiTextWidth("ab"), UiTextWidth("a") + UiTextWidth("b"));
  EXPECT_GT(UiTextWidth("W"), UiTextWidth("i"));
  EXPECT_EQ(UiTextWidth("\xC3\xA9"), UiTextWidth("\xE2\x82\xAC"));  // two- and three-byte
  EXPECT_EQ(UiTextWidth("a\tb\r"), UiTextWidth("ab"));
}

}  // namespace
}  // namespace zt
