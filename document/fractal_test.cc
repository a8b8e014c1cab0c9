// Tests of the document: its initial state, clamping setters, batched changes and
// the undo steps they make, comment lines with the calculation time, duplicated
// layers, undo across layer changes and the calculation bookkeeping.
#include "document/fractal.h"

#include <gtest/gtest.h>

#include <regex>

#include "document/fractal_test_util.h"
#include "document/settings/config_manager.h"

namespace zt {
namespace {

using testing::ErrorMessageOf;
using FractalTest = testing::FractalTest;

// What no other test sets up: the fields a new document starts with.
TEST_F(FractalTest, NewDocumentState) {
  TFractal fractal("Picture");
  EXPECT_EQ(fractal.FileName(), "");
  EXPECT_EQ(fractal.Priority(), 2);
  EXPECT_EQ(fractal.ThreadCount(), 1);
  EXPECT_TRUE(fractal.Comments().empty());
  ASSERT_EQ(fractal.Layers().Count(), 1);
  EXPECT_EQ(fractal.CurrentLayer().Caption(), "Layer 1");
  EXPECT_FALSE(fractal.IsCalculating());
  EXPECT_FALSE(fractal.IsPartlyCalculated());
  EXPECT_EQ(fractal.History().Depth(), 32);
  EXPECT_FALSE(fractal.History().CanUndo());
}

TEST_F(FractalTest, DefaultsComeFromTheSettings) {
  TConfigManager& config = ConfigManager();
  config.UseDefaultComments = true;
  config.DefaultComments = "first\r\nsecond\nthird";
  config.UseDefaultAuthor = true;
  config.DefaultAuthor = "A. Painter";
  config.InitializeCreated = true;
  config.DefaultGradientRGBMode = false;
  TFractal fractal("Picture");
  config.UseDefaultComments = config.UseDefaultAuthor = config.InitializeCreated = false;
  config.DefaultGradientRGBMode = true;
  EXPECT_FALSE(fractal.CurrentLayer().Gradient().RGBMode());
  EXPECT_EQ(fractal.Comments(), (std::vector<std::string>{"first", "second", "third"}));
  EXPECT_EQ(fractal.Author(), "A. Painter");
  EXPECT_TRUE(std::regex_match(fractal.Created(),
                               std::regex("(January|February|March|April|May|June|July|August|"
                                          "September|October|November|December) [1-9][0-9]?, "
                                          "[0-9]{4}")))
      << fractal.Created();
  EXPECT_FALSE(fractal.Modified());
}

TEST_F(FractalTest, SettersClampAndReportOnlyRealChanges) {
  struct Case {
    const char* Name;
    void (TFractal::*Set)(double);
    double (TFractal::*Get)() const;
    double Value, Stored;
  } const cases[] = {
      {"resolution low", &TFractal::SetResolution, &TFractal::Resolution, 0, 1},
      {"resolution high", &TFractal::SetResolution, &TFractal::Resolution, 20000, 10000},
      {"gamma low", &TFractal::SetGamma, &TFractal::Gamma, 0.01, 0.1},
      {"gamma high", &TFractal::SetGamma, &TFractal::Gamma, 50, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TFractal fractal("Picture");
    int changes = 0;
    fractal.OnChange = [&](TFractal&) { ++changes; };
    (fractal.*c.Set)(c.Value);
    EXPECT_EQ((fractal.*c.Get)(), c.Stored);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(fractal.History().Count(), 1);  // no undo step
    (fractal.*c.Set)(c.Value);                // the same value after clamping: no notification
    (fractal.*c.Set)(c.Stored);
    EXPECT_EQ(changes, 1);
  }
}

TEST_F(FractalTest, ChangesInOneBracketAreReportedOnce) {
  TFractal fractal("Picture");
  int changes = 0;
  fractal.OnChange = [&](TFractal&) { ++changes; };
  fractal.EndUpdate();  // unbalanced: ignored
  EXPECT_EQ(fractal.UpdateCount(), 0);
  fractal.BeginUpdate();
  fractal.SetAuthor("someone");
  fractal.SetCreated("January 5, 1999");
  fractal.BeginUpdate();
  fractal.SetWidth(16);
  fractal.EndUpdate();
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(fractal.CurrentLayer().InUpdate());
  fractal.EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(fractal.UpdateCount(), 0);
  EXPECT_FALSE(fractal.CurrentLayer().InUpdate());
  EXPECT_EQ(fractal.History().Count(), 2);  // the size change asked for undo
  EXPECT_TRUE(fractal.Modified());
  fractal.Undo();
  EXPECT_EQ(fractal.Author(), "");
  EXPECT_EQ(fractal.Width(), 0);
}

TEST_F(FractalTest, RepeatedLayerChangesMergeIntoOneUndoStep) {
  TFractal fractal("Picture");
  TLayer& layer = fractal.CurrentLayer();
  layer.SetOpacity(60);
  layer.SetOpacity(70);  // same identifier: merged
  EXPECT_EQ(fractal.History().Count(), 2);
  EXPECT_EQ(fractal.LastChangeId(), 4);
  layer.SetMergeMode(1);
  layer.SetMergeMode(2);  // identifier 0: always a new step
  EXPECT_EQ(fractal.History().Count(), 4);
  layer.SetOpacity(80);
  fractal.SetAuthor("someone");  // a document change in between ends the merging
  layer.SetOpacity(90);
  EXPECT_EQ(fractal.History().Count(), 6);
  fractal.Undo();
  EXPECT_EQ(fractal.CurrentLayer().Opacity(), 80);
  EXPECT_EQ(fractal.Author(), "someone");
  fractal.Undo();
  fractal.Undo();
  EXPECT_EQ(fractal.CurrentLayer().MergeMode(), 1);
  fractal.Undo();
  EXPECT_EQ(fractal.CurrentLayer().Opacity(), 70);
  fractal.Undo();
  EXPECT_EQ(fractal.CurrentLayer().Opacity(), 50);
  EXPECT_FALSE(fractal.History().CanUndo());
}

TEST_F(FractalTest, CommentLinesShowTheCalculationTime) {
  TFractal fractal("Picture");
  fractal.SetComments({"Took $calctime$ or $CalcTime$.", "plain"});
  fractal.Timer().SetElapsed(0.0625);
  EXPECT_EQ(fractal.CommentLine(0), "Took 1:30:00.00 or 1:30:00.00.");
  EXPECT_EQ(fractal.CommentLine(1), "plain");
  EXPECT_EQ(fractal.CommentLine(2), "");
  EXPECT_EQ(fractal.CommentLine(-1), "");
}

TEST_F(FractalTest, CalculationStartAndEndAreReportedOnceAndTimed) {
  auto fractal = NewFractal(24, 18, "");
  Finish(*fractal);
  int starts = 0, ends = 0;
  fractal->OnCalculationStart = [&](TFractal&) { ++starts; };
  fractal->OnCalculationEnd = [&](TFractal&) { ++ends; };
  fractal->SetModified(false);
  fractal->CurrentLayer().Formula().SetEntry(file_, "Mandel");
  EXPECT_TRUE(fractal->Modified());
  Finish(*fractal);
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(fractal->CalculatingCount(), 0);
  EXPECT_FALSE(fractal->Timer().Running());
  EXPECT_EQ(fractal->Timer().PixelsDone(), 24 * 18);
  EXPECT_EQ(fractal->Timer().Percent(), 100);
}

// An unfinished calculation's comment lines show an estimate.
TEST_F(FractalTest, TimerResumesWithAnInterruptedCalculationAndRestartsOtherwise) {
  auto fractal = NewFractal(16, 12, "Endless");
  fractal->SetComments({"$CALCTIME$"});
  ASSERT_TRUE(fractal->Timer().Running());
  fractal->CurrentLayer().Stop();
  EXPECT_FALSE(fractal->Timer().Running());
  ASSERT_TRUE(fractal->IsPartlyCalculated());
  ASSERT_FALSE(fractal->IsCalculating());
  TFractalTimer& timer = fractal->Timer();
  EXPECT_EQ(fractal->CommentLine(0),
            FormatTime(timer.Elapsed() + timer.Remaining()) + " (estimated)");
  fractal->Timer().SetElapsed(1.0);
  fractal->CurrentLayer().Resume();
  ASSERT_TRUE(fractal->IsCalculating());
  EXPECT_GE(fractal->Timer().Elapsed(), 1.0);
  fractal->CurrentLayer().Stop();
  fractal->CurrentLayer().Mapping().SetCenter({1, 1});  // a new calculation
  ASSERT_TRUE(fractal->IsCalculating());
  EXPECT_LT(fractal->Timer().Elapsed(), 0.5);
}

TEST_F(FractalTest, AddedLayerCopiesSettingsAndPixels) {
  auto fractal = NewFractal(24, 18, "Mandel");
  Finish(*fractal);
  TLayer& source = fractal->CurrentLayer();
  source.SetOpacity(30);
  source.SetMergeMode(5);
  const std::vector<std::uint16_t> pixels = Pixels(source);
  TLayer& copy = fractal->AddLayer("Copy");
  Finish(*fractal);
  ASSERT_EQ(fractal->Layers().Count(), 2);
  EXPECT_EQ(&fractal->Layers()[0], &copy);
  EXPECT_EQ(&fractal->CurrentLayer(), &copy);
  EXPECT_EQ(copy.Caption(), "Copy");
  EXPECT_EQ(copy.Opacity(), 30);
  EXPECT_EQ(copy.MergeMode(), 5);
  EXPECT_EQ(copy.State(), kLayerIdle);
  EXPECT_EQ(copy.SaveState(), source.SaveState());
  EXPECT_EQ(Pixels(copy), pixels);
  EXPECT_FALSE(copy.InUpdate());
  EXPECT_EQ(source.Caption(), "Layer 1");
}

TEST_F(FractalTest, UndoBringsBackADeletedLayer) {
  TFractal fractal("Picture");
  fractal.AddLayer("Second");
  fractal.Layers()[1].SetOpacity(80);
  const int steps = fractal.History().Count();
  EXPECT_FALSE(fractal.DeleteLayer(5));
  ASSERT_TRUE(fractal.DeleteLayer(0));
  EXPECT_EQ(fractal.History().Count(), steps + 1);
  ASSERT_EQ(fractal.Layers().Count(), 1);
  EXPECT_FALSE(fractal.DeleteLayer(0));  // the last layer stays
  fractal.Undo();
  ASSERT_EQ(fractal.Layers().Count(), 2);
  EXPECT_EQ(fractal.Layers()[0].Caption(), "Second");
  EXPECT_EQ(fractal.Layers()[1].Caption(), "Layer 1");
  EXPECT_EQ(fractal.Layers()[1].Opacity(), 80);
  EXPECT_FALSE(fractal.Layers()[0].InUpdate());
  EXPECT_EQ(fractal.History().Count(), steps + 1);  // undo adds no entry
  fractal.Redo();
  ASSERT_EQ(fractal.Layers().Count(), 1);
  EXPECT_EQ(fractal.Layers()[0].Caption(), "Layer 1");
}

TEST_F(FractalTest, SnapshotsCutLongTextAndRestoreKeepingTheSize) {
  TFractal fractal("Picture");
  fractal.SetWidth(20);
  fractal.SetAuthor(std::string(200, 'a'));
  std::unique_ptr<TFractalSnapshot> snapshot = fractal.CaptureSnapshot();
  EXPECT_EQ(snapshot->Author.size(), 127u);
  EXPECT_EQ(snapshot->Layers.size(), 1u);
  fractal.SetWidth(40);
  fractal.RestoreSnapshot(*snapshot, true);
  EXPECT_EQ(fractal.Width(), 40);
  EXPECT_EQ(fractal.Author(), std::string(127, 'a'));
  fractal.RestoreSnapshot(*snapshot, false);
  EXPECT_EQ(fractal.Width(), 20);
}

TEST_F(FractalTest, CurrentLayerIsShownAndSelected) {
  TFractal fractal("Picture");
  fractal.AddLayer("Second");
  EXPECT_EQ(ErrorMessageOf([&] { fractal.SetCurrentLayer(2); }), "Cannot set current layer");
  EXPECT_EQ(ErrorMessageOf([&] { fractal.SetCurrentLayer(-1); }), "Cannot set current layer");
  fractal.Layers()[1].SetVisible(false);
  fractal.Layers()[1].SetSelected(false);
  fractal.SetCurrentLayer(1);
  EXPECT_EQ(fractal.CurrentLayer().Caption(), "Layer 1");
  EXPECT_TRUE(fractal.Layers()[1].Visible());
  EXPECT_TRUE(fractal.Layers()[1].Selected());
  EXPECT_FALSE(fractal.Layers()[0].Selected());
  fractal.MoveLayer(1, 0);
  EXPECT_EQ(fractal.Layers()[0].Caption(), "Layer 1");
  EXPECT_EQ(fractal.CurrentIndex(), 1);
  fractal.DeleteLayer(1);
  EXPECT_EQ(fractal.CurrentIndex(), 0);  // clamped into the shorter list
}

TEST_F(FractalTest, CalculatingLayersCanBeDeletedAndBroughtBack) {
  auto fractal = NewFractal(16, 12, "Endless");
  fractal->AddLayer("Second").Formula().SetEntry(file_, "Endless");
  ASSERT_EQ(fractal->CalculatingCount(), 2);
  ASSERT_TRUE(fractal->DeleteLayer(0));
  EXPECT_EQ(fractal->CalculatingCount(), 1);
  fractal->Undo();
  EXPECT_EQ(fractal->Layers().Count(), 2);
  fractal->ClearLayers();
  EXPECT_EQ(fractal->CalculatingCount(), 0);
  EXPECT_FALSE(fractal->Timer().Running());
  fractal->AddLayer("Fresh");
  EXPECT_EQ(fractal->Layers().Count(), 1);
  EXPECT_EQ(fractal->CurrentLayer().Caption(), "Fresh");
  EXPECT_FALSE(fractal->CurrentLayer().InUpdate());
  fractal->CurrentLayer().Formula().SetEntry(file_, "Endless");
  ASSERT_TRUE(fractal->IsCalculating());
  fractal.reset();  // stops the calculation without hanging
}

}  // namespace
}  // namespace zt
