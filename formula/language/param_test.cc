// Tests of parameter and function objects: creation defaults, typed access,
// change notification, hints and function storage names.
#include "formula/language/param.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/text_width.h"

namespace zt {
namespace {

TEST(Param, CreationDefaults) {
  const std::vector<std::pair<std::string, std::string>> params = {
      {"p1", "Parameter 1"}, {"P3", "Parameter 3"}, {"p4", "p4"}, {"P10", "P10"}};
  for (const auto& [name, caption] : params) {
    TParam p(name);
    EXPECT_EQ(p.Caption(), caption) << name;
    EXPECT_EQ(p.AsComplex(), std::complex<long double>(0, 0));
    EXPECT_FALSE(p.HasMin() || p.HasMax());
  }
  const std::vector<std::pair<std::string, std::string>> funcs = {
      {"fn1", "Function 1"}, {"FN4", "Function 4"}, {"fn5", "fn5"}};
  for (const auto& [name, caption] : funcs) EXPECT_EQ(TFunc(name).Caption(), caption) << name;
}

// Calls each typed getter and setter; returns which ones raised the exception.
std::vector<bool> TypedAccessFailures(TParam& p) {
  const std::vector<std::function<void()>> calls = {
      [&] { p.AsComplex(); },   [&] { p.SetAsComplex({1, 2}); }, [&] { p.AsFloat(); },
      [&] { p.SetAsFloat(1); }, [&] { p.AsInteger(); },          [&] { p.SetAsInteger(1); },
      [&] { p.AsBoolean(); },   [&] { p.SetAsBoolean(true); }};
  std::vector<bool> failed;
  for (const auto& call : calls) {
    try {
      call();
      failed.push_back(false);
    } catch (const EParamError& e) {
      EXPECT_EQ(e.Message(), "Invalid parameter type");
      failed.push_back(true);
    }
  }
  return failed;
}

TEST(Param, TypedAccessChecksTheType) {
  for (const TValueType type : {kTypeComplex, kTypeFloat, kTypeInt, kTypeBool}) {
    TParam p("a");
    p.SetParamType(type);
    std::vector<bool> want(8, true);
    want[2 * type] = want[2 * type + 1] = false;
    EXPECT_EQ(TypedAccessFailures(p), want) << "type " << int(type);
  }
}

TEST(Param, AsIntegerRoundsToNearestAndClampsToTheChoices) {
  struct TCase {
    long double Stored;
    int Choices;
    std::int32_t Read;
  };
  const TCase cases[] = {{2.6L, 0, 3}, {2.5L, 0, 2}, {3.5L, 0, 4}, {-1.5L, 0, -2},
                         {5, 3, 2},    {-1, 3, 0},   {1, 3, 1},    {1e30L, 0, 2147483647}};
  for (const TCase& c : cases) {
    TParam p("n");
    p.SetParamType(kTypeInt);
    for (int i = 0; i < c.Choices; ++i) p.EnumItems()->push_back("choice");
    TValueSlot slot;
    slot.Re = c.Stored;
    p.SetValue({kTypeInt, slot});
    EXPECT_EQ(p.AsInteger(), c.Read) << static_cast<double>(c.Stored) << " of " << c.Choices;
    EXPECT_TRUE(SameValue(p.AsLiteral(), TLiteral::MakeInt(c.Read)));
  }
}

TEST(Param, ChoiceListExistsOnlyWhileInt) {
  TParam p("n");
  p.SetParamType(kTypeInt);
  p.EnumItems()->push_back("one");
  p.SetParamType(kTypeFloat);
  EXPECT_EQ(p.EnumItems(), nullptr);
  p.SetParamType(kTypeInt);
  ASSERT_NE(p.EnumItems(), nullptr);
  EXPECT_TRUE(p.EnumItems()->empty());
}

TEST(Param, OnChangeFiresOnlyOnARealChange) {
  TParam p("a");
  std::vector<std::string> log;
  p.OnChange = [&](TParamBase& sender) { log.push_back(sender.Name()); };
  p.SetAsComplex({0, 0});
  p.SetCaption("a");
  EXPECT_EQ(log.size(), 0u);
  p.SetAsComplex({0, 1});      // the imaginary part alone
  p.SetAsComplex({-0.0L, 1});  // a sign of zero is another value
  p.SetCaption("Angle");
  EXPECT_EQ(log.size(), 3u);

  TValueSlot one;
  one.Re = 1;
  p.SetValue({kTypeFloat, one});  // another type: ignored
  p.SetMinValue(one);             // limits are settings, not values
  p.StoreAsDefault();
  p.ResetToDefault();
  EXPECT_EQ(log.size(), 3u);
  p.SetAsComplex({4, 4});
  p.ResetToDefault();
  EXPECT_EQ(p.AsComplex(), std::complex<long double>(-0.0L, 1));
  EXPECT_EQ(log, std::vector<std::string>(5, "a"));
}

TEST(Func, CodesDefaultsAndChanges) {
  TFunc f("fn1");
  int fired = 0;
  f.OnChange = [&](TParamBase&) { ++fired; };
  f.SetFuncCode(0);
  f.SetFuncCode(15);
  f.SetFuncCode(29);  // REAL and beyond are no user-function choices
  f.StoreAsDefault();
  f.SetValue(28);
  f.ResetToDefault();
  EXPECT_EQ(f.FuncCode(), 15);
  EXPECT_EQ(fired, 3);
}

TEST(Func, StorageNames) {
  EXPECT_EQ(FunctionStorageName(13), "cotanh");
  EXPECT_EQ(FunctionStorageName(28), "round");
  EXPECT_EQ(FunctionStorageName(29), "");
  for (int code = 0; code < kUserFunctionCount; ++code) {
    EXPECT_EQ(FunctionCodeFromStorageName(FunctionStorageName(code)), code);
  }
  EXPECT_EQ(FunctionCodeFromStorageName("SIN"), std::nullopt);
  EXPECT_EQ(FunctionCodeFromStorageName("real"), std::nullopt);
}

TEST(Param, HintLinesAreWrappedAndEndedByABar) {
  const std::string long_line =
      "The bailout value decides how far an orbit may wander before the point counts "
      "as escaped; larger values give smoother bands of color.";
  TFunc f("fn1");
  f.AddHint("Short line");
  f.AddHint(long_line);
  const std::string& hint = f.Hint();
  ASSERT_EQ(hint.substr(0, 11), "Short line|");
  ASSERT_EQ(hint.back(), '|');

  // Every row fits, the next row's first word would not have, and nothing is lost.
  std::vector<std::string> rows(1);
  for (const char c : hint.substr(11, hint.size() - 12)) {
    if (c == '\r') {
      rows.emplace_back();
    } else {
      rows.back() += c;
    }
  }
  ASSERT_GT(rows.size(), 1u);
  std::string joined = rows[0];
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_LE(UiTextWidth(rows[i]), TParamBase::kHintWidth) << rows[i];
    if (i == 0) continue;
    const std::string first_word = rows[i].substr(0, rows[i].find(' '));
    EXPECT_GT(UiTextWidth(rows[i - 1] + " " + first_word), TParamBase::kHintWidth);
    joined += " " + rows[i];
  }
  EXPECT_EQ(joined, long_line);
}

TEST(Param, HintWordWiderThanALineStandsAlone) {
  const std::string word(80, 'W');
  TParam p("a");
  p.AddHint("a " + word + " b");
  EXPECT_EQ(p.Hint(), "a\r" + word + "\rb|");
}

}  // namespace
}  // namespace zt
