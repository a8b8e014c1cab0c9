// Tests of parameter and function objects: creation defaults, typed access,
// change notification, hints and function storage names.
#include "formula/param.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/text_width.h"

namespace zt {
namespace {

TEST(Param, CreationDefaults) {
  const std::vector<std::pair<std::string, std::string>> params = {
      {"p1", "Parameter 1"}, {"P2", "Parameter 2"}, {"p3", "Parameter 3"},
      {"p4", "p4"},          {"P10", "P10"},        {"Power", "Power"}};
  for (const auto& [name, caption] : params) {
    TParam p(name);
    EXPECT_EQ(p.Caption(), caption) << name;
    EXPECT_EQ(p.Name(), name);
    EXPECT_EQ(p.ParamType(), vtComplex);
    EXPECT_EQ(p.AsComplex(), std::complex<long double>(0, 0));
    EXPECT_FALSE(p.HasMin());
    EXPECT_FALSE(p.HasMax());
    EXPECT_EQ(p.EnumItems(), nullptr);
    EXPECT_EQ(p.Hint(), "");
  }
  const std::vector<std::pair<std::string, std::string>> funcs = {
      {"fn1", "Function 1"}, {"FN4", "Function 4"}, {"fn5", "fn5"}, {"f1", "f1"}};
  for (const auto& [name, caption] : funcs) {
    TFunc f(name);
    EXPECT_EQ(f.Caption(), caption) << name;
    EXPECT_EQ(f.FuncCode(), 0);
  }
}

// Calls each typed getter and setter; returns which ones raised the exception.
std::vector<bool> TypedAccessFailures(TParam& p) {
  const std::vector<std::function<void()>> calls = {
      [&] { p.AsComplex(); },     [&] { p.SetAsComplex({1, 2}); },
      [&] { p.AsFloat(); },       [&] { p.SetAsFloat(1); },
      [&] { p.AsInteger(); },     [&] { p.SetAsInteger(1); },
      [&] { p.AsBoolean(); },     [&] { p.SetAsBoolean(true); }};
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
  for (const TValueType type : {vtComplex, vtFloat, vtInt, vtBool}) {
    TParam p("a");
    p.SetParamType(type);
    std::vector<bool> want(8, true);
    want[2 * type] = want[2 * type + 1] = false;
    EXPECT_EQ(TypedAccessFailures(p), want) << "type " << int(type);
  }
}

TEST(Param, TypedValuesRoundTrip) {
  TParam p("a");
  p.SetAsComplex({1.25L, -3});
  EXPECT_EQ(p.Value().Re, 1.25L);
  EXPECT_EQ(p.Value().Im, -3);
  p.SetParamType(vtBool);
  p.SetAsBoolean(true);
  EXPECT_EQ(p.Value().Re, 1);
  EXPECT_TRUE(p.AsBoolean());
  EXPECT_TRUE(SameValue(p.AsLiteral(), TLiteral::MakeBool(true)));
  p.SetParamType(vtFloat);
  p.SetAsFloat(0.1L);
  EXPECT_TRUE(SameValue(p.AsLiteral(), TLiteral::MakeFloat(0.1L)));
}

TEST(Param, AsIntegerRoundsToNearestAndClampsToTheChoices) {
  struct TCase {
    long double Stored;
    int Choices;
    std::int32_t Read;
  };
  const TCase cases[] = {
      {2.4L, 0, 2},  {2.6L, 0, 3},  {2.5L, 0, 2},  {3.5L, 0, 4},  {-1.5L, 0, -2},
      {5, 3, 2},     {-1, 3, 0},    {1, 3, 1},     {1e30L, 0, 2147483647},
      {-1e30L, 0, -2147483647 - 1}};
  for (const TCase& c : cases) {
    TParam p("n");
    p.SetParamType(vtInt);
    for (int i = 0; i < c.Choices; ++i) p.EnumItems()->push_back("choice");
    TValueSlot slot;
    slot.Re = c.Stored;
    p.SetValue({vtInt, slot});
    EXPECT_EQ(p.AsInteger(), c.Read) << static_cast<double>(c.Stored) << " of " << c.Choices;
    EXPECT_TRUE(SameValue(p.AsLiteral(), TLiteral::MakeInt(c.Read)));
  }
}

TEST(Param, ChoiceListExistsOnlyWhileInt) {
  TParam p("n");
  p.SetParamType(vtInt);
  ASSERT_NE(p.EnumItems(), nullptr);
  p.EnumItems()->push_back("one");
  p.SetParamType(vtInt);
  EXPECT_EQ(p.EnumItems()->size(), 1u);
  p.SetParamType(vtFloat);
  EXPECT_EQ(p.EnumItems(), nullptr);
  p.SetParamType(vtInt);
  ASSERT_NE(p.EnumItems(), nullptr);
  EXPECT_TRUE(p.EnumItems()->empty());
  p.SetParamType(static_cast<TValueType>(4));
  EXPECT_EQ(p.ParamType(), vtInt);
}

TEST(Param, OnChangeFiresOnlyOnARealChange) {
  TParam p("a");
  int fired = 0;
  p.OnChange = [&](TParamBase& sender) {
    EXPECT_EQ(&sender, &p);
    ++fired;
  };
  p.SetAsComplex({0, 0});
  EXPECT_EQ(fired, 0);
  p.SetAsComplex({0, 1});  // imaginary part only
  EXPECT_EQ(fired, 1);
  p.SetAsComplex({0, 1});
  EXPECT_EQ(fired, 1);
  p.SetAsComplex({-0.0L, 1});  // a sign of zero is a different value
  EXPECT_EQ(fired, 2);

  p.SetCaption("a");
  EXPECT_EQ(fired, 2);
  p.SetCaption("Angle");
  EXPECT_EQ(fired, 3);

  TValueSlot one;
  one.Re = 1;
  p.SetValue({vtFloat, one});  // other type: ignored
  EXPECT_EQ(fired, 3);
  EXPECT_EQ(p.Value().Im, 1);

  p.ResetToDefault();
  EXPECT_EQ(fired, 4);
  EXPECT_EQ(p.AsComplex(), std::complex<long double>(0, 0));
  p.ResetToDefault();
  EXPECT_EQ(fired, 4);

  p.SetAsComplex({2, 3});
  p.StoreAsDefault();
  EXPECT_EQ(fired, 5);
  p.SetAsComplex({4, 4});
  p.ResetToDefault();
  EXPECT_EQ(fired, 7);
  EXPECT_EQ(p.AsComplex(), std::complex<long double>(2, 3));

  p.SetMinValue(one);  // limits are settings, not values
  EXPECT_EQ(fired, 7);
  EXPECT_TRUE(p.HasMin());
}

TEST(Func, CodesDefaultsAndChanges) {
  TFunc f("fn1");
  int fired = 0;
  f.OnChange = [&](TParamBase&) { ++fired; };
  f.SetFuncCode(0);
  EXPECT_EQ(fired, 0);
  f.SetFuncCode(15);
  EXPECT_EQ(f.FuncCode(), 15);
  EXPECT_EQ(fired, 1);
  f.SetFuncCode(29);  // REAL and beyond are no user-function choices
  f.SetFuncCode(-1);
  EXPECT_EQ(f.FuncCode(), 15);
  EXPECT_EQ(fired, 1);
  f.StoreAsDefault();
  f.SetValue(28);
  EXPECT_EQ(f.GetValue(), 28);
  f.ResetToDefault();
  EXPECT_EQ(f.FuncCode(), 15);
  EXPECT_EQ(f.DefaultFuncCode(), 15);
  EXPECT_EQ(fired, 3);
}

TEST(Func, StorageNames) {
  EXPECT_EQ(FunctionStorageName(0), "sin");
  EXPECT_EQ(FunctionStorageName(13), "cotanh");
  EXPECT_EQ(FunctionStorageName(22), "ident");
  EXPECT_EQ(FunctionStorageName(28), "round");
  EXPECT_EQ(FunctionStorageName(29), "");
  EXPECT_EQ(FunctionStorageName(-1), "");
  for (int code = 0; code < kUserFunctionCount; ++code) {
    EXPECT_EQ(FunctionCodeFromStorageName(FunctionStorageName(code)), code);
  }
  EXPECT_EQ(FunctionCodeFromStorageName("SIN"), std::nullopt);
  EXPECT_EQ(FunctionCodeFromStorageName("real"), std::nullopt);
  EXPECT_EQ(FunctionCodeFromStorageName(""), std::nullopt);
  EXPECT_EQ(kParamKeyPrefix, "p_");
  EXPECT_EQ(kFuncKeyPrefix, "f_");
}

TEST(Param, SlotFromLiteral) {
  const TValueSlot c = SlotFromLiteral(TLiteral::MakeComplex(1, -2));
  EXPECT_EQ(c.Re, 1);
  EXPECT_EQ(c.Im, -2);
  EXPECT_EQ(SlotFromLiteral(TLiteral::MakeInt(-7)).Re, -7);
  EXPECT_EQ(SlotFromLiteral(TLiteral::MakeBool(true)).Re, 1);
  EXPECT_EQ(SlotFromLiteral(TLiteral::MakeFloat(0.5L)).Im, 0);
}

// Splits a hint into its lines (each ended by "|") and each line into its wrapped
// rows (separated by "\r").
std::vector<std::vector<std::string>> HintRows(const std::string& hint) {
  std::vector<std::vector<std::string>> lines;
  std::vector<std::string> rows(1);
  for (const char c : hint) {
    if (c == '|') {
      lines.push_back(rows);
      rows.assign(1, "");
    } else if (c == '\r') {
      rows.emplace_back();
    } else {
      rows.back() += c;
    }
  }
  EXPECT_EQ(rows, std::vector<std::string>(1)) << "hint does not end with |";
  return lines;
}

TEST(Param, HintLinesAreWrappedAndEndedByABar) {
  const std::string longLine =
      "The bailout value decides how far an orbit may wander before the point counts "
      "as escaped; larger values give smoother bands of color.";
  TFunc f("fn1");
  f.AddHint("Short line");
  f.AddHint(longLine);
  f.AddHint("");
  const auto lines = HintRows(f.Hint());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::vector<std::string>{"Short line"});
  EXPECT_EQ(lines[2], std::vector<std::string>{""});

  ASSERT_GT(lines[1].size(), 1u);
  std::string joined;
  for (std::size_t i = 0; i < lines[1].size(); ++i) {
    const std::string& row = lines[1][i];
    EXPECT_LE(UiTextWidth(row), TParamBase::kHintWidth) << row;
    if (i + 1 < lines[1].size()) {  // the next word would not have fitted
      const std::string next = lines[1][i + 1].substr(0, lines[1][i + 1].find(' '));
      EXPECT_GT(UiTextWidth(row + " " + next), TParamBase::kHintWidth) << row;
    }
    joined += (i ? " " : "") + row;
  }
  EXPECT_EQ(joined, longLine);
}

TEST(Param, HintWordWiderThanALineStandsAlone) {
  const std::string word(80, 'W');
  TParam p("a");
  p.AddHint("a " + word + " b");
  EXPECT_EQ(p.Hint(), "a\r" + word + "\rb|");
}

}  // namespace
}  // namespace zt
