// Tests of the entry sections on their own: enumeration and function values,
// ignored words, and a transformation whose entry cannot be provided.
#include "document/params/entry_section.h"

#include <gtest/gtest.h>

#include "document/settings/config_manager.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt {
namespace {

class EntrySection : public ::testing::Test {
 protected:
  // Positions `r` after the section line of "E {\n<text>\n}".
  static void Start(TParReader& r, const std::string& text) {
    r.LoadFromText("E {\n" + text + "\n}");
    std::string key;
    ASSERT_FALSE(r.ReadKey(key));
  }
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

TEST_F(EntrySection, FormulaWordsAndFunctions) {
  struct Case {
    const char* Items;
    int Periodicity;
    int MaxIterations;
    const char* Function;
  } cases[] = {
      {"percheck=ROUGH f_fn=COSH", 3, 100, "cosh"},
      {"percheck=sometimes f_fn=nothing maxiter=42", 2, 42, "sin"},
      {"percheck=off maxiter=7 f_fn=ident", 0, 7, "ident"},
  };
  for (const Case& c : cases) {
    TParReader r;
    Start(r, std::string("formula:\n filename=\"Standard.zfm\" entry=\"FunctionMandelbrot\" ") +
                 c.Items);
    TFormula formula;
    ReadFormula(r, formula);
    EXPECT_EQ(formula.Periodicity(), c.Periodicity) << c.Items;
    EXPECT_EQ(formula.MaxIterations(), c.MaxIterations) << c.Items;
    EXPECT_EQ(FunctionStorageName(formula.Funcs().Items(0).FuncCode()), c.Function) << c.Items;
  }
  EXPECT_TRUE(ui_.Records().empty());
}

TEST_F(EntrySection, EnumerationTextIsMatchedWithoutCaseOrIgnored) {
  struct Case {
    const char* Value;
    int Item;
  } cases[] = {{"\"CROSS\"", 2}, {"\"Square\"", 0}, {"3", 3}};
  for (const Case& c : cases) {
    TParReader r;
    Start(r, std::string("outside:\n filename=\"Standard.zcl\" entry=\"OrbitTrap\" p_shape=") +
                 c.Value);
    TColoring coloring(false);
    ReadColoring(r, coloring);
    EXPECT_EQ(coloring.Params().Items(coloring.Params().IndexOfName("shape")).AsInteger(), c.Item)
        << c.Value;
  }
}

TEST_F(EntrySection, ColoringWithoutEntryTakesTheSectionDefaults) {
  TParReader r;
  Start(r, "inside:\n density=0.25 transfer=cube offset=12");
  TColoring coloring(true);
  ReadColoring(r, coloring);
  EXPECT_TRUE(coloring.IsEmpty());
  EXPECT_EQ(coloring.Density(), 0.25L);
  EXPECT_EQ(coloring.Transfer(), kTransferCube);
  EXPECT_EQ(coloring.Offset(), 12);
  EXPECT_FALSE(coloring.Repeat());
}

TEST_F(EntrySection, TransformWithoutEntryIsDropped) {
  TParReader r;
  Start(r, "transform:\n filename=\"Standard.zxf\" entry=\"Missing\" p_origin=1/1");
  r.Quiet = true;
  EXPECT_EQ(ReadTransform(r), nullptr);
  EXPECT_TRUE(ui_.Records().empty());

  TParReader ok;
  Start(ok, "transform:\n entry=\"Inversion\" enabled=NO filename=\"Standard.zxf\" p_radius=2");
  auto transform = ReadTransform(ok);
  ASSERT_NE(transform, nullptr);
  EXPECT_FALSE(transform->Enabled());
  EXPECT_EQ(transform->Params().Items(transform->Params().IndexOfName("radius")).AsFloat(), 2);
}

}  // namespace
}  // namespace zt
