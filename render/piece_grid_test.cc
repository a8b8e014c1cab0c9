// Tests of the split of a calculated rectangle into pieces.
#include "render/piece_grid.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(PieceGridTest, PieceCountPerThreadCount) {
  const int expected[] = {1, 4, 6, 8, 9, 12, 12, 16, 18, 18, 18, 24, 24, 27, 27, 32};
  for (int threads = 1; threads <= 16; ++threads)
    EXPECT_EQ(PieceCount(threads), expected[threads - 1]) << threads << " threads";
  EXPECT_EQ(PieceCount(0), 1);
  EXPECT_EQ(PieceCount(-5), 1);
  EXPECT_EQ(PieceCount(40), 32);
}

TEST(PieceGridTest, GridSplitsTheWiderSideByTheCloserFactor) {
  struct TCase {
    TRect Area;
    int Pieces;
    int Columns;
    int Rows;
  };
  const TCase cases[] = {
      {{0, 0, 640, 480}, 1, 1, 1},  {{0, 0, 640, 480}, 4, 2, 2},
      {{0, 0, 640, 480}, 6, 2, 3},   // 640 by 2 (320 is nearer 480 than 213), then 480 by 3
      {{0, 0, 900, 100}, 9, 9, 1},   // 900 by 3 twice: 300 then 100 meet the height
      {{0, 0, 100, 900}, 6, 1, 6},   // tall: rows by 3 (300), then by 2 (150)
      {{0, 0, 640, 480}, 8, 4, 2},   // 640/2, 480/2, 320/2
      {{0, 0, 600, 600}, 12, 6, 2},  // square: columns first (w >= h)
      {{0, 0, 0, 0}, 4, 4, 1},       // empty cells tie; the factor that divides wins
      {{0, 0, 3, 3}, 32, 8, 4},      // cells shrink to nothing before the count is reached
      {{0, 0, 100, 100}, 10, 2, 1},  // a factor other than 2 and 3 stops the split
  };
  for (const TCase& c : cases) {
    const TPieceGrid grid = SplitGrid(c.Area, c.Pieces);
    EXPECT_EQ(grid.Columns, c.Columns)
        << c.Area.Width() << "x" << c.Area.Height() << " / " << c.Pieces;
    EXPECT_EQ(grid.Rows, c.Rows) << c.Area.Width() << "x" << c.Area.Height() << " / " << c.Pieces;
  }
}

TEST(PieceGridTest, PiecesRunRowByRowAndTruncateTheirEdges) {
  const std::vector<TRect> pieces = SplitIntoPieces({10, 20, 651, 501}, 3);  // 6 pieces: 2 x 3
  const std::vector<TRect> expected = {
      {10, 20, 330, 180},   {330, 20, 651, 180}, {10, 180, 330, 340},
      {330, 180, 651, 340}, {10, 340, 330, 501}, {330, 340, 651, 501},
  };
  EXPECT_EQ(pieces, expected);
}

TEST(PieceGridTest, PiecesCoverTheAreaExactlyForEveryThreadCount) {
  const TRect areas[] = {{0, 0, 640, 480}, {5, 7, 6, 300}, {-3, 2, 997, 13}, {0, 0, 3, 3}};
  for (const TRect& area : areas) {
    for (int threads = 1; threads <= 16; ++threads) {
      const std::vector<TRect> pieces = SplitIntoPieces(area, threads);
      ASSERT_EQ(static_cast<int>(pieces.size()), PieceCount(threads));
      long long covered = 0;
      for (const TRect& piece : pieces) {
        EXPECT_GE(piece.Left, area.Left);
        EXPECT_LE(piece.Right, area.Right);
        EXPECT_GE(piece.Top, area.Top);
        EXPECT_LE(piece.Bottom, area.Bottom);
        if (!piece.Empty()) covered += piece.Area();
      }
      EXPECT_EQ(covered, area.Area()) << threads << " threads";
    }
  }
}

}  // namespace
}  // namespace zt
