// The transformation chain: ownership, order, refusal of empty entries and the
// before/after notifications with their update bracket.
#include "formula/entries/transform_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "formula/testing/compile_test_util.h"
#include "platform/error.h"

namespace zt::testing {
namespace {

class TransformListTest : public ::testing::Test {
 protected:
  TransformListTest() {
    file_ = dir_.Write("t.zxf",
                       "Double {\ntransform:\n#pixel = #pixel * 2\n}\n"
                       "Shift {\ntransform:\n#pixel = #pixel + 1\n}\n");
    list_.OnBeforeChange = [this](TTransformList&) { events_ += "b"; };
    list_.OnChange = [this](TTransformList&) { events_ += "a"; };
  }

  std::unique_ptr<TTransform> Loaded(const std::string& name) {
    auto transform = std::make_unique<TTransform>();
    EXPECT_EQ(CompileEntry(*transform, file_.string(), name).Error, "");
    return transform;
  }

  std::string Titles() const {
    std::string titles;
    for (int i = 0; i < list_.Count(); ++i) titles += list_.Item(i).Title() + " ";
    return titles;
  }

  TempDir dir_;
  std::filesystem::path file_;
  TTransformList list_;
  std::string events_;
};

TEST_F(TransformListTest, AddInsertMoveDeleteKeepOrderAndNotify) {
  list_.Add(Loaded("Double"));
  list_.Add(Loaded("Shift"));
  list_.Insert(0, Loaded("Shift"));
  list_.Insert(3, Loaded("Double"));
  EXPECT_EQ(Titles(), "Shift Double Shift Double ");
  list_.Move(0, 3);
  EXPECT_EQ(Titles(), "Double Shift Double Shift ");
  list_.Move(3, 1);
  EXPECT_EQ(Titles(), "Double Shift Shift Double ");
  list_.Move(2, 2);  // nothing to do, nothing signalled
  list_.Delete(0);
  EXPECT_EQ(Titles(), "Shift Shift Double ");
  EXPECT_EQ(events_, "bababababababa");
  list_.Clear();
  list_.Clear();
  EXPECT_EQ(list_.Count(), 0);
  EXPECT_EQ(events_, "babababababababa");
}

TEST_F(TransformListTest, EmptyTransformationsAreRefused) {
  list_.Add(Loaded("Double"));
  events_.clear();
  const struct {
    std::function<void()> Action;
    const char* Message;
  } cases[] = {
      {[&] { list_.Add(std::make_unique<TTransform>()); }, "Cannot add empty transformation"},
      {[&] { list_.Add(nullptr); }, "Cannot add empty transformation"},
      {[&] { list_.Insert(0, std::make_unique<TTransform>()); },
       "Cannot insert empty transformation"},
      {[&] { list_.Insert(2, Loaded("Shift")); }, "List index out of bounds (2)"},
      {[&] { list_.Move(0, 1); }, "List index out of bounds (1)"},
      {[&] { list_.Delete(-1); }, "List index out of bounds (-1)"},
      {[&] { list_.Item(1); }, "List index out of bounds (1)"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorMessageOf(c.Action), c.Message);
  EXPECT_EQ(Titles(), "Double ");
  EXPECT_EQ(events_, "");
}

TEST_F(TransformListTest, UpdateBracketDefersTheChangeEvent) {
  list_.BeginUpdate();
  list_.Add(Loaded("Double"));
  list_.BeginUpdate();
  list_.Add(Loaded("Shift"));
  list_.EndUpdate();
  EXPECT_EQ(events_, "bb");
  list_.EndUpdate();
  EXPECT_EQ(events_, "bba");
  list_.EndUpdate();  // unbalanced: ignored
  list_.BeginUpdate();
  list_.EndUpdate();
  EXPECT_EQ(events_, "bba");
}

TEST(TransformTest, ApplyParametersLoadsAnotherEntryAndSetsValues) {
  TempDir dir;
  auto file = dir.Write("p.zxf",
                        "Move {\ntransform:\n#pixel = @fn(#pixel) + @by\n"
                        "default:\nparam by\ndefault = (1, 0)\nendparam\n"
                        "func fn\ndefault = ident()\nendfunc\n}\n"
                        "Stay {\ntransform:\n#pixel = #pixel + @by\n"
                        "default:\nparam by\ndefault = (5, 0)\nendparam\n}\n");
  const int sqr = *FunctionCodeFromStorageName("sqr");
  TTransform transform;
  int rebuilds = 0;
  transform.OnRebuilt = [&](TLexical&) { ++rebuilds; };
  TTransformSettings settings{file.string(), "Move", false, {}, {}};
  settings.Params.push_back({"BY", {kTypeComplex, {2, 3}}});
  settings.Params.push_back({"missing", {kTypeComplex, {7, 7}}});
  settings.Funcs.push_back({"fn", sqr});
  transform.ApplyParameters(settings);
  ASSERT_FALSE(transform.IsEmpty());
  EXPECT_EQ(transform.Code().EntryName, "Move");
  EXPECT_FALSE(transform.Enabled());
  EXPECT_EQ(transform.Params().Items(0).AsComplex(), std::complex<long double>(2, 3));
  EXPECT_EQ(transform.Funcs().Items(0).FuncCode(), sqr);
  EXPECT_EQ(rebuilds, 2);  // the entry, then the values as one change

  // The same entry again (named in other case): no reload, only the values.
  settings.EntryName = "MOVE";
  settings.Enabled = true;
  settings.Params = {{"by", {kTypeComplex, {4, 0}}}};
  settings.Funcs.clear();
  transform.ApplyParameters(settings);
  EXPECT_TRUE(transform.Enabled());
  EXPECT_EQ(transform.Params().Items(0).AsComplex(), std::complex<long double>(4, 0));
  EXPECT_EQ(transform.Funcs().Items(0).FuncCode(), sqr);
  EXPECT_EQ(rebuilds, 3);

  // Another entry starts from its own defaults.
  settings.EntryName = "Stay";
  settings.Params.clear();
  transform.ApplyParameters(settings);
  EXPECT_EQ(transform.Code().EntryName, "Stay");
  EXPECT_EQ(transform.Params().Items(0).AsComplex(), std::complex<long double>(5, 0));
}

}  // namespace
}  // namespace zt::testing
