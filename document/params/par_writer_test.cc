// Tests of the parameter text writer: line layout, the 75-column rule and the
// value forms.
#include "document/params/par_writer.h"

#include <gtest/gtest.h>

#include <functional>

#include "document/params/par_reader.h"

namespace zt {
namespace {

TEST(ParWriter, LayoutOfSectionsItemsCommentsAndClose) {
  TParWriter w("Entry");
  w.WriteInteger("ignored", 1);  // before any section
  w.Comment("first");
  w.Section("fractal");
  w.WriteString("title", "A b");
  w.WriteInteger("width", 640);
  w.Section("empty");
  w.Section("layer");
  w.WriteBoolean("visible", true);
  w.Close();
  w.WriteInteger("after", 2);
  w.Comment("after");
  const std::vector<std::string> expected = {
      "Entry {", "; first", "fractal:",      "  title=\"A b\" width=640",
      "empty:",  "layer:",  "  visible=yes", "}"};
  EXPECT_EQ(w.Lines(), expected);
  EXPECT_TRUE(w.Closed());
}

TEST(ParWriter, ValueForms) {
  struct Case {
    std::function<void(TParWriter&)> Write;
    std::string Item;
  } cases[] = {
      {[](TParWriter& w) { w.WriteFloat("f", -0.25L); }, "f=-0.25"},
      {[](TParWriter& w) {
         w.WriteComplex("c", {-1.5L, 0.5L});
       },
       "c=-1.5/0.5"},
      {[](TParWriter& w) { w.WriteInteger("i", -42); }, "i=-42"},
      {[](TParWriter& w) { w.WriteColor("c", 255 + 256 * 128); }, "c=33023"},
      {[](TParWriter& w) { w.WriteBoolean("b", false); }, "b=no"},
      {[](TParWriter& w) { w.WriteWord("w", "linear"); }, "w=linear"},
      {[](TParWriter& w) { w.WriteString("s", ""); }, "s=\"\""},
  };
  for (const Case& c : cases) {
    TParWriter w("E");
    w.Section("s");
    c.Write(w);
    w.Close();
    ASSERT_EQ(w.Lines().size(), 4u);
    EXPECT_EQ(w.Lines()[2], "  " + c.Item);
  }
}

TEST(ParWriter, ItemsThatDoNotFitStartANewLine) {
  TParWriter w("E");
  w.Section("s");
  const std::string a = "a=" + std::string(60, 'x');  // 62 characters
  w.WriteWord("a", std::string(60, 'x'));
  w.WriteWord("b", std::string(9, 'y'));   // 2 + 62 + 1 + 11 = 76: moves on
  w.WriteWord("c", std::string(58, 'z'));  // 2 + 11 + 1 + 60 = 74: stays
  w.WriteWord("d", "");                    // 74 + 2 >= 75: moves on
  w.Close();
  const std::vector<std::string> expected = {
      "E {",  "s:", "  " + a, "  b=" + std::string(9, 'y') + " c=" + std::string(58, 'z'),
      "  d=", "}"};
  EXPECT_EQ(w.Lines(), expected);
}

TEST(ParWriter, LongItemIsSplitAtColumn75AndReadsBack) {
  std::string value;
  for (int i = 0; i < 200; ++i) value += static_cast<char>('a' + i % 26);
  TParWriter w("E");
  w.Section("s");
  w.WriteInteger("n", 1);
  w.WriteString("long", value);
  w.Close();
  const auto& lines = w.Lines();
  ASSERT_EQ(lines[2], "  n=1");
  for (size_t i = 3; i + 2 < lines.size(); ++i) {
    EXPECT_EQ(lines[i].size(), 76u) << i;
    EXPECT_EQ(lines[i].back(), '\\');
    EXPECT_EQ(lines[i].substr(0, 2), "  ");
  }
  EXPECT_LE(lines[lines.size() - 2].size(), 75u);
  EXPECT_EQ(lines.size(), 7u);  // the 207-character item takes three lines of 73 at most

  TParReader r;
  r.LoadFromText(w.Text());
  std::string key;
  ASSERT_FALSE(r.ReadKey(key));
  EXPECT_EQ(r.SectionName(), "s");
  ASSERT_TRUE(r.ReadKey(key));
  ASSERT_TRUE(r.ReadKey(key));
  EXPECT_EQ(key, "long");
  EXPECT_EQ(r.ValueText(), value);
  EXPECT_TRUE(r.IsQuoted());
  EXPECT_FALSE(r.ReadKey(key));
  EXPECT_EQ(r.SectionName(), "");
}

}  // namespace
}  // namespace zt
