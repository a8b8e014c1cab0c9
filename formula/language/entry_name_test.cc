// Tests of entry names made from titles.
#include "formula/language/entry_name.h"

#include <gtest/gtest.h>

#include "formula/language/code.h"
#include "testing/test_support.h"

namespace zt {
namespace {

TEST(EntryNameTest, MakeEntryName) {
  struct Case {
    const char* Title;
    const char* Name;
  } cases[] = {
      {"my new formula", "myNewFormula"},
      {"Julia (quadratic): z^2+c", "JuliaQuadraticZ^2+c"},
      {"a \t{}b", "aB"},
      {" lead", "Lead"},
      {"tail  ", "tail"},
      {"x1 2y", "x12y"},  // only letters change case
      {"( ) ; :", "Default"},
      {"", "Default"},
  };
  for (const Case& c : cases) EXPECT_EQ(MakeEntryName(c.Title), c.Name) << c.Title;
}

TEST(EntryNameTest, MakeUniqueEntryNameCountsUpPastTakenNames) {
  TFastStringList lines;
  for (const char* line : {"Spiral {", "}", "spiral1 {", "}", "Spiral2(XAXIS) {", "}"})
    lines.Add(line);
  EXPECT_EQ(MakeUniqueEntryName("spiral", lines), "spiral3");
  EXPECT_EQ(MakeUniqueEntryName("Wave", lines), "Wave");

  testing::TempDir dir;
  auto file = dir.Write("f.zfm", "a {\n}\nA1 {\n}\n");
  EXPECT_EQ(MakeUniqueEntryName("a", file.string()), "a2");
  EXPECT_EQ(MakeUniqueEntryName("a", (dir.path() / "new.zfm").string()), "a");
  EXPECT_THROW(MakeUniqueEntryName("a", dir.path().string()), ECodeError);
}

TEST(EntryNameTest, EntryNameToCaption) {
  EXPECT_EQ(EntryNameToCaption("Spiral_two_arms"), "Spiral two arms");
  EXPECT_EQ(EntryNameToCaption("plain"), "plain");
}

}  // namespace
}  // namespace zt
