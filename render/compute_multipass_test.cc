// Tests of the multi-pass thread: the same image as the linear pass, whatever the
// size, the number of passes and the place of the piece, and exact resumption.
#include "render/compute_multipass.h"

#include <gtest/gtest.h>

#include "render/pass_test_util.h"

namespace zt {
namespace {

using testing::LinearPixels;
using testing::RunPiece;
using testing::RunWithStops;
using testing::TMandelbrotLayer;

// Whole images of many sizes and pass counts, a piece inside an image, and empty
// pieces, which finish at once.
TEST(ComputeMultiPass, EqualsLinearInsideItsRectangleOnly) {
  const struct {
    int Width, Height;
    TRect Rect;
    int Passes;
  } cases[] = {
      {1, 1, {0, 0, 1, 1}, 2},     {7, 5, {0, 0, 7, 5}, 2},       {33, 17, {0, 0, 33, 17}, 3},
      {64, 48, {0, 0, 64, 48}, 3}, {101, 67, {0, 0, 101, 67}, 4}, {96, 61, {0, 0, 96, 61}, 6},
      {40, 90, {0, 0, 40, 90}, 1}, {5, 130, {0, 0, 5, 130}, 5},   {101, 67, {13, 7, 90, 61}, 4},
      {24, 24, {5, 5, 5, 20}, 3},  {24, 24, {5, 5, 20, 5}, 3},    {24, 24, {9, 9, 3, 3}, 3},
  };
  for (const auto& c : cases) {
    const TRect& r = c.Rect;
    SCOPED_TRACE(std::to_string(c.Width) + "x" + std::to_string(c.Height) + " rect " +
                 std::to_string(r.Left) + "," + std::to_string(r.Top) + " " +
                 std::to_string(r.Right) + "," + std::to_string(r.Bottom) + " passes " +
                 std::to_string(c.Passes));
    TMandelbrotLayer layer(c.Width, c.Height);
    auto piece = layer.MakePiece<TComputeMultiPass>(r, c.Passes);
    RunPiece(*piece);
    EXPECT_EQ(piece->State(), kComputeFinished);
    std::vector<std::uint16_t> expected = LinearPixels(c.Width, c.Height);
    for (int y = 0; y < c.Height; ++y)
      for (int x = 0; x < c.Width; ++x)
        if (x < r.Left || x >= r.Right || y < r.Top || y >= r.Bottom)
          expected[y * c.Width + x] = kBackgroundIndex;
    EXPECT_EQ(layer.Pixels(), expected);
    EXPECT_EQ(piece->PixelsDone(), r.Area());
    EXPECT_EQ(piece->PixelCalls(), r.Area());
    if (r.Empty()) {
      EXPECT_TRUE(piece->TakeUpdateRects().empty());
    }
  }
}

TEST(ComputeMultiPass, StoppedAndResumedGivesTheUninterruptedImage) {
  const int width = 120, height = 90;
  const auto linear = LinearPixels(width, height);
  for (unsigned seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    TMandelbrotLayer layer(width, height);
    TPieceState last;
    const int stops = RunWithStops<TComputeMultiPass>(layer, layer.Whole(), 4, seed, 800, last);
    EXPECT_GT(stops, 0);
    EXPECT_EQ(last.State, kComputeFinished);
    EXPECT_EQ(last.Statistics.PixelsDone, width * height);
    EXPECT_EQ(layer.Pixels(), linear);
  }
}

TEST(ComputeMultiPass, ResumesInTheSavedPassAndRow) {
  // A piece stopped before it began a refinement row continues with exactly that
  // row: the rows above it and the coarser passes are not calculated again.
  TMandelbrotLayer layer(64, 48);
  TPieceState state;
  state.State = kComputeInterrupted;
  state.Rect = layer.Whole();
  state.Passes = 3;
  state.CurrentPass = 0;  // the last refinement: step 2, new pixels at odd places
  state.ResumeX = 10;
  state.ResumeY = 20;
  auto piece = layer.MakePiece<TComputeMultiPass>(layer.Whole(), 3);
  piece->RestoreState(state);
  RunPiece(*piece);
  EXPECT_EQ(piece->State(), kComputeFinished);
  // Row 20 from block 10 on (27 blocks of 3 new pixels), then rows 22 to 46.
  EXPECT_EQ(piece->PixelCalls(), 27 * 3 + 13 * 32 * 3);
  EXPECT_EQ(layer.Image.GetPixel(9, 21), kBackgroundIndex);
  EXPECT_NE(layer.Image.GetPixel(11, 21), kBackgroundIndex);
  EXPECT_EQ(layer.Image.GetPixel(20, 20), kBackgroundIndex);  // a corner, known before
}

TEST(ComputeMultiPass, DamagedSavedStateStartsThePieceOver) {
  // Saved states come from files too; none of these may write outside the piece.
  const TRect rect{8, 8, 56, 40};
  struct TDamage {
    int Passes;
    int CurrentPass;
    int ResumeX;
    int ResumeY;
  };
  const TDamage damages[] = {{3, -1, 8, 8},  {3, 4, 8, 8},  {3, 1, 0, 8},    {3, 1, 8, 2},
                             {3, 1, 9, 8},   {3, 3, 56, 8}, {3, 0, 8, 4000}, {-2, 0, 8, 8},
                             {40, 40, 8, 8}, {3, 2, -8, 8}};
  TMandelbrotLayer reference(64, 48);
  RunPiece(*reference.MakePiece<TComputeMultiPass>(rect, 3));
  for (const auto& d : damages) {
    SCOPED_TRACE(std::to_string(d.Passes) + " " + std::to_string(d.CurrentPass) + " " +
                 std::to_string(d.ResumeX) + "," + std::to_string(d.ResumeY));
    TMandelbrotLayer layer(64, 48);
    TPieceState state;
    state.State = kComputeInterrupted;
    state.Rect = rect;
    state.Passes = d.Passes;
    state.CurrentPass = d.CurrentPass;
    state.ResumeX = d.ResumeX;
    state.ResumeY = d.ResumeY;
    auto piece = layer.MakePiece<TComputeMultiPass>(rect, 3);
    piece->RestoreState(state);
    RunPiece(*piece);
    EXPECT_EQ(piece->State(), kComputeFinished);
    EXPECT_EQ(layer.Pixels(), reference.Pixels());
  }
}

}  // namespace
}  // namespace zt
