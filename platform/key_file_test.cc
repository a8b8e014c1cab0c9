// Tests of the text key file: what is read, what is ignored, and exact output.
#include "platform/key_file.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(KeyFile, ReadsGroupsAndValuesIgnoringMalformedLines) {
  TKeyFile keys;
  keys.Parse(
      "Orphan=before any group\r\n"
      "[General]\r\n"
      "AnimFrames=12\r\n"
      "; a comment\n"
      "# another=comment\n"
      "no equals sign\n"
      "=no key\n"
      "  Spaced  =  kept blanks \n"
      "[broken\n"
      "Lost=1\n"
      "[]\n"
      "AlsoLost=1\n"
      "[Forms\\Main]\n"
      "Left=5\n"
      "[general]\n"
      "animframes=13\n"
      "Formula=a=b");
  EXPECT_EQ(keys.Find("GENERAL", "AnimFrames"), "13");
  EXPECT_EQ(keys.Find("General", "Spaced"), "  kept blanks ");
  EXPECT_EQ(keys.Find("General", "Formula"), "a=b");
  EXPECT_EQ(keys.Find("Forms\\Main", "Left"), "5");
  EXPECT_EQ(keys.Find("General", "Orphan"), std::nullopt);
  EXPECT_EQ(keys.Find("General", "no equals sign"), std::nullopt);
  EXPECT_EQ(keys.Find("General", "Lost"), std::nullopt);
  EXPECT_EQ(keys.Find("Forms\\Main", "AlsoLost"), std::nullopt);
  EXPECT_EQ(keys.Find("Missing", "Left"), std::nullopt);
  EXPECT_EQ(keys.Text(),
            "[General]\n"
            "AnimFrames=13\n"
            "Spaced=  kept blanks \n"
            "Formula=a=b\n"
            "\n"
            "[Forms\\Main]\n"
            "Left=5\n");
}

TEST(KeyFile, LineBreaksAndBackslashesSurviveARoundTrip) {
  TKeyFile keys;
  keys.Set("Defaults", "DefaultComments", "line 1\r\nline 2\nThreadNumber=16");
  keys.Set("Directories", "OpenDirectory", "C:\\new\\");
  keys.Set("Defaults", "DefaultAuthor", "");
  std::string text = keys.Text();
  EXPECT_EQ(text,
            "[Defaults]\n"
            "DefaultComments=line 1\\r\\nline 2\\nThreadNumber=16\n"
            "DefaultAuthor=\n"
            "\n"
            "[Directories]\n"
            "OpenDirectory=C:\\\\new\\\\\n");
  TKeyFile back;
  back.Parse(text);
  EXPECT_EQ(back.Find("Defaults", "DefaultComments"), "line 1\r\nline 2\nThreadNumber=16");
  EXPECT_EQ(back.Find("Defaults", "ThreadNumber"), std::nullopt);
  EXPECT_EQ(back.Find("Directories", "OpenDirectory"), "C:\\new\\");
  EXPECT_EQ(back.Find("Defaults", "DefaultAuthor"), "");
  EXPECT_EQ(back.Text(), text);
  // Backslashes that escape nothing stay as written.
  back.Parse("[Directories]\nFormulaDirectory=D:\\Formulas\\x\\\nTrailing=\\");
  EXPECT_EQ(back.Find("Directories", "FormulaDirectory"), "D:\\Formulas\\x\\");
  EXPECT_EQ(back.Find("Directories", "Trailing"), "\\");
}

}  // namespace
}  // namespace zt
