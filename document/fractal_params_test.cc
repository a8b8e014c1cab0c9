// Tests of the document as parameter text: a stable round trip of a document
// that differs from the defaults everywhere, the omission rules of the
// "fractal" section, the layer count checks, the hand-over of Fractint entries
// and loading an entry of a parameter file.
#include "document/fractal_params.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "document/fractal_test_util.h"
#include "document/params/par_reader.h"
#include "document/params/par_writer.h"
#include "document/settings/config_manager.h"
#include "formula/language/code.h"
#include "platform/thread.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt {
namespace {

using testing::ErrorMessageOf;

// The collections come from the program's folder.
class FractalParams : public testing::FractalTest {
 protected:
  static void Load(TFractal& fractal, const std::string& text, bool ignore_size = false) {
    TParReader r;
    r.LoadFromText(text);
    fractal.LoadFromParameters(r, ignore_size);
  }
  static std::string Save(TFractal& fractal, const std::string* title = nullptr) {
    TParWriter w("Set");
    fractal.SaveToParameters(w, title);
    return w.Text();
  }

  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

// A shipped set of two layers with a transformation, at a small size and with
// the document's own fields changed too.
TEST_F(FractalParams, DocumentTextDocumentTextIsStable) {
  TFractal first("Doc");
  first.SetWidth(12);
  first.SetHeight(8);
  TParReader r;
  r.LoadFromFile((testing::SourceDir() / "data" / "Examples.zpr").string(), "JuliaKaleidoscope");
  first.LoadFromParameters(r, true);
  EXPECT_EQ(first.Title(), "Julia Kaleidoscope");
  EXPECT_EQ(first.Width(), 12);
  ASSERT_EQ(first.Layers().Count(), 2);
  EXPECT_EQ(first.Layers()[0].Mapping().Transforms().Count(), 1);
  first.SetResolution(150);
  first.SetGamma(1.5);
  first.SetAuthor("A. Person");
  first.SetComments({"First", "", "Time $calctime$"});
  Finish(first);
  first.Timer().SetElapsed(0);
  const std::string text = Save(first);
  const std::string head =
      "Set {\r\n"
      "; First\r\n"
      "; \r\n"
      "; Time 0:00:00.00\r\n"
      "fractal:\r\n"
      "  width=12 height=8 resolution=150 gamma=1.5 author=\"A. Person\"\r\n"
      "  created=\"December 6, 2026\" numlayers=2\r\n"
      "layer:\r\n";
  EXPECT_EQ(text.substr(0, head.size()), head);

  TFractal second("Other");
  Load(second, text);
  EXPECT_EQ(second.Title(), "Set");
  EXPECT_EQ(second.Comments(), (std::vector<std::string>{"First", "", "Time 0:00:00.00"}));
  Finish(second);
  second.Timer().SetElapsed(0);
  EXPECT_EQ(Save(second), text);
  EXPECT_TRUE(ui_.Records().empty());
}

TEST_F(FractalParams, DefaultsAreOmittedAndAGivenTitleIsWrittenWithoutModifying) {
  TFractal fractal("Plain");
  fractal.SetWidth(5);
  fractal.SetHeight(4);
  fractal.SetAuthor("");
  fractal.SetCreated("");
  fractal.SetComments({});
  fractal.SetModified(false);
  const std::string title = "New (title)";
  const std::string text = Save(fractal, &title);
  EXPECT_EQ(text.substr(0, text.find("layer:")),
            "Set {\r\nfractal:\r\n  title=\"New (title)\" width=5 height=4 numlayers=1\r\n");
  EXPECT_EQ(fractal.Title(), "New (title)");
  EXPECT_FALSE(fractal.Modified());
}

// Layer counts that disagree with numlayers, and what the document keeps.
TEST_F(FractalParams, LayerCountMismatchesAreFormatErrors) {
  struct TCase {
    const char* Text;
    const char* Message;
    int LayersKept;
  };
  const TCase cases[] = {
      {"S {\nfractal:\n width=4 height=4 numlayers=2\nlayer:\n caption=\"a\"\nlayer:\n"
       " caption=\"b\"\nlayer:\n caption=\"c\"\n}\n",
       "Invalid file format (line 8)", 2},
      {"S {\nfractal:\n width=4 height=4 numlayers=2\nlayer:\n caption=\"a\"\n}\n",
       "Invalid file format (line 6)", 1},
      {"S {\nfractal:\n width=4 height=4 numlayers=0\n}\n", "Invalid file format (line 4)", 3},
      {"S {\nfractal:\n width=4 height=4\n}\n", "Invalid file format (line 4)", 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    TFractal fractal("Doc");
    fractal.AddLayer("Two");
    fractal.AddLayer("Three");
    EXPECT_EQ(ErrorMessageOf([&] { Load(fractal, c.Text); }), c.Message);
    EXPECT_EQ(fractal.Layers().Count(), c.LayersKept);
    EXPECT_EQ(fractal.UpdateCount(), 0);
  }
}

// The import itself is tested in document/fractint; here only the hand-over:
// the document's own fields come from the entry, its layers from the import.
TEST_F(FractalParams, AFractintEntryGoesToTheImport) {
  TFractal fractal("Doc");
  fractal.AddLayer("Two");
  fractal.SetAuthor("Someone");
  Load(fractal, "Old_set {\n; A comment\n reset=1900 type=mandel maxiter=50\n}\n", true);
  EXPECT_EQ(fractal.Title(), "Old set");
  EXPECT_EQ(fractal.Author(), "");
  EXPECT_EQ(fractal.Comments(), std::vector<std::string>{"A comment"});
  ASSERT_EQ(fractal.Layers().Count(), 1);
  EXPECT_EQ(fractal.Layers()[0].Caption(), "Layer 1");
  EXPECT_EQ(fractal.Layers()[0].Formula().Code().EntryName, "mandel");
  EXPECT_EQ(fractal.Layers()[0].Formula().MaxIterations(), 49);
  EXPECT_EQ(fractal.UpdateCount(), 0);
}

TEST_F(FractalParams, AParameterFileEntryIsFoundByNameOrTakenFirst) {
  const std::string file =
      dir_.Write("sets.zpr",
                 "First {\nfractal:\n width=3 height=2 numlayers=1\nlayer:\n caption=\"one\"\n}\n"
                 "Second {\nfractal:\n width=5 height=4 numlayers=1\nlayer:\n caption=\"two\"\n}\n")
          .string();
  const struct {
    const char* Entry;
    int Width;
    const char* Caption;
  } cases[] = {{"", 3, "one"}, {"Second", 5, "two"}, {"first", 3, "one"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Entry);
    TFractal fractal("Doc");
    LoadParameterFile(fractal, file, c.Entry);
    EXPECT_EQ(fractal.Width(), c.Width);
    EXPECT_EQ(fractal.CurrentLayer().Caption(), c.Caption);
  }
  TFractal fractal("Doc");
  EXPECT_EQ(ErrorMessageOf([&] { LoadParameterFile(fractal, file, "Third"); }),
            "Could not find the entry 'Third' in '" + file + "'");
  const std::string empty = dir_.Write("empty.zpr", "").string();
  EXPECT_EQ(ErrorMessageOf([&] { LoadParameterFile(fractal, empty, ""); }),
            "Invalid file format (line 1)");
}

// A set saved with its own formula carries it along; where that collection is
// missing, loading the set writes the entry back into it without asking.
TEST_F(FractalParams, SavedSetsCarryTheirNonStandardEntries) {
  // Sets name collections without their folder: the formula folder is the test's.
  TConfigManager& config = ConfigManager();
  const testing::TKeepValue<std::string> keep(config.FormulaDirectory);
  config.FormulaDirectory = dir_.path().string() + "/";
  const std::string collection =
      dir_.Write("My Forms.zfm", "Cubic {\nloop:\n  z = z * z * z + #pixel\n}\n").string();
  const std::string layer =
      "layer:\n  visible=yes alpha=no\nmapping:\n  center=0/0 magn=1 angle=0\n"
      "formula:\n  filename=\"" +
      collection +
      "\" entry=\"Cubic\" maxiter=20 percheck=off\n"
      "outside:\n  filename=\"Standard.zcl\" entry=\"Iterations\" transfer=linear repeat=yes\n";
  TFractal fractal("Doc");
  Load(fractal, "Two {\nfractal:\n  width=8 height=6 numlayers=2\n" + layer + layer + "}\n");
  ASSERT_FALSE(fractal.Layers()[0].Formula().CompileFailed());
  const std::string sets = (dir_.path() / "sets.zpr").string();
  ASSERT_TRUE(SaveParameterSet(fractal, sets, "Carried (1)", true));
  ASSERT_TRUE(SaveParameterSet(fractal, sets, "Plain", false));
  const std::string text = testing::ReadFile(sets);
  EXPECT_EQ(text.find("Carried1 {"), 0u) << text;
  const size_t carried =
      text.find("\r\nMy_Forms.zfm:Cubic {\r\nloop:\r\n  z = z * z * z + #pixel\r\n}");
  ASSERT_NE(carried, std::string::npos) << text;
  EXPECT_EQ(text.find("My_Forms.zfm:Cubic {", carried + 3), std::string::npos);  // once
  EXPECT_EQ(text.find("Standard.zcl:"), std::string::npos);
  EXPECT_LT(carried, text.find("\r\nPlain {"));

  std::filesystem::remove(collection);
  TFractal loaded("Loaded");
  LoadParameterFile(loaded, sets, "Carried1");
  EXPECT_TRUE(ui_.Records().empty());
  EXPECT_EQ(loaded.Layers()[1].Formula().Code().EntryName, "Cubic");
  EXPECT_FALSE(loaded.Layers()[1].Formula().CompileFailed());
  EXPECT_NE(testing::ReadFile(collection).find("Cubic {"), std::string::npos);
  Finish(loaded);
}

}  // namespace
}  // namespace zt
