// Tests of the parameter and function lists: ownership errors, sorting by
// caption, change bracketing and value snapshots.
#include "formula/language/param_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "testing/test_support.h"

namespace zt {
namespace {

std::unique_ptr<TParam> MakeParam(const std::string& name, const std::string& caption = "") {
  auto p = std::make_unique<TParam>(name);
  if (!caption.empty()) p->SetCaption(caption);
  return p;
}

template <class TList>
std::vector<std::string> Names(const TList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.Items(i).Name());
  return names;
}

TEST(ParamList, AddingAMissingItemRaises) {
  TParamList params;
  TFuncList funcs;
  EXPECT_EQ(testing::ErrorMessageOf<EParamError>([&] { params.Add(nullptr); }),
            "Cannot add empty parameter");
  EXPECT_EQ(testing::ErrorMessageOf<EParamError>([&] { funcs.AddSorted(nullptr); }),
            "Cannot add empty function");
  EXPECT_EQ(params.Count() + funcs.Count(), 0);
}

TEST(ParamList, AddSortedOrdersByCaptionIgnoringCase) {
  TParamList list;
  EXPECT_EQ(list.Add(MakeParam("a", "Zoom")), 0);
  // b keeps its name as caption, which sorts before "Zoom".
  EXPECT_EQ(list.AddSorted(MakeParam("b")), 0);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(list.AddSorted(MakeParam("c", "ALPHA")), 0);
  EXPECT_EQ(list.AddSorted(MakeParam("d", "alpha")), 1);  // equal captions keep their order
  EXPECT_EQ(list.AddSorted(MakeParam("e", "zz")), 4);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"c", "d", "b", "a", "e"}));

  EXPECT_EQ(list.IndexOfName("A"), 3);
  EXPECT_EQ(list.IndexOfName("zoom"), -1);  // names, not captions
  list.Delete(0);
  EXPECT_EQ(list.IndexOfName("D"), 0);
}

TEST(ParamList, ItemChangesReachTheListOncePerBracket) {
  TParamList list;
  int fired = 0;
  list.OnChange = [&] { ++fired; };
  list.Add(MakeParam("a"));
  list.Add(MakeParam("b"));

  list.Items(0).SetAsComplex({1, 0});
  EXPECT_EQ(fired, 1);

  list.BeginUpdate();
  list.BeginUpdate();
  list.Items(0).SetAsComplex({2, 0});
  list.Items(1).SetCaption("Bee");
  list.EndUpdate();
  EXPECT_EQ(fired, 1);
  list.EndUpdate();
  EXPECT_EQ(fired, 2);

  list.BeginUpdate();
  list.Items(0).SetAsComplex({2, 0});  // no real change
  list.EndUpdate();
  EXPECT_EQ(fired, 2);
}

TEST(ParamList, SnapshotRestoresAllValuesInOneChange) {
  TParamList list;
  list.Add(MakeParam("a"));
  list.Add(MakeParam("n"));
  list.Items(1).SetParamType(kTypeInt);
  list.Items(0).SetAsComplex({1, 2});
  list.Items(1).SetAsInteger(4);
  const TParamList::TSnapshot saved = list.SaveValues();

  int fired = 0;
  list.OnChange = [&] { ++fired; };
  list.Items(0).SetAsComplex({9, 9});
  list.Items(1).SetAsInteger(9);
  fired = 0;
  list.RestoreValues(saved);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(list.Items(0).AsComplex(), std::complex<long double>(1, 2));
  EXPECT_EQ(list.Items(1).AsInteger(), 4);

  // A value of another type is skipped, the others still restored.
  list.Items(1).SetParamType(kTypeFloat);
  list.Items(0).SetAsComplex({0, 0});
  list.RestoreValues(saved);
  EXPECT_EQ(list.Items(0).AsComplex(), std::complex<long double>(1, 2));
  EXPECT_EQ(list.Items(1).GetValue().Type, kTypeFloat);
}

TEST(ParamList, SnapshotOfAnotherCountIsIgnored) {
  TFuncList list;
  list.Add(std::make_unique<TFunc>("fn1"));
  list.Items(0).SetFuncCode(4);
  const TFuncList::TSnapshot saved = list.SaveValues();
  list.Add(std::make_unique<TFunc>("fn2"));
  list.Items(0).SetFuncCode(7);
  int fired = 0;
  list.OnChange = [&] { ++fired; };

  list.RestoreValues(saved);
  EXPECT_EQ(list.Items(0).FuncCode(), 7);
  EXPECT_EQ(fired, 0);

  list.Delete(1);
  list.RestoreValues(saved);
  EXPECT_EQ(list.Items(0).FuncCode(), 4);
  EXPECT_EQ(fired, 1);
}

}  // namespace
}  // namespace zt
