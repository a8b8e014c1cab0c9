// Tests of the calculation threads: the linear pass against direct per-pixel
// calculation, stopping and resuming, errors, the repaint list and aborting
// compiled code that never ends.
#include "render/compute.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "formula/entries/transform.h"
#include "platform/error.h"
#include "platform/user_interface.h"
#include "render/pass_test_util.h"

namespace zt {
namespace {

using Clock = std::chrono::steady_clock;
using testing::RunPiece;
using testing::TMandelbrotLayer;

std::unique_ptr<TComputeLinear> Linear(TMandelbrotLayer& layer, const TRect& rect) {
  return layer.MakePiece<TComputeLinear>(rect, 1);
}

TEST(ComputeTest, LinearPieceEqualsDirectPerPixelCalculation) {
  TMandelbrotLayer layer(24, 16);
  layer.Formula.SetPeriodicity(2);  // the piece carries its start from pixel to pixel
  // An outside coloring that reads the orbit, so the orbit buffer is in use.
  testing::TempDir dir;
  const auto file = dir.Write("test.zcl",
                              "Orbit {\ninit:\n  int n = 0\nloop:\n  n = n + 1\n"
                              "final:\n  #index = cabs(oldz(1)) + n * 0.01\n}\n");
  layer.Outside.SetEntry(file.string(), "Orbit");
  ASSERT_FALSE(layer.Outside.CompileFailed());
  ASSERT_TRUE(layer.Outside.UsesOrbit());
  layer.Outside.SetRepeat(true);
  auto piece = Linear(layer, layer.Whole());
  RunPiece(*piece);
  EXPECT_EQ(piece->State(), kComputeFinished);
  const std::vector<std::uint16_t> threaded = layer.Pixels();

  // The same pixels in the same order through one prepared block on this thread.
  auto direct = Linear(layer, {0, 0, 0, 0});
  RunPiece(*direct);
  EXPECT_EQ(direct->State(), kComputeFinished);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x)
      EXPECT_EQ(direct->CalcPixel(x, y, 1, 1), threaded[y * 24 + x]) << x << "," << y;

  EXPECT_EQ(piece->PixelCalls(), 24 * 16);
  EXPECT_EQ(piece->PixelsDone(), 24 * 16);
  EXPECT_GT(piece->InsideCount(), 0);
  EXPECT_LT(piece->InsideCount(), 24 * 16);
  EXPECT_LE(piece->MinIterations(), piece->MaxIterations());
  EXPECT_LT(piece->MaxIterations(), layer.Formula.MaxIterations());
  EXPECT_EQ(std::count(threaded.begin(), threaded.end(), kInsideSolid), piece->InsideCount());
  EXPECT_EQ(std::count(threaded.begin(), threaded.end(), kBackgroundIndex), 0);
  EXPECT_GT(std::set<std::uint16_t>(threaded.begin(), threaded.end()).size(), 20u);
}

// An empty rectangle finishes at once without a pixel.
TEST(ComputeTest, PiecesWriteOnlyTheirRectangle) {
  for (const TRect rect : {TRect{3, 2, 11, 7}, TRect{4, 4, 4, 8}}) {
    TMandelbrotLayer layer(20, 12);
    auto piece = Linear(layer, rect);
    RunPiece(*piece);
    EXPECT_EQ(piece->State(), kComputeFinished);
    EXPECT_EQ(piece->PixelCalls(), rect.Area());
    if (rect.Empty()) {
      EXPECT_EQ(piece->MinIterations(), layer.Formula.MaxIterations());
    }
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 20; ++x) {
        const bool inside = x >= rect.Left && x < rect.Right && y >= rect.Top && y < rect.Bottom;
        EXPECT_EQ(layer.Image.GetPixel(x, y) != kBackgroundIndex, inside) << x << "," << y;
      }
  }
}

TEST(ComputeTest, SolidFromATransformationSkipsFormulaAndColoring) {
  TMandelbrotLayer layer(6, 5);
  testing::TempDir dir;
  const auto file = dir.Write("test.zxf",
                              "Checker {\ntransform:\n  #solid = #whitesq\n}\n"
                              "Solid {\ntransform:\n  #solid = true\n}\n");
  auto checker = std::make_unique<TTransform>();
  checker->SetEntry(file.string(), "Checker");
  ASSERT_FALSE(checker->CompileFailed());
  layer.Mapping.Transforms().Add(std::move(checker));
  RunPiece(*Linear(layer, layer.Whole()));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(layer.Image.GetPixel(x, y) == kMappingSolid, (x + y) % 2 == 1) << x << "," << y;

  auto solid = std::make_unique<TTransform>();
  solid->SetEntry(file.string(), "Solid");
  layer.Mapping.Transforms().Insert(0, std::move(solid));
  layer.Image.Clear();
  auto all_solid = Linear(layer, layer.Whole());
  RunPiece(*all_solid);
  EXPECT_EQ(layer.Pixels(), std::vector<std::uint16_t>(30, kMappingSolid));
  EXPECT_EQ(all_solid->PixelCalls(), 30);
  EXPECT_EQ(all_solid->InsideCount(), 0);
  EXPECT_EQ(all_solid->MaxIterations(), 0);
  EXPECT_EQ(all_solid->MinIterations(), layer.Formula.MaxIterations());
}

TEST(ComputeTest, ResumeRecalculatesTheInterruptedPixelFirst) {
  TMandelbrotLayer layer(10, 4);
  TPieceState saved = Linear(layer, layer.Whole())->SaveState();
  saved.State = kComputeInterrupted;
  saved.ResumeX = 7;
  saved.ResumeY = 2;
  saved.Statistics.PixelsDone = 27;
  auto resumed = Linear(layer, {});
  resumed->RestoreState(saved);
  RunPiece(*resumed);
  EXPECT_EQ(resumed->State(), kComputeFinished);
  EXPECT_EQ(resumed->PixelCalls(), 3 + 10);
  EXPECT_EQ(resumed->PixelsDone(), 40);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(layer.Image.GetPixel(x, y) != kBackgroundIndex, y * 10 + x >= 27) << x << "," << y;

  // A stop request that comes after the last pixel leaves nothing to redo.
  TPieceState late = resumed->SaveState();
  late.State = kComputeInterrupted;
  auto again = Linear(layer, {});
  again->RestoreState(late);
  layer.Image.Clear();
  RunPiece(*again);
  EXPECT_EQ(again->State(), kComputeFinished);
  EXPECT_EQ(again->PixelCalls(), resumed->PixelCalls());
  EXPECT_EQ(layer.Pixels(), std::vector<std::uint16_t>(40, kBackgroundIndex));
}

TEST(ComputeTest, SettersOnlyActOnNewPieces) {
  TMandelbrotLayer layer(4, 4);
  auto piece = layer.MakePiece<TComputeLinear>({0, 0, 2, 2}, 3);
  RunPiece(*piece);
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
TEST(ComputeTest, EndlessUserLoopRepaintsItsRowAndStopsSoonAfterAbort) {
  TMandelbrotLayer layer(6, 3);
  testing::TempDir dir;
  layer.Formula.SetEntry(dir.Write("test.zfm",
                                   "Test {\ninit:\n  float t = 0\nloop:\n  while true\n"
                                   "    t = t + 1\n  endwhile\nbailout:\n  false\n}\n")
                             .string(),
                         "Test");
  ASSERT_FALSE(layer.Formula.CompileFailed());
  auto piece = Linear(layer, {1, 1, 5, 3});
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
  EXPECT_LT(Clock::now() - stop, std::chrono::milliseconds(500));
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

TEST(ComputeTest, ErrorInOnePieceIsReportedOnceAndOthersGoOn) {
  TMandelbrotLayer layer(8, 8);
  TRecordingUserInterface ui;
  TUserInterfaceGuard guard(ui);
  TFailingPiece failing(layer.Mapping, layer.Formula, layer.Inside, layer.Outside, layer.Image);
  failing.SetRect({0, 0, 4, 8});
  auto healthy = Linear(layer, {4, 0, 8, 8});
  failing.Start();
  healthy->Start();
  TSafeThread::SafeWaitFor(&failing);
  TSafeThread::SafeWaitFor(healthy.get());
  EXPECT_EQ(failing.State(), kComputeFinished);
  EXPECT_EQ(healthy->State(), kComputeFinished);
  EXPECT_EQ(healthy->PixelCalls(), 32);
  EXPECT_EQ(layer.Image.GetPixel(0, 0), kBackgroundIndex);
  const auto records = ui.Records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Caption, "Thread Error");
  EXPECT_EQ(records[0].Text, "Error in computing thread:\nDivision by zero.");
  EXPECT_EQ(records[0].Kind, TMessageKind::kError);
}

TEST(ComputeTest, UpdateRectanglesMergeWhenTheUnionIsNoLarger) {
  TMandelbrotLayer layer(4, 4);
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
    auto piece = Linear(layer, {});
    for (const TRect& r : c.Added) piece->AddUpdateRect(r);
    EXPECT_EQ(piece->TakeUpdateRects(), c.Expected);
    EXPECT_TRUE(piece->TakeUpdateRects().empty());  // not running: nothing carried over
  }
}

}  // namespace
}  // namespace zt
