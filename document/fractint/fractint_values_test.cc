// Tests of Fractint's list items and of numbers read the way Fractint reads them.
#include "document/fractint/fractint_values.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zt {
namespace {

TEST(FractintValues, ListsSplitAtSlashesIntoAtMost32TrimmedItems) {
  EXPECT_EQ(FractintItems("1/ 2 /x"), (std::vector<std::string>{"1", "2", "x"}));
  EXPECT_EQ(FractintItems(""), std::vector<std::string>{""});
  EXPECT_EQ(FractintItems("a//"), (std::vector<std::string>{"a", "", ""}));
  std::string long_list = "0";
  for (int i = 1; i < 40; ++i) long_list += "/" + std::to_string(i);
  const std::vector<std::string> items = FractintItems(long_list);
  ASSERT_EQ(items.size(), 32u);
  EXPECT_EQ(items.back(), "31");
}

TEST(FractintValues, NumbersAreTheLeadingNumberOfAnItem) {
  const struct {
    const char* Item;
    std::optional<long double> Number;
  } cases[] = {
      {"0.5", 0.5L},
      {"+0.25", 0.25L},
      {"-1.5e2", -150.0L},
      {"1E-3", 0.001L},
      {".5", 0.5L},
      {"-1.#IND", -1.0L},
      {"-5.58086e+", -5.58086L},
      {"12abc", 12.0L},
      {"7.", 7.0L},
      {"1.681052e-4932", 1.681052e-4932L},
      {"", std::nullopt},
      {"abc", std::nullopt},
      {"-", std::nullopt},
      {"-.e5", std::nullopt},
      {"nan", std::nullopt},
      {"inf", std::nullopt},
      {"1e99999", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Item);
    const std::optional<long double> number = FractintNumber(c.Item);
    ASSERT_EQ(number.has_value(), c.Number.has_value());
    if (number) {
      EXPECT_EQ(*number, *c.Number);
    }
  }
  EXPECT_EQ(FractintInteger("2.5"), 3);
  EXPECT_EQ(FractintInteger("-1"), -1);
  EXPECT_EQ(FractintInteger("yes"), std::nullopt);
  EXPECT_EQ(FractintInteger("1e12"), std::nullopt);
}

}  // namespace
}  // namespace zt
