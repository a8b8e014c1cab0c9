// Tests of the document as parameter text: a stable round trip of a document
// that differs from the defaults everywhere, the omission rules of the
// "fractal" section, the layer count checks, Fractint entries and loading an
// entry of a parameter file.
#include "document/fractal_params.h"

#include <gtest/gtest.h>

#include "document/config_manager.h"
#include "document/par_reader.h"
#include "document/par_writer.h"
#include "formula/code.h"
#include "platform/thread.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt {
namespace {

using testing::ErrorMessageOf;

// Collection folders on the shipped files, the test thread as the main thread.
class FractalParams : public ::testing::Test {
 protected:
  void SetUp() override {
    MainThreadDispatcher().MakeCurrentThreadMain();
    TConfigManager& config = ConfigManager();
    saved_ = {config.FormulaDirectory, config.ColoringDirectory, config.TransformationDirectory};
    const std::string data = (testing::SourceDir() / "data").string();
    config.FormulaDirectory = config.ColoringDirectory = config.TransformationDirectory = data;
  }
  void TearDown() override {
    TConfigManager& config = ConfigManager();
    config.FormulaDirectory = saved_[0];
    config.ColoringDirectory = saved_[1];
    config.TransformationDirectory = saved_[2];
  }

  static void Finish(TFractal& fractal) {
    MainThreadDispatcher().WaitFor([&] {
      for (int i = 0; i < fractal.Layers().Count(); ++i)
        if (fractal.Layers()[i].State() == lsCalculating) return false;
      return !fractal.IsCalculating();
    });
  }
  static void Load(TFractal& fractal, const std::string& text, bool ignoreSize = false) {
    TParReader r;
    r.LoadFromText(text);
    fractal.LoadFromParameters(r, ignoreSize);
  }
  static std::string Save(TFractal& fractal, const std::string* title = nullptr) {
    TParWriter w("Set");
    fractal.SaveToParameters(w, title);
    return w.Text();
  }

  std::vector<std::string> saved_;
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

const char* const kFullSet =
    "My_Set {\n"
    ";  First comment\n"
    ";\n"
    "; Time $calctime$\n"
    "fractal:\n"
    "  width=12 height=8 resolution=150 gamma=1.5 author=\"A. Person\" created=\"May 4, 2001\"\n"
    "  numlayers=2\n"
    "unknown:\n"
    "  skipped=yes\n"
    "layer:\n"
    "  insolid=255 outsolid=65280 inalpha=10 method=linear caption=\"Top\" opacity=70\n"
    "  visible=no alpha=yes mergemode=screen\n"
    "mapping:\n"
    "  center=-0.5/0.25 magn=2.5 angle=0 numtransforms=1\n"
    "transform:\n"
    "  filename=\"Standard.zxf\" entry=\"Kaleidoscope\" enabled=no p_origin=0.1/0.2\n"
    "  p_segments=8 p_rotation=15 p_mirror=no\n"
    "formula:\n"
    "  filename=\"Standard.zfm\" entry=\"FunctionMandelbrot\" maxiter=50 percheck=rough\n"
    "  f_fn=cosh p_bailout=100\n"
    "inside:\n"
    "  filename=\"Standard.zcl\" entry=\"OrbitTrap\" density=0.5 transfer=sqrt offset=20\n"
    "outside:\n"
    "  filename=\"Standard.zcl\" entry=\"SmoothIterations\" transfer=log repeat=no\n"
    "gradient:\n"
    "  smooth=no position=15 numnodes=2 index=10 color=255 index=150 color=65535\n"
    "alpha:\n"
    "  smooth=yes numnodes=2 index=0 alpha=255 index=200 alpha=0\n"
    "layer:\n"
    "  caption=\"Bottom\" visible=yes alpha=no\n"
    "mapping:\n"
    "  center=1/-1 magn=0.5 angle=0\n"
    "formula:\n"
    "  filename=\"Standard.zfm\" entry=\"Mandelbrot\" maxiter=40 percheck=off\n"
    "}\n";

TEST_F(FractalParams, DocumentTextDocumentTextIsStable) {
  TFractal first("Doc");
  Load(first, kFullSet);
  EXPECT_EQ(first.Title(), "My Set");
  EXPECT_EQ(first.Width(), 12);
  EXPECT_EQ(first.Height(), 8);
  EXPECT_EQ(first.Resolution(), 150);
  EXPECT_EQ(first.Gamma(), 1.5);
  EXPECT_EQ(first.Author(), "A. Person");
  EXPECT_EQ(first.Created(), "May 4, 2001");
  EXPECT_EQ(first.Comments(), (std::vector<std::string>{"First comment", "", "Time $calctime$"}));
  ASSERT_EQ(first.Layers().Count(), 2);
  EXPECT_EQ(first.Layers()[0].Caption(), "Top");
  EXPECT_EQ(first.Layers()[0].Mapping().Transforms().Count(), 1);
  EXPECT_EQ(first.Layers()[1].Caption(), "Bottom");
  EXPECT_EQ(first.Layers()[1].Image().Width(), 12);

  Finish(first);
  first.Timer().SetElapsed(0);
  const std::string text = Save(first);
  const std::string head =
      "Set {\r\n"
      "; First comment\r\n"
      "; \r\n"
      "; Time 0:00:00.00\r\n"
      "fractal:\r\n"
      "  width=12 height=8 resolution=150 gamma=1.5 author=\"A. Person\"\r\n"
      "  created=\"May 4, 2001\" numlayers=2\r\n"
      "layer:\r\n";
  EXPECT_EQ(text.substr(0, head.size()), head);

  TFractal second("Other");
  Load(second, text);
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

TEST_F(FractalParams, IgnoringTheSizeKeepsSizeResolutionAndGamma) {
  TFractal fractal("Doc");
  fractal.SetWidth(7);
  fractal.SetHeight(3);
  Load(fractal, kFullSet, true);
  EXPECT_EQ(fractal.Width(), 7);
  EXPECT_EQ(fractal.Height(), 3);
  EXPECT_EQ(fractal.Resolution(), 300);
  EXPECT_EQ(fractal.Gamma(), 2.5);
  EXPECT_EQ(fractal.Layers().Count(), 2);
  EXPECT_EQ(fractal.Author(), "A. Person");
}

// Layer counts that disagree with numlayers, and what the document keeps.
TEST_F(FractalParams, LayerCountMismatchesAreFormatErrors) {
  struct TCase {
    const char* text;
    const char* message;
    int layersKept;
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
    SCOPED_TRACE(c.text);
    TFractal fractal("Doc");
    fractal.AddLayer("Two");
    fractal.AddLayer("Three");
    EXPECT_EQ(ErrorMessageOf([&] { Load(fractal, c.text); }), c.message);
    EXPECT_EQ(fractal.Layers().Count(), c.layersKept);
    EXPECT_EQ(fractal.UpdateCount(), 0);
  }
}

TEST_F(FractalParams, AFractintEntryIsRefusedWithoutTouchingTheDocument) {
  TFractal fractal("Doc");
  fractal.SetWidth(6);
  const std::string before = Save(fractal);
  EXPECT_EQ(ErrorMessageOf([&] { Load(fractal, "Old {\n reset=1900 type=mandel\n}\n"); }),
            "Fractint parameter entries cannot be imported yet");
  EXPECT_EQ(Save(fractal), before);
}

TEST_F(FractalParams, AParameterFileEntryIsFoundByNameOrTakenFirst) {
  testing::TempDir dir;
  const std::string file =
      dir.Write("sets.zpr",
                "First {\nfractal:\n width=3 height=2 numlayers=1\nlayer:\n caption=\"one\"\n}\n"
                "Second {\nfractal:\n width=5 height=4 numlayers=1\nlayer:\n caption=\"two\"\n}\n")
          .string();
  const struct {
    const char* entry;
    int width;
    const char* caption;
  } cases[] = {{"", 3, "one"}, {"Second", 5, "two"}, {"first", 3, "one"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    TFractal fractal("Doc");
    LoadParameterFile(fractal, file, c.entry);
    EXPECT_EQ(fractal.Width(), c.width);
    EXPECT_EQ(fractal.CurrentLayer().Caption(), c.caption);
  }
  TFractal fractal("Doc");
  EXPECT_EQ(ErrorMessageOf([&] { LoadParameterFile(fractal, file, "Third"); }),
            "Could not find the entry 'Third' in '" + file + "'");
  const std::string empty = dir.Write("empty.zpr", "").string();
  EXPECT_EQ(ErrorMessageOf([&] { LoadParameterFile(fractal, empty, ""); }),
            "Invalid file format (line 1)");
}

}  // namespace
}  // namespace zt
