// Tests of the entry collection reader: header search, the character walk the
// tokenizer sees, titles, the file cache and the entry edits.
#include "formula/language/code.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "testing/test_support.h"

namespace zt {
namespace {

// Fills a reader with `text` split at '\n', as a caller-filled list.
void Fill(TCode& code, const std::string& text) {
  code.Lines.Clear();
  std::stringstream in(text);
  for (std::string line; std::getline(in, line);) code.Lines.Add(line);
  code.FindFirstEntry();
}

// The characters of the current body as the tokenizer reads them; after a ';'
// the rest of the line is skipped when `skipComments` is set.
std::string Walk(TCode& code, bool skip_comments = false, int limit = 100000) {
  std::string read;
  while (!code.EndOfEntry && limit-- > 0) {
    char c = code.CurrentChar();
    read += c;
    if (skip_comments && c == ';') {
      code.SkipRestOfLine();
    } else {
      code.NextChar();
    }
  }
  EXPECT_GT(limit, 0) << "the walk did not end";
  return read;
}

std::vector<std::string> Names(TCode& code) {
  std::vector<std::string> names;
  for (code.FindFirstEntry(); code.Found; code.FindNextEntry()) names.push_back(code.EntryName);
  return names;
}

std::vector<std::string> Contents(const TFastStringList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
  return lines;
}

TEST(CodeTest, NewReaderHasNoEntry) {
  TCode code;
  EXPECT_TRUE(code.EndOfEntry);
  EXPECT_FALSE(code.Found);
  EXPECT_EQ(code.Lines.Count(), 0);
  EXPECT_EQ(code.CurrentChar(), 0);
  EXPECT_TRUE(code.AtLastChar());
  code.NextChar();
  code.SkipRestOfLine();
  EXPECT_TRUE(code.EndOfEntry);
}

TEST(CodeTest, HeaderForms) {
  struct Case {
    std::string Text, Name, Args;
    int HeaderColumn;
  } cases[] = {
      {"name {", "name", "", 0},
      {"name(XAXIS) {", "name", "XAXIS", 0},
      {"  name (XYAXIS){", "name", "XYAXIS", 2},
      {"name { ; }", "name", "", 0},
      {"x = 1 }name {", "name", "", 7},
      {"old } new{", "new", "", 6},
      {"; old {\n new {", "new", "", 1},
      {"a ; b {\nc{", "c", "", 0},
      {"{\n(XAXIS) {\n () {\n}{\nlast {", "last", "", 0},
      {"(a) { b {", "b", "", 6},
  };
  for (const Case& c : cases) {
    TCode code;
    Fill(code, c.Text);
    ASSERT_TRUE(code.Found) << c.Text;
    EXPECT_EQ(code.EntryName, c.Name) << c.Text;
    EXPECT_EQ(code.EntryArgs, c.Args) << c.Text;
    EXPECT_EQ(code.HeaderColumn, c.HeaderColumn) << c.Text;
  }
  for (const char* text : {"", "no entries here", "{", "(XAXIS) {", "  ; a {", ")", "} {"}) {
    TCode code;
    Fill(code, text);
    EXPECT_FALSE(code.Found) << text;
    EXPECT_TRUE(code.EndOfEntry) << text;
    EXPECT_EQ(code.CurrentChar(), 0) << text;
  }
}

// Fractint's formula files put "=" or a settings list between the name and the
// brace; with FractintDialect the name is the one Fractint gives the entry, and
// without it (our own collections) the text reads as it always did.
TEST(CodeTest, FractintHeaderForms) {
  struct Case {
    std::string Text, FractintName, Args, PlainName;
  } cases[] = {
      {"REB004A = {", "REB004A", "", "="},
      {"Sam_0(XAXIS) = {", "Sam_0", "XAXIS", "="},
      {"Mask [float=y] {", "Mask", "", "[float=y]"},
      {"REBRefInd2[float=y] {", "REBRefInd2", "", "REBRefInd2[float=y]"},
      {"Halley (XYAXIS) [float=y] {", "Halley", "XYAXIS", "[float=y]"},
      {"F'M-C(XAXIS)[float=y periodicity=0] {", "F'M-C", "XAXIS", "periodicity=0]"},
      {"2newSin[tan[z]]{", "2newSin", "", "2newSin[tan[z]]"},
      {"[float=y] {", "[float=y]", "", "[float=y]"},
      {"odd] {", "odd]", "", "odd]"},
  };
  for (const Case& c : cases) {
    for (bool fractint : {true, false}) {
      TCode code;
      code.FractintDialect = fractint;
      Fill(code, c.Text);
      ASSERT_TRUE(code.Found) << c.Text;
      EXPECT_EQ(code.EntryName, fractint ? c.FractintName : c.PlainName) << c.Text;
      if (fractint) {
        EXPECT_EQ(code.EntryArgs, c.Args) << c.Text;
      }
    }
  }
  testing::TempDir dir;
  for (const char* file : {"a.frm", "b.FRM", "c.zfm"}) {
    TCode code;
    code.LoadFile(dir.Write(file, "Mask [float=y] {\n}\n").string());
    EXPECT_EQ(code.EntryName, std::string(file) == "c.zfm" ? "[float=y]" : "Mask") << file;
  }
}

TEST(CodeTest, ScanResumesAfterTheOpeningBrace) {
  TCode code;
  Fill(code,
       "; collection\n"
       "first {\n"
       "  inner {\n"
       "}\n"
       "\n"
       "second(ORIGIN) { } third {}\n"
       "fourth {");
  EXPECT_EQ(Names(code), (std::vector<std::string>{"first", "inner", "second", "third", "fourth"}));
  code.SetPosition(5, 3);  // inside the name "second"
  EXPECT_EQ(code.EntryName, "second");
  code.SetPosition(5, 17);
  EXPECT_EQ(code.EntryName, "third");
  EXPECT_EQ(code.HeaderLine, 5);
  EXPECT_EQ(code.BodyLine, 5);
  EXPECT_EQ(code.BodyColumn, 26);
}

TEST(CodeTest, BodyWalks) {
  struct Case {
    std::string Text, Read;
  } cases[] = {
      {"a {\n  z = 1\n}", "   z = 1 "},  // each line break reads as one blank
      {"a {z=1}", "z=1"},
      {"a {}", ""},
      {"a {\n\n}", "  "},
      {"a {\nz = 1 + \\\n\n   2\n}", " z = 1 + 2 "},       // joined, blank lines skipped
      {"a {\nx\\  \n\\\ny\n}", " xy "},                    // a line of only `\` joins too
      {"a {\nz = \"a\\b\" \\x\n}", " z = \"a\\b\" \\x "},  // `\` inside a line is text
      {"a {\ns = \"}\"\n}", " s = \""},                    // any `}` reached ends the body
      {"a {\nz", " z "},                                   // unterminated: ends with the file
      {"a {\nz \\", " z  "},
  };
  for (const Case& c : cases) {
    TCode code;
    Fill(code, c.Text);
    ASSERT_TRUE(code.Found) << c.Text;
    EXPECT_EQ(Walk(code), c.Read) << c.Text;
    EXPECT_EQ(code.CurrentChar(), 0);
  }
}

TEST(CodeTest, SkipRestOfLineHidesClosingBraceInComment) {
  TCode code;
  Fill(code, "a {\n x ; } not the end\n y\n}");
  EXPECT_EQ(Walk(code, true), "  x ;  y ");
  EXPECT_EQ(code.Line, 3);
}

TEST(CodeTest, PositionQueries) {
  TCode code;
  Fill(code, "a {\nxy\n}");
  EXPECT_TRUE(code.LineEnd);
  EXPECT_EQ(code.CurrentChar(), ' ');
  EXPECT_TRUE(code.AtLastChar());
  code.NextChar();
  EXPECT_EQ(code.CurrentChar(), 'x');
  EXPECT_EQ(code.Line, 1);
  EXPECT_EQ(code.Column, 0);
  EXPECT_FALSE(code.AtLastChar());
  TCodePosition saved = code.SavePosition();
  code.NextChar();
  EXPECT_EQ(code.CurrentChar(), 'y');
  EXPECT_TRUE(code.AtLastChar());
  code.NextChar();
  code.NextChar();
  EXPECT_TRUE(code.EndOfEntry);
  code.RestorePosition(saved);
  EXPECT_EQ(Walk(code), "xy ");
}

TEST(CodeTest, EntryStartedRunsOnEveryReset) {
  struct TCounting : TCode {
    int Starts = 0;
    void EntryStarted() override { ++Starts; }
  } code;
  Fill(code, "a {\n}\nb {\n}");
  EXPECT_EQ(code.Starts, 1);
  code.SelectEntry("b");
  code.SelectEntry("b");
  EXPECT_EQ(code.Starts, 4);  // a, a again by the search, b, b by the shortcut
}

TEST(CodeTest, SelectEntryIgnoresCaseAndNamesWhatIsMissing) {
  testing::TempDir dir;
  auto file = dir.Write("set.zfm", "Mandel {\nz = 0\n}\nOther {\n}\n").string();
  TCode code;
  code.LoadFile(file);
  code.SelectEntry("MANDEL");
  EXPECT_EQ(code.EntryName, "Mandel");
  EXPECT_EQ(Walk(code), " z = 0 ");
  EXPECT_EQ(testing::ErrorMessageOf<ECodeError>([&] { code.SelectEntry("Missing"); }),
            "Could not find the entry 'Missing' in '" + file + "'");
  EXPECT_FALSE(code.Found);
  EXPECT_FALSE(code.FindEntry("Mandel "));
}

TEST(CodeTest, UnreadableFilesRaiseCouldNotOpen) {
  testing::TempDir dir;
  TCode code;
  code.LoadFile(dir.Write("ok.zfm", "kept {\n}").string());
  for (const std::string& file : {(dir.path() / "missing.zfm").string(), dir.path().string()}) {
    EXPECT_EQ(testing::ErrorMessageOf<ECodeError>([&] { code.LoadFile(file); }),
              "Could not open '" + file + "'");
  }
  EXPECT_EQ(code.Lines[0], "kept {");
}

TEST(CodeTest, TabsExpandWithTheTabSize) {
  testing::TempDir dir;
  auto file = dir.Write("tabs.zfm", "a {\n\tz\n}").string();
  TCode code;
  struct Case {
    int Setting, Used;
  } cases[] = {{2, 2}, {0, 1}, {99, 16}};
  for (const Case& c : cases) {
    code.SetTabSize(c.Setting);
    code.LoadFile(file);
    EXPECT_EQ(code.TabSize, c.Used);
    EXPECT_EQ(code.Lines[1], std::string(c.Used, ' ') + "z");
  }
}

TEST(CodeTest, UnchangedFileIsReadOnce) {
  testing::TempDir dir;
  auto path = dir.Write("cache.zfm", "one {\n}");
  auto date = std::filesystem::last_write_time(path);
  TCode code;
  code.LoadFile(path.string());
  code.SelectEntry("one");
  dir.Write("cache.zfm", "two {\n}");
  std::filesystem::last_write_time(path, date);
  code.LoadFile(path.string());
  EXPECT_EQ(code.EntryName, "one");  // same name and time: the lines were kept
  std::filesystem::last_write_time(path, date + std::chrono::seconds(1));
  code.LoadFile(path.string());
  EXPECT_EQ(code.EntryName, "two");
}

TEST(CodeTest, Titles) {
  struct Case {
    std::string Section, Text, Title;
  } cases[] = {
      {"DEFAULT", "a {\ndefault:\n  title = \"My title\"\n}", "My title"},
      {"DEFAULT", "a { Default: TITLE=\"Same line\" }", "Same line"},
      {"DEFAULT", "a {\ndefault:\ntitle = \"Long \\\n   title\" ; note\n}", "Long title"},
      {"DEFAULT", "a {\ndefault:\ntitle = \"Ratio: 2\"\n}", "Ratio: 2"},
      {"DEFAULT", "a {\ninit:\ntitle = \"not here\"\n}", "a"},
      {"DEFAULT", "a {\ndefault:\nloop:\ntitle = \"not here\"\n}", "a"},
      {"DEFAULT", "a {\ndefault:\n; title = \"comment\"\n}", "a"},
      {"DEFAULT", "a {\ndefault:\ntitle = \"\n}", "a"},
      {"DEFAULT", "a {\ndefault:\ntitle \"no equals\"\n}", "a"},
      {"DEFAULT", "a {\ndefault:\ntitle = \"unclosed\n}", "unclosed"},
      {"DEFAULT", "a {\ndefault:\ntitle = \"\"\n}", ""},
      {"FRACTAL", "a {\nfractal:\n  title=\"Picture\" width=640\n}", "Picture"},
      {"FRACTAL", "a {\ndefault:\n  title=\"Picture\"\n}", "a"},
  };
  for (const Case& c : cases) {
    TCode code;
    code.ReadTitles = true;
    code.TitleSection = c.Section;
    Fill(code, c.Text);
    EXPECT_EQ(code.Title, c.Title) << c.Text;
  }
}

TEST(CodeTest, EndPositionIsKeptWhileReadingTitles) {
  TCode code;
  Fill(code, "a {\n x = \"}\" ; }\n} b {\n y\n");
  EXPECT_EQ(code.EndLine, code.BodyLine);
  code.ReadTitles = true;
  code.FindFirstEntry();
  EXPECT_EQ(code.EndLine, 1);
  EXPECT_EQ(code.EndColumn, 6);  // the `}` inside the string
  code.FindNextEntry();
  EXPECT_EQ(code.EntryName, "b");
  EXPECT_EQ(code.EndLine, 3);  // unterminated: the end of the file
  EXPECT_EQ(code.EndColumn, 1);
}

TEST(CodeTest, SetTitle) {
  struct Case {
    std::string Text, Title;
    std::vector<std::string> Lines;
  } cases[] = {
      {"a {\ndefault:\n  title = \"Old\" ; note\n}",
       "New",
       {"a {", "default:", "  title = \"New\" ; note", "}"}},
      {"a {\ndefault:\n title=\"Old \\\n  more\" x\n}",
       "New",
       {"a {", "default:", " title=\"New\" x", "}"}},
      {"a {\ndefault: title = \"Old }", "Say \"hi\"", {"a {", "default: title = \"Say 'hi'\" }"}},
      {"a {\ninit:\nz = 0\ndefault:\n  center = (0,0)\n}",
       "New",
       {"a {", "init:", "z = 0", "default:", "  title = \"New\"", "  center = (0,0)", "}"}},
      {"a {\ninit:\nz = 0\n}",
       "New",
       {"a {", "default:", "  title = \"New\"", "init:", "z = 0", "}"}},
      {"a { init: z = 0\n}", "New", {"a {", "default:", "  title = \"New\"", " init: z = 0", "}"}},
      {"a {\nz = pixel:\nz = z*z + c }",
       "New",
       {"a {", "z = pixel:", "z = z*z + c ", "default:", "  title = \"New\"", "}"}},
  };
  for (const Case& c : cases) {
    TCode code;
    Fill(code, c.Text);
    code.SetTitle(c.Title);
    EXPECT_EQ(Contents(code.Lines), c.Lines) << c.Text;
    code.ReadTitles = true;
    code.FindFirstEntry();
    EXPECT_EQ(code.Title, c.Lines == cases[2].Lines ? "Say 'hi'" : c.Title) << c.Text;
  }
}

TEST(CodeTest, EditsSaveToTheFile) {
  testing::TempDir dir;
  auto path = dir.Write("set.zfm", "a {\n}\n\nb {\n}\n");
  TCode code;
  code.LoadFile(path.string());
  code.SelectEntry("b");
  code.SetTitle("Bee");
  EXPECT_EQ(testing::ReadFile(path), "a {\n}\n\nb {\ndefault:\n  title = \"Bee\"\n}\n");
  code.SelectEntry("a");
  code.DeleteEntry();
  EXPECT_EQ(testing::ReadFile(path), "b {\ndefault:\n  title = \"Bee\"\n}\n");
  code.LoadFile(path.string());  // the saved file is the cached one
  EXPECT_EQ(code.EntryName, "b");

  code.FileName = (dir.path() / "gone" / "set.zfm").string();
  EXPECT_EQ(testing::ErrorMessageOf<ECodeError>([&] { code.DeleteEntry(); }),
            "Could not create '" + code.FileName + "'");
}

TEST(CodeTest, DeleteEntryLeavesOneBlankLineBetweenNeighbours) {
  struct Case {
    std::string Text, Name;
    std::vector<std::string> Lines;
  } cases[] = {
      {"a {\n}\n\nb {\nx\n}\n\n\nc {\n}", "b", {"a {", "}", "", "c {", "}"}},
      {"a {\n}\n\nb {\n}", "a", {"b {", "}"}},
      {"a {\n}\n\nb {\n}\n\n", "b", {"a {", "}"}},
      {"a {\n}\nb {\n}\nc {\n}", "b", {"a {", "}", "", "c {", "}"}},
      {"a { } b { x } c { }", "b", {"a { }  c { }"}},
      {"a {\n}\n\nb {\nx", "b", {"a {", "}"}},
  };
  for (const Case& c : cases) {
    TCode code;
    Fill(code, c.Text);
    code.SelectEntry(c.Name);
    code.DeleteEntry();
    EXPECT_EQ(Contents(code.Lines), c.Lines) << c.Text;
    EXPECT_FALSE(code.Found);
    code.FindNextEntry();  // the scan goes on after the gap
    EXPECT_TRUE(code.Found == (c.Name != "b" || c.Lines.size() > 2)) << c.Text;
  }
}

TEST(CodeTest, AppendAndCopyEntries) {
  TCode code;
  Fill(code, "a {\n}\n x = 1 } b(XAXIS) {\n  z = 0\n } tail\n\n\n");
  code.SelectEntry("b");
  TFastStringList copy;
  copy.Add("replaced");
  code.CopyEntry(copy);
  EXPECT_EQ(Contents(copy), (std::vector<std::string>{"b(XAXIS) {", "  z = 0", " }"}));

  code.AppendEntry(copy);
  EXPECT_EQ(Contents(code.Lines),
            (std::vector<std::string>{"a {", "}", " x = 1 } b(XAXIS) {", "  z = 0", " } tail", "",
                                      "b(XAXIS) {", "  z = 0", " }"}));
  TCode empty;
  empty.AppendEntry(copy);
  empty.AppendEntry(empty.Lines);
  EXPECT_EQ(empty.Lines.Count(), 7);
  EXPECT_EQ(Contents(empty.Lines)[3], "");

  code.SelectEntry("a");
  code.CopyEntry(code.Lines);
  EXPECT_EQ(Contents(code.Lines), (std::vector<std::string>{"a {", "}"}));
}

TEST(CodeTest, SplitLine) {
  TCode code;
  Fill(code, "abc {");
  EXPECT_EQ(code.SplitLine(0, 3), 1);
  EXPECT_EQ(code.SplitLine(1, 99), 2);
  EXPECT_EQ(Contents(code.Lines), (std::vector<std::string>{"abc", " {", ""}));
}

TEST(CodeTest, HostileInputNeitherCrashesNorHangs) {
  testing::TempDir dir;
  std::string huge(1 << 20, 'x');
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 7919 % 256);
  std::string braces;
  for (int i = 0; i < 20000; ++i) braces += "a{\\ ";
  for (const std::string& text :
       {"big {\n" + huge + "\n}", "w { " + huge + "\\", std::string(1 << 20, '\\'), binary,
        std::string(100000, '{'), braces}) {
    auto path = dir.Write("hostile.zfm", text);
    TCode code;
    code.ReadTitles = text.size() < 100000;
    code.LoadFile(path.string());
    int entries = 0;
    for (; code.Found && entries < 100; ++entries) {
      Walk(code, true, 3 << 20);
      code.FindNextEntry();
    }
  }
}

TEST(CodeTest, ReadsTheFractintFormulaFiles) {
  auto dir = testing::FractintDir();
  if (dir.empty()) GTEST_SKIP() << "no Fractint files";
  int files = 0;
  int entries = 0;
  for (const auto& item : std::filesystem::directory_iterator(dir / "frm")) {
    if (!item.is_regular_file()) continue;
    TCode code;
    code.ReadTitles = true;
    code.LoadFile(item.path().string());
    ++files;
    for (; code.Found; code.FindNextEntry()) {
      ++entries;
      std::string body = Walk(code, true, 1 << 20);
      EXPECT_FALSE(code.EntryName.empty());
      EXPECT_NE(code.EntryName.front(), '[') << item.path();
      EXPECT_NE(code.EntryName, "=") << item.path();
      EXPECT_FALSE(body.empty()) << code.EntryName;
    }
  }
  EXPECT_EQ(files, 21);
  EXPECT_EQ(entries, 792);
}

}  // namespace
}  // namespace zt
