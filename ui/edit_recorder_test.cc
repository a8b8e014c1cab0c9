// Undo steps of tool edits: one per edit, shared by consecutive edits of one
// field, never across another change, and forced for changes the document keeps
// without a step.
#include "ui/edit_recorder.h"

#include <gtest/gtest.h>

#include "document/fractal_test_util.h"
#include "platform/user_interface.h"

namespace zt::testing {
namespace {

class EditRecorderTest : public FractalTest {};

TEST_F(EditRecorderTest, ConsecutiveEditsOfOneFieldShareAStep) {
  auto fractal = NewFractal(8, 6, "Mandel");
  TFormula& formula = fractal->CurrentLayer().Formula();
  TEditRecorder recorder;
  const int start = fractal->History().Count();
  const auto iterations = [&](int n) {
    recorder.Record(*fractal, "maxiter", [&] { formula.SetMaxIterations(n); });
  };
  iterations(70);
  iterations(80);
  iterations(90);
  EXPECT_EQ(fractal->History().Count(), start + 1);
  recorder.Record(*fractal, "other", [&] { formula.SetPeriodicity(1); });
  EXPECT_EQ(fractal->History().Count(), start + 2);
  fractal->Undo();
  EXPECT_EQ(formula.Periodicity(), 0);
  EXPECT_EQ(formula.MaxIterations(), 90);
  fractal->Undo();
  EXPECT_EQ(formula.MaxIterations(), 60);
  Finish(*fractal);
}

TEST_F(EditRecorderTest, AnyChangeBetweenEndsTheMerging) {
  const std::function<void(TFractal&, TEditRecorder&)> between[] = {
      [](TFractal& f, TEditRecorder&) { f.SetWidth(10); },  // another change with a step
      [](TFractal&, TEditRecorder& recorder) { recorder.EndMerge(); },
  };
  for (const auto& step : between) {
    auto fractal = NewFractal(8, 6, "Mandel");
    TFormula& formula = fractal->CurrentLayer().Formula();
    TEditRecorder recorder;
    recorder.Record(*fractal, "maxiter", [&] { formula.SetMaxIterations(70); });
    step(*fractal, recorder);
    const int before = fractal->History().Count();
    recorder.Record(*fractal, "maxiter", [&] { formula.SetMaxIterations(80); });
    EXPECT_EQ(fractal->History().Count(), before + 1);
    Finish(*fractal);
  }
}

TEST_F(EditRecorderTest, ChangesWithoutUndoStayWithoutAStep) {
  auto fractal = NewFractal(8, 6, "");
  TLayer& layer = fractal->CurrentLayer();
  TEditRecorder recorder;
  const int start = fractal->History().Count();
  recorder.Record(*fractal, "", [&] { layer.SetVisible(false); });
  recorder.Record(*fractal, "caption", [&] { layer.SetCaption("Sky"); });
  EXPECT_EQ(fractal->History().Count(), start);
  EXPECT_FALSE(layer.Visible());
  EXPECT_EQ(layer.Caption(), "Sky");
}

TEST_F(EditRecorderTest, AFailedEditShowsItsErrorAndClosesTheBracket) {
  TRecordingUserInterface ui;
  TUserInterfaceGuard guard(ui);
  auto fractal = NewFractal(8, 6, "");
  TEditRecorder recorder;
  EXPECT_FALSE(recorder.Record(*fractal, "magnification",
                               [&] { fractal->CurrentLayer().Mapping().SetMagnification(0); }));
  ASSERT_EQ(ui.Records().size(), 1u);
  EXPECT_EQ(ui.Records()[0].Text, "Magnification must be larger than zero");
  EXPECT_EQ(fractal->UpdateCount(), 0);
  EXPECT_TRUE(fractal->History().Enabled());
}

}  // namespace
}  // namespace zt::testing
