// Numbers in the tool windows: the program's format whatever the locale, the
// rounding that hides conversion noise, and refused input.
#include "ui/number_field.h"

#include <QLocale>

#include "ui/integer_box.h"
#include "ui/testing/tool_test_util.h"

namespace zt::testing {
namespace {

TEST(FormatValueTest, RoundsToTheDigitsAsked) {
  struct TCase {
    long double Value;
    int Digits;
    const char* Text;
  };
  const TCase cases[] = {
      {-0.743643887037158704752191506114774L, 18, "-0.743643887037158705"},
      {29.99999999999999999L, 14, "30"},       // degrees converted from radians
      {static_cast<double>(0.1L), 15, "0.1"},  // a double shown as a long double
      {static_cast<double>(0.1L), 18, "0.100000000000000006"},
      {1.5e-7L, 14, "1.5E-7"},
      {0, 14, "0"},
  };
  for (const TCase& c : cases) EXPECT_EQ(FormatValue(c.Value, c.Digits), c.Text) << c.Text;
}

class NumberFieldTest : public ToolTest {};

TEST_F(NumberFieldTest, PointAndPlainDigitsWhateverTheLocale) {
  const QLocale saved;
  // Its own digits, its own decimal separator.
  QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
  TNumberField field;
  field.ShowValue(1234.5L);
  EXPECT_EQ(field.text(), "1234.5");
  TIntegerBox box;
  box.setRange(0, 100000);
  box.ShowValue(12345);
  EXPECT_EQ(box.text(), "12345");

  std::vector<long double> entered;
  QObject::connect(&field, &TNumberField::ValueEntered,
                   [&entered](long double value) { entered.push_back(value); });
  field.SetAccept([](long double value) { return value < 2000; });
  for (const char* text : {"2.5", "2,5", "3000", "1E3"}) TypeAndEnter(&field, text);
  EXPECT_EQ(entered, (std::vector<long double>{2.5L, 1000}));
  EXPECT_EQ(field.text(), "1E3");  // shown as typed until the owner shows its value
  QLocale::setDefault(saved);
}

}  // namespace
}  // namespace zt::testing
