// The document window: a document calculates in it to the end and the view shows
// its bitmap; the calculation commands; closing while threads calculate.
#include "ui/fractal_window.h"

#include <QSignalSpy>

#include "ui/testing/window_test_util.h"

namespace zt::testing {
namespace {

using FractalWindowTest = WindowTest;

TEST_F(FractalWindowTest, CalculatesToTheEndAndShowsTheDocumentsBitmap) {
  TFractalWindow window(NewFractal(64, 48, "Mandel"));
  QSignalSpy finished(&window, &TFractalWindow::CalculationFinished);
  QSignalSpy progress(&window, &TFractalWindow::ProgressChanged);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_FALSE(window.IsCalculated());
  ASSERT_TRUE(WaitUntil([&] { return finished.count() > 0; }));
  EXPECT_TRUE(window.IsCalculated());
  EXPECT_EQ(window.ProgressText(), "100%");
  EXPECT_GE(progress.count(), 1);

  const TDirectBitmap& bitmap = window.Fractal().Bitmap();
  ASSERT_NE(bitmap.Pixel(0, 0), bitmap.Pixel(32, 24));  // the image is not blank
  EXPECT_EQ(ShownMismatches(window), 0);

  window.Recalculate();
  EXPECT_NE(window.ProgressText(), "100%");
  ASSERT_TRUE(WaitUntil([&] { return finished.count() > 1; }));
  EXPECT_EQ(window.ProgressText(), "100%");
}

TEST_F(FractalWindowTest, StopsResumesAndClosesWhileCalculating) {
  auto window = NewWindow(32, 24, "Endless");
  TLayer& layer = window->Fractal().CurrentLayer();
  ASSERT_EQ(layer.State(), kLayerCalculating);
  EXPECT_FALSE(window->IsCalculated());
  EXPECT_NE(window->ProgressText(), "100%");

  window->StopCalculation();
  EXPECT_EQ(layer.State(), kLayerInterrupted);
  EXPECT_FALSE(window->IsCalculated());
  window->ResumeCalculation();
  EXPECT_EQ(layer.State(), kLayerCalculating);
  // Closing stops the threads, whose endings need this thread.
  window.reset();
}

}  // namespace
}  // namespace zt::testing
