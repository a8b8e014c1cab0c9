// Tests of the parameter text reader: item rules, value forms, comment lines,
// the missing-parameter warning and the search for carried entries.
#include "document/params/par_reader.h"

#include <gtest/gtest.h>

#include <functional>

#include "document/settings/config_manager.h"
#include "platform/program_folder.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt {
namespace {

using testing::ErrorMessageOf;

// "key=value" per item, "[name]" per section, "<end>" at the end of the entry.
std::string Dump(const std::string& text) {
  TParReader r;
  r.LoadFromText(text);
  std::string out, key;
  for (int guard = 0; guard < 100; ++guard) {
    if (r.ReadKey(key)) {
      out += key + "=" + (r.IsQuoted() ? "\"" + r.ValueText() + "\"" : r.ValueText()) + " ";
    } else if (r.SectionName().empty()) {
      return out + "<end>";
    } else {
      out += "[" + r.SectionName() + "] ";
    }
  }
  return out + "<loop>";
}

TEST(ParReader, ItemRules) {
  struct Case {
    const char* Text;
    const char* Dump;
  } cases[] = {
      {"E {\n Fractal:\n  A=1 b=Two\n}", "[fractal] a=1 b=Two <end>"},
      {"E {\ns:\n  a=\"x y\" b=\"open\n}", "[s] a=\"x y\" b=\"open \" <end>"},
      {"E {\ns:\n  a=12\\\n     34 b=5\n}", "[s] a=1234 b=5 <end>"},
      {"E {\ns:\n  a=12\\\n\n  34\n}", "[s] a=1234 <end>"},
      {"E {\ns: ; note\n ; whole line\n\ta=1\t;c=2\n  d=3\n}", "[s] a=1 d=3 <end>"},
      {"E {\ns:\n  flag other= b=\n c=4}", "[s] flag= other= b= c=4 <end>"},
      {"E {\ns:\n  a=1 b=}", "[s] a=1 <end>"},
      {"E {\ns: t: u:v=1\n}", "[s] [t] [u] v=1 <end>"},
      {"E { a=1 }", "a=1 <end>"},
      {"E {\n}", "<end>"},
  };
  for (const Case& c : cases) EXPECT_EQ(Dump(c.Text), c.Dump) << c.Text;
}

TEST(ParReader, CommentLinesLoseTheirLeadingBlanks) {
  TParReader r;
  r.LoadFromText(
      "Other {\n}\nE { ; same line\r\n  ;   indented\r\n;\r\n\t; tab\r\nfractal:\r\n; not a "
      "comment\r\n}");
  ASSERT_TRUE(r.FindEntry("E"));
  const std::vector<std::string> expected = {"same line", "indented", "", "tab"};
  EXPECT_EQ(r.Comments(), expected);
  std::string key;
  EXPECT_FALSE(r.ReadKey(key));
  EXPECT_EQ(r.SectionName(), "fractal");
  EXPECT_EQ(r.Comments(), expected);
}

// Reads the first item of "E {\ns:\n  <item>\n}".
void ReadItem(TParReader& r, const std::string& item) {
  r.LoadFromText("E {\ns:\n\n  " + item + "\n}");
  std::string key;
  r.ReadKey(key);
  ASSERT_TRUE(r.ReadKey(key)) << item;
}

TEST(ParReader, ValueForms) {
  TParReader r;
  ReadItem(r, "f=1.5E-7");
  EXPECT_EQ(r.ValueFloat(), 1.5E-7L);
  ReadItem(r, "c=-1.5/2");
  EXPECT_EQ(r.ValueComplex(), std::complex<long double>(-1.5L, 2));
  ReadItem(r, "i=-2147483648");
  EXPECT_EQ(r.ValueInteger(), -2147483647 - 1);
  ReadItem(r, "w=ROUGH");
  EXPECT_EQ(r.ValueWord(), "rough");
  EXPECT_EQ(r.ValueText(), "ROUGH");
  for (const char* yes : {"b=yes", "b=Yes", "b=YES"}) {
    ReadItem(r, yes);
    EXPECT_TRUE(r.ValueBoolean()) << yes;
  }
  ReadItem(r, "b=nO");
  EXPECT_FALSE(r.ValueBoolean());
}

TEST(ParReader, ValueErrors) {
  struct Case {
    const char* Item;
    std::function<void(TParReader&)> Read;
    const char* Message;
  } cases[] = {
      {"c=1.5", [](TParReader& r) { r.ValueComplex(); }, "Invalid file format (line 4)"},
      {"b=true", [](TParReader& r) { r.ValueBoolean(); }, "Invalid file format (line 4)"},
      {"i=12x", [](TParReader& r) { r.ValueInteger(); }, "'12x' is not a valid integer value"},
      {"i=2147483648", [](TParReader& r) { r.ValueInteger(); },
       "'2147483648' is not a valid integer value"},
      {"f=1,5", [](TParReader& r) { r.ValueFloat(); }, "'1,5' is not a valid floating point value"},
      {"c=1/x", [](TParReader& r) { r.ValueComplex(); }, "'x' is not a valid floating point value"},
  };
  for (const Case& c : cases) {
    TParReader r;
    ReadItem(r, c.Item);
    EXPECT_EQ(ErrorMessageOf([&] { c.Read(r); }), c.Message) << c.Item;
  }
}

TEST(ParReader, MissingParameterIsReportedOncePerTriple) {
  TRecordingUserInterface ui;
  TUserInterfaceGuard guard(ui);
  TParReader r;
  for (int layer = 0; layer < 5; ++layer)
    r.ReportMissingParameter("Standard.zfm", "Julia", "p_seed");
  r.ReportMissingParameter("Standard.zfm", "Julia", "p_other");
  const auto records = ui.Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Text,
            "Could not locate the parameter 'p_seed'\rin 'Julia' in 'Standard.zfm'.\r\r"
            "The parameter set may not be restored correctly.");
  EXPECT_EQ(records[0].Kind, TMessageKind::kWarning);

  TParReader quiet;
  quiet.Quiet = true;
  quiet.ReportMissingParameter("a", "b", "c");
  EXPECT_EQ(ui.Records().size(), 2u);
}

class ParReaderFindEntry : public ::testing::Test {
 protected:
  void SetUp() override { ConfigManager().FormulaDirectory = dir_.path().string(); }
  testing::TempDir dir_;
  testing::TKeepValue<std::string> formulas_{ConfigManager().FormulaDirectory};
  testing::TKeepValue<std::string> colorings_{ConfigManager().ColoringDirectory};
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

const char* const kCarryingText =
    "Set {\nfractal:\n numlayers=1\n}\n\n"
    "My_Forms.zfm:Julia {\n  z = pixel:\n  z = z*z + 0.3\n  |z| < 4\n}\n"
    "FRM:Mandel { z = 0: z = z*z + pixel }\n";

TEST_F(ParReaderFindEntry, CarriedEntriesAreAppendedToTheirCollectionFiles) {
  TParReader r;
  r.LoadFromText(kCarryingText);
  std::string file = "My Forms.zfm", entry = "Julia";
  ASSERT_TRUE(r.FindEntry(file, entry, kParFormula));
  EXPECT_EQ(file, (dir_.path() / "My Forms.zfm").string());
  EXPECT_EQ(entry, "Julia");
  TCode code;
  code.LoadFile(file);
  ASSERT_TRUE(code.FindEntry("Julia"));
  EXPECT_EQ(testing::ReadFile(file),
            "Julia {\r\n  z = pixel:\r\n  z = z*z + 0.3\r\n  |z| < 4\r\n}\r\n");
  EXPECT_TRUE(ui_.Records().empty());
  EXPECT_EQ(r.EntryName, "Set");  // the reader stays on its own entry

  // A Fractint formula goes after the entries of an existing file.
  dir_.Write("Mine.zfm", "Old { z = 0 }\n\n\n");
  file = "Mine.zfm", entry = "Mandel";
  ASSERT_TRUE(r.FindEntry(file, entry, kParFormula));
  EXPECT_EQ(testing::ReadFile(file), "Old { z = 0 }\n\nMandel { z = 0: z = z*z + pixel }\n");
  // Only formulas may come as Fractint entries.
  ConfigManager().ColoringDirectory = dir_.path().string();
  file = "Mine.zcl";
  r.Quiet = true;
  EXPECT_FALSE(r.FindEntry(file, entry, kParInsideColoring));
}

TEST_F(ParReaderFindEntry, SearchIsOfferedOnceAndTheChoiceRemembered) {
  TParReader r;
  r.LoadFromText(kCarryingText);
  ui_.QueueAnswer(TAnswer::kYes);
  ui_.QueueBrowse("/other/Lib.zcl", "Picked");
  std::string file = "Gone.zcl", entry = "Lost";
  ASSERT_TRUE(r.FindEntry(file, entry, kParOutsideColoring));
  EXPECT_EQ(file, "/other/Lib.zcl");
  EXPECT_EQ(entry, "Picked");
  file = "gone.ZCL", entry = "LOST";
  ASSERT_TRUE(r.FindEntry(file, entry, kParInsideColoring));
  EXPECT_EQ(entry, "Picked");
  const auto records = ui_.Records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(
      records[0].Text,
      "Could not find the entry 'Lost' in 'Gone.zcl'.\r\rDo you want to search for it yourself?");
  ASSERT_EQ(ui_.Browsed().size(), 1u);
  EXPECT_EQ(ui_.Browsed()[0], TEntryBrowseKind::kColoring);
}

// Collection files are found through the resolved folder settings, so that the
// shipped data is found from the build tree and from an installed tree alike.
TEST_F(ParReaderFindEntry, KindFoldersResolveAgainstTheProgramsFolder) {
  struct TCase {
    std::string Setting;
    std::string Folder;
  };
  const TCase cases[] = {
      {"", ProgramFolder()},
      {"extra/", ProgramFolder() + "extra/"},
      {"/opt/formulas", "/opt/formulas/"},
  };
  for (const TCase& c : cases) {
    ConfigManager().FormulaDirectory = c.Setting;
    EXPECT_EQ(TParReader::KindFolder(kParFormula), c.Folder) << c.Setting;
    EXPECT_EQ(TParReader::InKindFolder("Standard.zfm", kParFormula), c.Folder + "Standard.zfm");
    EXPECT_EQ(TParReader::InKindFolder("/x/Own.zfm", kParFormula), "/x/Own.zfm");
  }
  ConfigManager().ColoringDirectory = "";
  EXPECT_EQ(TParReader::KindFolder(kParInsideColoring), ProgramFolder());
  EXPECT_EQ(TParReader::KindFolder(kParOutsideColoring), ProgramFolder());
}

TEST_F(ParReaderFindEntry, NoAnswerCancelAndQuietReportFailure) {
  TParReader r;
  r.LoadFromText(kCarryingText);
  std::string file = "Gone.zfm", entry = "Lost";
  EXPECT_FALSE(r.FindEntry(file, entry, kParFormula));  // the default answer is No
  ui_.QueueAnswer(TAnswer::kYes);                       // and the browser is cancelled
  EXPECT_FALSE(r.FindEntry(file, entry, kParFormula));
  r.Quiet = true;
  EXPECT_FALSE(r.FindEntry(file, entry, kParFormula));
  EXPECT_EQ(ui_.Records().size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "Gone.zfm"));
}

}  // namespace
}  // namespace zt
