// Tests of compiling the entry at a line of a collection's text: which entry
// compiles, the messages with their positions (tabs counted as TabSize columns)
// and help keys, and the way back from a compiler column to a character.
#include "formula/entries/entry_text_compile.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

// Three entries: a clean one, one with warnings (lines 6 and 7) and one
// with an invalid character after a tab (line 10).
constexpr const char* kText =
    "Good {\r\n  z = #pixel\r\n}\r\n"
    "Warned(XAXIS) {\r\n  z = #pixel\r\n  z + 1\r\n  x = y\r\n}\r\n"
    "Bad {\r\n\tz = 1 $\r\n}\r\n";

std::string Dump(const TEntryTextCompilation& result) {
  std::string dump = result.EntryName + (result.Success ? " ok" : " failed");
  for (const TCompileMessage& m : result.Messages)
    dump += " | " + m.HelpKey() + "@" + std::to_string(m.Line) + ":" + std::to_string(m.Column);
  return dump;
}

TEST(EntryTextCompileTest, CompilesTheEntryAtTheLine) {
  TCompileOptions options;
  options.TabSize = 4;
  const struct {
    int Line;
    const char* Dump;
  } rows[] = {
      {0, "Good ok"},
      {2, "Good ok"},
      {3, "Warned ok | WARN_RESULTIGNORED@6:5 | WARN_UNUSED@7:3 | WARN_NOTDECLARED@7:7"},
      {8, "Bad failed | ERR_INVALIDCHAR@10:11"},
      {40, "Bad failed | ERR_INVALIDCHAR@10:11"},
  };
  for (const auto& row : rows) {
    const TEntryTextCompilation result =
        CompileEntryInText(TEntryKind::kFormula, kText, row.Line, "set.zfm", options);
    EXPECT_TRUE(result.Found);
    EXPECT_EQ(Dump(result), row.Dump) << row.Line;
  }
  const TEntryTextCompilation bad =
      CompileEntryInText(TEntryKind::kFormula, kText, 9, "set.zfm", options);
  ASSERT_EQ(bad.Messages.size(), 1u);
  EXPECT_EQ(bad.Messages[0].Text, "Error: set.zfm (10:11): Invalid character encountered: '$'.");
  EXPECT_EQ(bad.Result, "Unable to compile 'Bad' in 'set.zfm'.");

  EXPECT_FALSE(
      CompileEntryInText(TEntryKind::kFormula, "no entry here\n", 0, "x.zfm", options).Found);
  // A failure to translate carries no identifier: its help is the overview.
  EXPECT_EQ(TCompileMessage{}.HelpKey(), "COMPMSG_OVERVIEW");
}

TEST(EntryTextCompileTest, CharacterColumnCountsTabsAsTabSize) {
  const struct {
    const char* Line;
    int Column;
    int TabSize;
    int Character;
  } rows[] = {
      {"abc", 1, 2, 1},          {"\tz", 0, 4, 0}, {"\tz", 3, 4, 0}, {"\tz", 4, 4, 1},
      {"\t\tz = 1 $", 14, 4, 8}, {"ab", 9, 2, 2},  {"", 0, 2, 0},
  };
  for (const auto& row : rows)
    EXPECT_EQ(CharacterColumn(row.Line, row.Column, row.TabSize), row.Character)
        << row.Line << " " << row.Column;
}

}  // namespace
}  // namespace zt
