// Tests of the guessing thread: how far its image departs from the linear one and
// how much it calculates on a standard view, uniform areas, and exact resumption.
#include "render/compute_guessing.h"

#include <gtest/gtest.h>

#include "render/pass_test_util.h"

namespace zt {
namespace {

using testing::CountDifferences;
using testing::LinearPixels;
using testing::RunPiece;
using testing::RunWithStops;
using testing::TMandelbrotLayer;

TEST(ComputeGuessing, StandardViewGuessesAlmostEverythingRight) {
  // The whole set at 320 x 240 with three passes (as a layer of that height gets):
  // 7 of 76,800 pixels are guessed differently from the linear pass, and fewer than
  // a quarter of the pixels are calculated.
  const int width = 320, height = 240;
  TMandelbrotLayer layer(width, height);
  auto piece = layer.MakePiece<TComputeGuessing>(layer.Whole(), 3);
  RunPiece(*piece);
  EXPECT_EQ(piece->State(), kComputeFinished);
  EXPECT_EQ(piece->PixelsDone(), width * height);
  EXPECT_EQ(CountDifferences(layer.Pixels(), LinearPixels(width, height)), 7);
  EXPECT_EQ(piece->PixelCalls(), 17869);
}

TEST(ComputeGuessing, UniformAreaCalculatesOnlyTheGridAndTheEdges) {
  // Deep inside the main cardioid every pixel is inside. Besides the 8 x 6 grid
  // of the first pass, a refinement over c x r blocks calculates, where neighbours
  // are missing: the centers of the last column and the last row (r + c - 1), the
  // top-middle pixels of the last column (r) and the left-middle pixels of the last
  // row but its first block (c - 1). Steps 8, 4, 2: 26 + 54 + 110.
  TMandelbrotLayer layer(64, 48);
  layer.Mapping.SetCenter({-0.2L, 0});
  layer.Mapping.SetMagnification(40);
  auto piece = layer.MakePiece<TComputeGuessing>(layer.Whole(), 3);
  RunPiece(*piece);
  EXPECT_EQ(layer.Pixels(), std::vector<std::uint16_t>(64 * 48, kInsideSolid));
  EXPECT_EQ(piece->PixelsDone(), 64 * 48);
  EXPECT_EQ(piece->PixelCalls(), 48 + 26 + 54 + 110);
}

TEST(ComputeGuessing, PieceInsideTheImageTouchesOnlyItsRectangle) {
  const int width = 90, height = 70;
  const TRect rect{11, 9, 77, 58};
  TMandelbrotLayer layer(width, height);
  auto piece = layer.MakePiece<TComputeGuessing>(rect, 3);
  RunPiece(*piece);
  const auto pixels = layer.Pixels();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool inside = x >= rect.Left && x < rect.Right && y >= rect.Top && y < rect.Bottom;
      ASSERT_EQ(pixels[y * width + x] == kBackgroundIndex, !inside) << x << "," << y;
    }
  }
  EXPECT_EQ(piece->PixelsDone(), rect.Area());
}

TEST(ComputeGuessing, StoppedAndResumedGivesTheUninterruptedImage) {
  const int width = 120, height = 90;
  TMandelbrotLayer reference(width, height);
  auto whole = reference.MakePiece<TComputeGuessing>(reference.Whole(), 4);
  RunPiece(*whole);
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE(seed);
    TMandelbrotLayer layer(width, height);
    TPieceState last;
    const int stops = RunWithStops<TComputeGuessing>(layer, layer.Whole(), 4, seed, 300, last);
    EXPECT_GT(stops, 0);
    EXPECT_EQ(last.State, kComputeFinished);
    EXPECT_EQ(last.Statistics.PixelsDone, width * height);
    EXPECT_EQ(layer.Pixels(), reference.Pixels());
  }
}

// A guessing piece that stops itself when it reaches one row of one refinement.
class TStopAtRow : public TComputeGuessing {
 public:
  TStopAtRow(TMandelbrotLayer& layer, int step, int row)
      : TComputeGuessing(layer.Mapping, layer.Formula, layer.Inside, layer.Outside, layer.Image),
        step_(step),
        row_(row) {}
  ~TStopAtRow() override { StopCalculation(); }

 protected:
  void RefineRow(int y, int step) override {
    if (step == step_ && y == row_) Terminate();
    TComputeGuessing::RefineRow(y, step);
  }

 private:
  const int step_;
  const int row_;
};

// The whole set, or a busy view of the filaments near -0.745 + 0.11i.
void SetView(TMandelbrotLayer& layer, bool busy) {
  if (!busy) return;
  layer.Mapping.SetCenter({-0.745L, 0.11L});
  layer.Mapping.SetMagnification(30);
}

// The image of a three-pass piece stopped at `row` of the refinement with `step`;
// a row below the image stands for the start of the next refinement (or the end).
std::vector<std::uint16_t> PixelsStoppedAt(int width, int height, int step, int row, bool busy) {
  if (row >= height) {
    step /= 2;
    row = 0;
  }
  TMandelbrotLayer layer(width, height);
  SetView(layer, busy);
  TStopAtRow piece(layer, step, row);
  piece.SetRect(layer.Whole());
  piece.SetPasses(3);
  RunPiece(piece);
  EXPECT_EQ(piece.State(), step >= 2 ? kComputeInterrupted : kComputeFinished);
  return layer.Pixels();
}

TEST(ComputeGuessing, ResumedInTheMiddleOfARowGuessesAsWithoutTheStop) {
  // The image of a piece stopped before block x of row y is that of a piece
  // stopped at the start of row y, with the blocks left of x taken from one
  // stopped at the next row. Resuming from there at every block of a row must give
  // the uninterrupted image. The rows are ones where the neighbours carried from
  // the block to the left matter, two of them the last row of their pass; in the
  // busy view the top middle pixel of the block to the left decides a block.
  const int width = 160, height = 120;
  struct TRowCase {
    int Step;
    int Row;
    int CurrentPass;
    bool Busy;
  };
  for (const TRowCase c : {TRowCase{8, 112, 2, false}, TRowCase{4, 32, 1, false},
                           TRowCase{4, 116, 1, false}, TRowCase{2, 8, 0, true}}) {
    TMandelbrotLayer reference(width, height);
    SetView(reference, c.Busy);
    auto whole = reference.MakePiece<TComputeGuessing>(reference.Whole(), 3);
    RunPiece(*whole);
    const auto before = PixelsStoppedAt(width, height, c.Step, c.Row, c.Busy);
    const auto after = PixelsStoppedAt(width, height, c.Step, c.Row + c.Step, c.Busy);
    for (int resume_x = c.Step; resume_x < width; resume_x += c.Step) {
      SCOPED_TRACE("step " + std::to_string(c.Step) + " row " + std::to_string(c.Row) + " block " +
                   std::to_string(resume_x));
      TMandelbrotLayer layer(width, height);
      SetView(layer, c.Busy);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const bool done = y >= c.Row && y < c.Row + c.Step && x < resume_x;
          layer.Image.SetPixel(x, y, (done ? after : before)[y * width + x]);
        }
      }
      TPieceState state;
      state.State = kComputeInterrupted;
      state.Rect = layer.Whole();
      state.Passes = 3;
      state.CurrentPass = c.CurrentPass;
      state.ResumeX = resume_x;
      state.ResumeY = c.Row;
      auto piece = layer.MakePiece<TComputeGuessing>(layer.Whole(), 3);
      piece->RestoreState(state);
      RunPiece(*piece);
      ASSERT_EQ(CountDifferences(layer.Pixels(), reference.Pixels()), 0);
    }
  }
}

}  // namespace
}  // namespace zt
