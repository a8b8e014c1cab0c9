// Tests of the general number format: exact texts, parsing, and round trips.
#include "platform/number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <string>

#include "platform/random.h"

namespace zt {
namespace {

TEST(FormatNumber, ExactTexts) {
  struct Case {
    long double Value;
    const char* Text;
  };
  const Case cases[] = {
      {0.0L, "0"},
      {-0.0L, "0"},
      {1.0L, "1"},
      {-1.0L, "-1"},
      {100.0L, "100"},
      {0.1L, "0.1"},
      {2.5L, "2.5"},
      {-123.456L, "-123.456"},
      {1.0L / 3, "0.333333333333333333"},
      {2.0L / 3, "0.666666666666666667"},
      {3.14159265358979323846L, "3.14159265358979324"},
      {0.0001L, "0.0001"},
      {0.00012345L, "0.00012345"},
      {0.00001L, "1E-5"},
      {1.5e-7L, "1.5E-7"},
      {2e20L, "2E20"},
      {1e17L, "100000000000000000"},
      {123456789012345678.0L, "123456789012345678"},
      {1e18L, "1E18"},
      {1e19L, "1E19"},
      {1234567890123456789.0L, "1.23456789012345679E18"},
      // Rounding to 18 digits moves these across the notation limits.
      {999999999999999999.75L, "1E18"},
      {0.0000999999999999999999999L, "0.0001"},
      {12345.678901234567890123L, "12345.6789012345679"},
      {LDBL_TRUE_MIN, "3.6451995318824746E-4951"},
      {LDBL_MIN, "3.36210314311209351E-4932"},
      // The nearest 18-digit value lies beyond the range, so this one rounds down.
      {LDBL_MAX, "1.18973149535723176E4932"},
      {-LDBL_MAX, "-1.18973149535723176E4932"},
      {INFINITY, "INF"},
      {-INFINITY, "-INF"},
      {NAN, "NAN"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatNumber(c.Value), c.Text) << static_cast<double>(c.Value);
  }
}

TEST(ParseNumber, AcceptsBothNotationsSignsAndBlanks) {
  struct Case {
    const char* Text;
    long double Value;
  };
  const Case cases[] = {
      {"0", 0.0L},       {"1.5", 1.5L},
      {" 1.5 ", 1.5L},   {"\t7\t", 7.0L},
      {"+2", 2.0L},      {"-3.25E2", -325.0L},
      {"1e-3", 0.001L},  {"1E+3", 1000.0L},
      {".5", 0.5L},      {"5.", 5.0L},
      {"0.1", 0.1L},     {"2E20", 2e20L},
      {"0e99999", 0.0L}, {"3.6451995318824746E-4951", LDBL_TRUE_MIN},
  };
  for (const Case& c : cases) {
    long double value = -42;
    EXPECT_TRUE(ParseNumber(c.Text, value)) << c.Text;
    EXPECT_EQ(value, c.Value) << c.Text;
  }
}

TEST(ParseNumber, RejectsOtherTextAndOutOfRangeValues) {
  const char* rejected[] = {"",        " ",        "1,5", "abc",  "1.5x",   "1e",
                            "1e+",     "--1",      "+",   ".",    "1.2.3",  "1 2",
                            "inf",     "-INF",     "nan", "0x10", "1e5000", "-1e5000",
                            "1e-5000", "1.2E4932", "E5",  "1e5.0"};
  for (const char* text : rejected) {
    long double value = -42;
    EXPECT_FALSE(ParseNumber(text, value)) << text;
    EXPECT_EQ(value, -42) << text;
  }
}

TEST(NumberFormat, RoundTripsValuesThatHaveAnEighteenDigitForm) {
  const long double fixed[] = {0.1L,     1e-5L,         123456789012345678.0L, 1e18L, 1e19L, -0.3L,
                               -1e-300L, LDBL_TRUE_MIN, 5 * LDBL_TRUE_MIN};
  for (long double x : fixed) {
    long double back = 0;
    ASSERT_TRUE(ParseNumber(FormatNumber(x), back)) << FormatNumber(x);
    EXPECT_EQ(back, x) << FormatNumber(x);
  }
  // The ends of the normal range need more than 18 digits; they come back within
  // the rounding of the last digit, and the largest value does not overflow.
  for (long double x : {LDBL_MIN, LDBL_MAX, -LDBL_MAX}) {
    long double back = 0;
    ASSERT_TRUE(ParseNumber(FormatNumber(x), back)) << FormatNumber(x);
    EXPECT_LE(std::fabs((back - x) / x), 5e-18L) << FormatNumber(x);
  }
  // Random 18-digit mantissas over the whole exponent range: the text read back
  // and written again must give the same value.
  TRandom random(20240611);
  for (int i = 0; i < 20000; ++i) {
    std::string mantissa = std::to_string(1 + random.Random(9));
    for (int d = 0; d < 17; ++d) mantissa += std::to_string(random.Random(10));
    int exponent = static_cast<int>(random.Random(9860)) - 4930;
    std::string text = (random.Random(2) ? "-" : "") + mantissa.substr(0, 1) + "." +
                       mantissa.substr(1) + "E" + std::to_string(exponent);
    long double x = 0;
    ASSERT_TRUE(ParseNumber(text, x)) << text;
    long double back = 0;
    ASSERT_TRUE(ParseNumber(FormatNumber(x), back)) << text;
    EXPECT_EQ(back, x) << text << " -> " << FormatNumber(x);
  }
}

TEST(NumberFormat, IgnoresTheNumericLocale) {
  const char* comma_locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
  std::string old = std::setlocale(LC_NUMERIC, nullptr);
  const char* found = nullptr;
  for (const char* name : comma_locales) {
    if (std::setlocale(LC_NUMERIC, name)) {
      found = name;
      break;
    }
  }
  if (!found) GTEST_SKIP() << "no locale with a decimal comma is installed";
  long double value = 0;
  bool parsed = ParseNumber("2.5", value);
  std::string text = FormatNumber(0.25L);
  bool comma_parsed = ParseNumber("2,5", value);
  std::setlocale(LC_NUMERIC, old.c_str());
  EXPECT_TRUE(parsed);
  EXPECT_EQ(text, "0.25");
  EXPECT_FALSE(comma_parsed);
}

}  // namespace
}  // namespace zt
