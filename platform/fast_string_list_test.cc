// Tests of the line list: tab expansion, reading every line-end style and
// atomic saving.
#include "platform/fast_string_list.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "testing/test_support.h"

namespace zt {
namespace {

std::vector<std::string> Contents(const TFastStringList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
  return lines;
}

TEST(FastStringListTest, TabsBecomeExactlyTabSizeBlanks) {
  struct Case {
    int TabSize;
    std::string Line, Expected;
  } cases[] = {
      {0, "\tx", "\tx"},
      {2, "\tx", "  x"},
      {2, "a\tb", "a  b"},  // not to the next tab stop
      {4, "\t\t", "        "},
  };
  for (const Case& c : cases) {
    TFastStringList list;
    list.TabSize = c.TabSize;
    list.Add(c.Line);
    list.Insert(0, c.Line);
    list.Set(1, c.Line);
    EXPECT_EQ(Contents(list), (std::vector<std::string>{c.Expected, c.Expected})) << c.TabSize;
  }
}

TEST(FastStringListTest, LoadsEveryLineEndStyleAndRefusesWhatIsNoFile) {
  struct Case {
    std::string Bytes;
    std::vector<std::string> Lines;
    bool CrLf;
  } cases[] = {
      {"a\nb", {"a", "b"}, false},
      {"a\nb\n", {"a", "b"}, false},
      {"a\r\nb\r\n", {"a", "b"}, true},
      {"a\rb\r", {"a", "b"}, true},
      {"a\n\n\nb", {"a", "", "", "b"}, false},
      {"\r\n", {""}, true},
      {"", {}, true},
      {"no end", {"no end"}, true},
      {std::string("x\0y\n\xff", 5), {std::string("x\0y", 3), "\xff"}, false},
  };
  testing::TempDir dir;
  for (const Case& c : cases) {
    TFastStringList list;
    list.Add("old");
    ASSERT_TRUE(list.LoadFromFile(dir.Write("f.txt", c.Bytes)));
    EXPECT_EQ(Contents(list), c.Lines) << c.Bytes;
    EXPECT_EQ(list.CrLf, c.CrLf) << c.Bytes;
  }
  // Folders and missing files are refused, the list unchanged.
  TFastStringList list;
  list.Add("kept");
  EXPECT_FALSE(list.LoadFromFile(dir.path()));
  EXPECT_FALSE(list.LoadFromFile(dir.path() / "missing"));
  EXPECT_EQ(Contents(list), (std::vector<std::string>{"kept"}));
}

TEST(FastStringListTest, SavesWithTheLoadedLineEnds) {
  testing::TempDir dir;
  TFastStringList list;
  list.Add("a");
  list.Add("b");
  auto fresh = dir.path() / "new.txt";
  ASSERT_TRUE(list.SaveToFile(fresh));
  EXPECT_EQ(testing::ReadFile(fresh), "a\r\nb\r\n");

  auto unix = dir.Write("unix.txt", "x\ny");
  ASSERT_TRUE(list.LoadFromFile(unix));
  list.Add("z");
  ASSERT_TRUE(list.SaveToFile(unix));
  EXPECT_EQ(testing::ReadFile(unix), "x\ny\nz\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

}  // namespace
}  // namespace zt
