// Tests of the variable table: lookups, layout, constant bytes and the
// definite-initialization analysis driven the way the type checker drives it.
#include "formula/language/variable_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <sstream>
#include <vector>

namespace zt {
namespace {

TEST(VariableList, FindsEntriesByKindWithoutRegardToCase) {
  TVariableList list;
  TVariable& x = list.AddVariable(std::string(70, 'x'), kTypeFloat);  // cut to 63
  TVariable& copy = list.AddParameterCopy("Xp", kTypeInt);
  TVariable& t = list.AddTemporary(7, kTypeBool);
  TVariable& c1 = list.AddConstant(TLiteral::MakeComplex(1, 0));
  TVariable& f1 = list.AddConstant(TLiteral::MakeFloat(1));
  TVariable& i1 = list.AddConstant(TLiteral::MakeInt(1));

  EXPECT_EQ(list.FindVariable(std::string(63, 'X')), &x);
  EXPECT_EQ(list.FindVariable("xp"), nullptr);
  EXPECT_EQ(list.FindParameterCopy("xP"), &copy);
  EXPECT_EQ(list.FindTemporary(7), &t);
  EXPECT_EQ(list.FindTemporary(8), nullptr);
  EXPECT_EQ(list.FindConstant(TLiteral::MakeComplex(1, 0)), &c1);
  EXPECT_EQ(list.FindConstant(TLiteral::MakeFloat(1)), &f1);
  EXPECT_EQ(list.FindConstant(TLiteral::MakeInt(1)), &i1);
  EXPECT_EQ(list.FindConstant(TLiteral::MakeComplex(1, 1)), nullptr);
  EXPECT_EQ(list.FindConstant(TLiteral::MakeBool(true)), nullptr);
  EXPECT_EQ(i1.Type, kTypeInt);

  list.PushBranch();  // generated entries and copies hold a value from the start
  list.PopBranch();
  for (const TVariable* v : {&copy, &t, &c1}) EXPECT_TRUE(list.IsInitialized(*v));

  list.RemoveGenerated();
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(&list.Item(0), &x);
  EXPECT_EQ(&list.Item(1), &copy);
  EXPECT_EQ(list.FindTemporary(7), nullptr);
  EXPECT_EQ(list.FindConstant(TLiteral::MakeFloat(1)), nullptr);
}

TEST(VariableList, LayoutAlignsEachTypeInListOrder) {
  TVariableList list;
  list.AddVariable("b1", kTypeBool);
  list.AddVariable("i", kTypeInt);
  list.AddVariable("c", kTypeComplex);
  list.AddVariable("b2", kTypeBool);
  list.AddConstant(TLiteral::MakeFloat(0.5L));
  list.AddTemporary(0, kTypeInt);
  list.AddVariable("b3", kTypeBool);
  list.AddParameterCopy("p", kTypeComplex);

  list.Layout();
  std::vector<std::int32_t> offsets;
  for (int i = 0; i < list.Count(); ++i) offsets.push_back(list.Item(i).Offset);
  // The float constant takes 32 bytes: its extended value and its doubles.
  EXPECT_EQ(offsets, (std::vector<std::int32_t>{0, 4, 16, 48, 64, 96, 100, 112}));
  EXPECT_EQ(list.DataSize(), 144);
}

TEST(VariableList, StoreConstantsWritesExtendedRealsAndLittleEndianIntegers) {
  TVariableList list;
  list.AddConstant(TLiteral::MakeBool(true));            // offset 0
  list.AddVariable("v", kTypeComplex);                   // 16, left alone
  list.AddConstant(TLiteral::MakeInt(-2));               // 48
  list.AddConstant(TLiteral::MakeComplex(1.5L, -0.1L));  // 64, doubles from 96
  list.AddConstant(TLiteral::MakeFloat(3.25L));          // 128, doubles from 144
  list.Layout();
  ASSERT_EQ(list.DataSize(), 160);
  EXPECT_EQ(TVariableList::DoublesOffset(list.Item(3)), 96);
  EXPECT_EQ(TVariableList::DoublesOffset(list.Item(4)), 144);

  std::vector<std::uint8_t> data(160, 0xAA);
  list.StoreConstants(data.data());

  std::vector<std::uint8_t> want(160, 0xAA);
  want[0] = 1;
  const std::uint8_t minus_two[4] = {0xFE, 0xFF, 0xFF, 0xFF};
  std::memcpy(&want[48], minus_two, 4);
  const long double re = 1.5L, im = -0.1L, f = 3.25L;
  std::memcpy(&want[64], &re, 10);
  std::memcpy(&want[80], &im, 10);
  std::memcpy(&want[128], &f, 10);
  const auto put_doubles = [&](long double value, int at) {
    double pair[2];
    SplitExtended(value, pair[0], pair[1]);
    std::memcpy(&want[at], pair, 16);
  };
  put_doubles(re, 96);
  put_doubles(im, 112);
  put_doubles(f, 144);
  EXPECT_EQ(data, want);
}

TEST(VariableList, SplitExtendedGivesDoublesThatSumToTheValueExactly) {
  const struct {
    long double Value;
    TDoubleForm Form;
  } cases[] = {
      {0.0L, TDoubleForm::kHigh},
      {-0.0L, TDoubleForm::kHigh},
      {4.0L, TDoubleForm::kHigh},
      {-0.75L, TDoubleForm::kHigh},
      {0.1L, TDoubleForm::kHighLow},  // 64 significant bits
      {-1e300L, TDoubleForm::kHighLow},
      {1e-200L, TDoubleForm::kHighLow},
      {1e-300L, TDoubleForm::kNone},  // the low double would not be normal
      {1e4000L, TDoubleForm::kNone},  // beyond the doubles' range
      {std::numeric_limits<long double>::infinity(), TDoubleForm::kNone},
      {std::numeric_limits<long double>::quiet_NaN(), TDoubleForm::kNone},
      {std::numeric_limits<long double>::denorm_min(), TDoubleForm::kNone},
  };
  for (const auto& c : cases) {
    double high = 1, low = 1;
    EXPECT_EQ(SplitExtended(c.Value, high, low), c.Form) << static_cast<double>(c.Value);
    if (c.Form == TDoubleForm::kNone) continue;
    // The code loads the high double alone, or adds the low one to it.
    const long double sum = c.Form == TDoubleForm::kHigh ? static_cast<long double>(high)
                                                         : high + static_cast<long double>(low);
    EXPECT_EQ(std::memcmp(&sum, &c.Value, 10), 0) << static_cast<double>(c.Value);
  }
}

// Runs a script of construct statements against one variable "v" as the type
// checker would: "if", "elseif", "else", "endif", "while", "endwhile", "repeat",
// "until"; "v=" assigns v and "force" gives v its start-of-program value, each
// creating v when it does not exist yet. Returns whether v counts as initialized
// at the end of the script.
bool RunScript(TVariableList& list, const std::string& script) {
  std::vector<bool> if_has_else;  // per open IF
  std::istringstream words(script);
  std::string w;
  const auto var = [&list]() -> TVariable& {
    TVariable* v = list.FindVariable("v");
    return v ? *v : list.AddVariable("v", kTypeComplex);
  };
  while (words >> w) {
    if (w == "if" || w == "while") {
      if (w == "if") if_has_else.push_back(false);
      list.PushBranch();
    } else if (w == "elseif" || w == "else") {
      if (w == "else") if_has_else.back() = true;
      list.NextBranch();
    } else if (w == "endif") {
      if (!if_has_else.back()) list.NextBranch();
      if_has_else.pop_back();
      list.PopBranch();
    } else if (w == "endwhile") {
      list.PopBranch();
    } else if (w == "v=") {
      list.MarkInitialized(var());
    } else if (w == "force") {
      list.ForceInitialized(var());
    } else if (w != "repeat" && w != "until") {
      ADD_FAILURE() << "unknown word " << w;
    }
  }
  TVariable* v = list.FindVariable("v");
  return v != nullptr && list.IsInitialized(*v);
}

struct TInitCase {
  const char* Script;
  bool Initialized;
};

class DefiniteInitialization : public ::testing::TestWithParam<TInitCase> {};

// Each script runs twice: with v declared (unassigned) before it, and with v
// created by its first appearance, possibly deep inside a branch.
TEST_P(DefiniteInitialization, DeclaredBefore) {
  TVariableList list;
  list.AddVariable("v", kTypeComplex);
  EXPECT_EQ(RunScript(list, GetParam().Script), GetParam().Initialized);
}

TEST_P(DefiniteInitialization, CreatedOnFirstUse) {
  TVariableList list;
  list.AddVariable("other", kTypeInt);
  EXPECT_EQ(RunScript(list, GetParam().Script), GetParam().Initialized);
  TVariable* v = list.FindVariable("v");
  ASSERT_NE(v, nullptr);
  // Once every level is closed, v holds exactly its outermost record.
  if (list.BranchDepth() == 0) {
    EXPECT_EQ(v->Depth, 0);
    EXPECT_EQ(v->InitStack.size(), 1u);
  }
  EXPECT_FALSE(list.IsInitialized(*list.FindVariable("other")));
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, DefiniteInitialization,
    ::testing::Values(TInitCase{"v=", true}, TInitCase{"if v= else v= endif", true},
                      TInitCase{"if v= endif", false}, TInitCase{"if else v= endif", false},
                      TInitCase{"while v= endwhile", false}, TInitCase{"repeat v= until", true},
                      TInitCase{"if v= elseif v= else v= endif", true},
                      TInitCase{"if v= elseif else v= endif", false},
                      TInitCase{"if if v= else v= endif else v= endif", true},
                      TInitCase{"if if v= endif else v= endif", false},
                      TInitCase{"if v= if endif else v= endif", true},
                      TInitCase{"if v= if else endif else if v= elseif v= else v= endif endif",
                                true},
                      TInitCase{"if v= else while v= endwhile endif", false},
                      // Inside an open level: the state of the current branch.
                      TInitCase{"if v=", true}, TInitCase{"if v= else", false},
                      TInitCase{"if if v= else v= endif", true},
                      // A start-of-program value holds in every branch, now and later.
                      TInitCase{"if force else endif", true},
                      TInitCase{"while force endwhile", true},
                      TInitCase{"if if force endif else", true}));

}  // namespace
}  // namespace zt
