// Tests of the calculation threads: the linear pass against direct per-pixel
// calculation, stopping and resuming, errors, the repaint list and aborting
// compiled code that never ends.
#include "render/compute.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "formula/entries/coloring.h"
#include "formula/entries/formula.h"
#include "formula/entries/mapping.h"
#include "formula/entries/transform.h"
#include "platform/error.h"
#include "platform/user_interface.h"
#include "render/index_image.h"
#include "testing/test_support.h"

namespace zt {
namespace {

using Clock = std::chrono::steady_clock;

// A layer's worth of objects: a formula entry, default colorings, a mapping and
// an index image of the mapping's size.
class ComputeTest : public ::testing::Test {
 protected:
  void Load(const std::string& file, const std::string& entry, int width, int height) {
    formula_.SetEntry(file, entry);
    ASSERT_FALSE(formula_.CompileFailed());
    mapping_.SetImageWidth(width);
    mapping_.SetImageHeight(height);
    image_.SetSize(width, height);
  }
  void LoadMandelbrot(int width, int height) {
    Load((::zt::testing::SourceDir() / "data" / "Standard.zfm").string(), "Mandelbrot", width,
         height);
  }
  void LoadSnippet(const std::string& body, int width, int height) {
    const auto file = dir_.Write("test.zfm", "Test {\n" + body + "}\n");
    Load(file.string(), "Test", width, height);
  }

  std::unique_ptr<TComputeLinear> NewPiece(const TRect& rect) {
    auto piece = std::make_unique<TComputeLinear>(mapping_, formula_, inside_, outside_, image_);
    piece->SetRect(rect);
    return piece;
  }
  TRect Whole() const { return {0, 0, image_.Width(), image_.Height()}; }

  // Runs a piece to its end on this (the main) thread's terms.
  static void Run(TCompute& piece) {
    piece.Start();
    TSafeThread::SafeWaitFor(&piece);
  }

  std::vector<std::uint16_t> Pixels() const {
    std::vector<std::uint16_t> pixels;
    for (int y = 0; y < image_.Height(); ++y)
      pixels.insert(pixels.end(), image_.Row(y), image_.Row(y) + image_.Width());
    return pixels;
  }

  ::zt::testing::TempDir dir_;
  TFormula formula_;
  TColoring inside_{true};
  TColoring outside_{false};
  TMapping mapping_;
  TIndexImage image_;
};

TEST_F(ComputeTest, LinearPieceEqualsDirectPerPixelCalculation) {
  LoadMandelbrot(24, 16);
  // An outside coloring that reads the orbit, so the orbit buffer is in use.
  const auto file = dir_.Write("test.zcl",
                               "Orbit {\ninit:\n  int n = 0\nloop:\n  n = n + 1\n"
                               "final:\n  #index = cabs(oldz(1)) + n * 0.01\n}\n");
  outside_.SetEntry(file.string(), "Orbit");
  ASSERT_FALSE(outside_.CompileFailed());
  ASSERT_TRUE(outside_.UsesOrbit());
  outside_.SetRepeat(true);
  auto piece = NewPiece(Whole());
  Run(*piece);
  EXPECT_EQ(piece->State(), kComputeFinished);
  const std::vector<std::uint16_t> threaded = Pixels();

  // The same pixels in the same order through one prepared block on this thread.
  auto direct = NewPiece({0, 0, 0, 0});
  Run(*direct);
  EXPECT_EQ(direct->State(), kComputeFinished);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x)
      EXPECT_EQ(direct->CalcPixel(x, y, 1, 1), threaded[y * 24 + x]) << x << "," << y;

  EXPECT_EQ(piece->PixelCalls(), 24 * 16);
  EXPECT_EQ(piece->PixelsDone(), 24 * 16);
  EXPECT_GT(piece->InsideCount(), 0);
  EXPECT_LT(piece->InsideCount(), 24 * 16);
  EXPECT_LE(piece->MinIterations(), piece->MaxIterations());
  EXPECT_LT(piece->MaxIterations(), formula_.MaxIterations());
  EXPECT_EQ(std::count(threaded.begin(), threaded.end(), kInsideSolid), piece->InsideCount());
  EXPECT_EQ(std::count(threaded.begin(), threaded.end(), kBackgroundIndex), 0);
  EXPECT_GT(std::set<std::uint16_t>(threaded.begin(), threaded.end()).size(), 20u);
}

// An empty rectangle finishes at once without a pixel.
TEST_F(ComputeTest, PiecesWriteOnlyTheirRectangle) {
  LoadMandelbrot(20, 12);
  for (const TRect rect : {TRect{3, 2, 11, 7}, TRect{4, 4, 4, 8}}) {
    image_.Clear();
    auto piece = NewPiece(rect);
    Run(*piece);
    EXPECT_EQ(piece->State(), kComputeFinished);
    EXPECT_EQ(piece->PixelCalls(), rect.Area());
    if (rect.Empty()) {
      EXPECT_EQ(piece->MinIterations(), formula_.MaxIterations());
    }
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 20; ++x) {
        const bool inside = x >= rect.Left && x < rect.Right && y >= rect.Top && y < rect.Bottom;
        EXPECT_EQ(image_.GetPixel(x, y) != kBackgroundIndex, inside) << x << "," << y;
      }
  }
}

TEST_F(ComputeTest, SolidFromATransformationSkipsFormulaAndColoring) {
  LoadMandelbrot(6, 5);
  const auto file = dir_.Write("test.zxf",
                               "Checker {\ntransform:\n  #solid = #whitesq\n}\n"
                               "Solid {\ntransform:\n  #solid = true\n}\n");
  auto checker = std::make_unique<TTransform>();
  checker->SetEntry(file.string(), "Checker");
  ASSERT_FALSE(checker->CompileFailed());
  mapping_.Transforms().Add(std::move(checker));
  auto piece = NewPiece(Whole());
  Run(*piece);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(image_.GetPixel(x, y) == kMappingSolid, (x + y) % 2 == 1) << x << "," << y;

  auto solid = std::make_unique<TTransform>();
  solid->SetEntry(file.string(), "Solid");
  mapping_.Transforms().Insert(0, std::move(solid));
  image_.Clear();
  auto all_solid = NewPiece(Whole());
  Run(*all_solid);
  EXPECT_EQ(Pixels(), std::vector<std::uint16_t>(30, kMappingSolid));
  EXPECT_EQ(all_solid->PixelCalls(), 30);
  EXPECT_EQ(all_solid->InsideCount(), 0);
  EXPECT_EQ(all_solid->MaxIterations(), 0);
  EXPECT_EQ(all_solid->MinIterations(), formula_.MaxIterations());
}

TEST_F(ComputeTest, ResumeRecalculatesTheInterruptedPixelFirst) {
  LoadMandelbrot(10, 4);
  auto piece = NewPiece(Whole());
  TPieceState saved = piece->SaveState();
  saved.State = kComputeInterrupted;
  saved.ResumeX = 7;
  saved.ResumeY = 2;
  saved.Statistics.PixelsDone = 27;
  auto resumed = NewPiece({});
  resumed->RestoreState(saved);
  Run(*resumed);
  EXPECT_EQ(resumed->State(), kComputeFinished);
  EXPECT_EQ(resumed->PixelCalls(), 3 + 10);
  EXPECT_EQ(resumed->PixelsDone(), 40);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(image_.GetPixel(x, y) != kBackgroundIndex, y * 10 + x >= 27) << x << "," << y;

  // A stop request that comes after the last pixel leaves nothing to redo.
  TPieceState late = resumed->SaveState();
  late.State = kComputeInterrupted;
  auto again = NewPiece({});
  again->RestoreState(late);
  image_.Clear();
  Run(*again);
  EXPECT_EQ(again->State(), kComputeFinished);
  EXPECT_EQ(again->PixelCalls(), resumed->PixelCalls());
  EXPECT_EQ(Pixels(), std::vector<std::uint16_t>(40, kBackgroundIndex));
}

TEST_F(ComputeTest, SettersOnlyActOnNewPieces) {
  LoadMandelbrot(4, 4);
  auto piece = NewPiece({0, 0, 2, 2});
  piece->SetPasses(3);
  Run(*piece);
  piece->SetRect({0, 0, 4, 4});
  piece->SetPasses(5);
  TPieceState other;
  other.State = kComputeInterrupted;
  piece->RestoreState(other);
  EXPECT_EQ(piece->Rect(), (TRect{0, 0, 2, 2}));
  EXPECT_EQ(piece->Passes(), 3);
  EXPECT_EQ(piece->State(), kComputeFinished);
}

// A running piece hands out its current row again after every take; an abort
// ends even compiled code that never ends, and the piece resumes at that pixel.
TEST_F(ComputeTest, EndlessUserLoopRepaintsItsRowAndStopsSoonAfterAbort) {
  LoadSnippet(
      "init:\n  float t = 0\nloop:\n  while true\n    t = t + 1\n  endwhile\n"
      "bailout:\n  false\n",
      6, 3);
  auto piece = NewPiece({1, 1, 5, 3});
  piece->Start();
  MainThreadDispatcher().WaitFor([&] { return piece->PixelCalls() >= 1; });
  EXPECT_EQ(piece->TakeUpdateRects(), (std::vector<TRect>{{1, 1, 5, 2}}));
  EXPECT_EQ(piece->TakeUpdateRects(), (std::vector<TRect>{{1, 1, 5, 2}}));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(piece->Finished());
  const auto stop = Clock::now();
  piece->Terminate();
  piece->Abort();
  TSafeThread::SafeWaitFor(piece.get());
  EXPECT_LT(Clock::now() - stop, std::chrono::milliseconds(100));
  EXPECT_EQ(piece->State(), kComputeInterrupted);
  EXPECT_EQ(piece->SaveState().ResumeX, 1);
  EXPECT_EQ(piece->SaveState().ResumeY, 1);
}

// A piece whose pass fails, for the error report.
class TFailingPiece : public TCompute {
 public:
  using TCompute::TCompute;
  ~TFailingPiece() override { StopCalculation(); }

 protected:
  void Calculate() override {
    SetState(kComputeRunning);
    throw EZentrope("Division by zero");
  }
};

TEST_F(ComputeTest, ErrorInOnePieceIsReportedOnceAndOthersGoOn) {
  LoadMandelbrot(8, 8);
  TRecordingUserInterface ui;
  TUserInterfaceGuard guard(ui);
  TFailingPiece failing(mapping_, formula_, inside_, outside_, image_);
  failing.SetRect({0, 0, 4, 8});
  auto healthy = NewPiece({4, 0, 8, 8});
  failing.Start();
  healthy->Start();
  TSafeThread::SafeWaitFor(&failing);
  TSafeThread::SafeWaitFor(healthy.get());
  EXPECT_EQ(failing.State(), kComputeFinished);
  EXPECT_EQ(healthy->State(), kComputeFinished);
  EXPECT_EQ(healthy->PixelCalls(), 32);
  EXPECT_EQ(image_.GetPixel(0, 0), kBackgroundIndex);
  const auto records = ui.Records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Caption, "Thread Error");
  EXPECT_EQ(records[0].Text, "Error in computing thread:\nDivision by zero.");
  EXPECT_EQ(records[0].Kind, TMessageKind::kError);
}

TEST_F(ComputeTest, UpdateRectanglesMergeWhenTheUnionIsNoLarger) {
  LoadMandelbrot(4, 4);
  struct TCase {
    std::vector<TRect> Added;
    std::vector<TRect> Expected;
  };
  const TCase cases[] = {
      // Rows of one piece grow into one block.
      {{{0, 0, 10, 1}, {0, 1, 10, 2}, {0, 2, 10, 3}}, {{0, 0, 10, 3}}},
      // Distant rectangles stay apart, the newest first.
      {{{0, 0, 2, 2}, {5, 5, 7, 7}}, {{5, 5, 7, 7}, {0, 0, 2, 2}}},
      // Merged into the first entry that fits, not the second.
      {{{20, 0, 30, 1}, {0, 0, 10, 1}, {0, 1, 10, 2}}, {{0, 0, 10, 2}, {20, 0, 30, 1}}},
      // Overlap counts twice, so a contained rectangle always merges.
      {{{0, 0, 10, 10}, {2, 2, 4, 4}}, {{0, 0, 10, 10}}},
      // A diagonal neighbour would enlarge the area: kept apart.
      {{{0, 0, 2, 2}, {2, 2, 4, 4}}, {{2, 2, 4, 4}, {0, 0, 2, 2}}},
  };
  for (const TCase& c : cases) {
    auto piece = NewPiece({});
    for (const TRect& r : c.Added) piece->AddUpdateRect(r);
    EXPECT_EQ(piece->TakeUpdateRects(), c.Expected);
    EXPECT_TRUE(piece->TakeUpdateRects().empty());  // not running: nothing carried over
  }
}

}  // namespace
}  // namespace zt
