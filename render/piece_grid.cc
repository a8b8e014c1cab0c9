// The split of a calculated rectangle into pieces for the calculation threads.
#include "render/piece_grid.h"

#include <algorithm>
#include <cstdlib>

namespace zt {

int PieceCount(int threads) {
  threads = std::clamp(threads, 1, 16);
  if (threads == 1) return 1;
  int best = 1;
  for (int twos = 1; twos <= 2 * threads; twos *= 2)
    for (int n = twos; n <= 2 * threads; n *= 3) best = std::max(best, n);
  return best;
}

TPieceGrid SplitGrid(const TRect& area, int pieces) {
  TPieceGrid grid;
  int n = pieces;
  while (n > 1) {
    const int w = area.Width() / grid.Columns;
    const int h = area.Height() / grid.Rows;
    const bool columns = w >= h;
    const int s = columns ? w : h;
    const int o = columns ? h : w;
    // A factor that does not divide n counts as a candidate far away from o.
    const int by2 = n % 2 == 0 ? s / 2 : 4 * s;
    const int by3 = n % 3 == 0 ? s / 3 : 4 * s;
    int factor = std::abs(by2 - o) >= std::abs(by3 - o) ? 3 : 2;
    // A cell that shrank to 0 x 0 ties both candidates; take the factor that divides
    // n so that the grid keeps exactly `pieces` cells.
    if (n % factor != 0) factor = 5 - factor;
    if (n % factor != 0) break;  // a count with other prime factors
    (columns ? grid.Columns : grid.Rows) *= factor;
    n /= factor;
  }
  return grid;
}

std::vector<TRect> SplitIntoPieces(const TRect& area, int threads) {
  const TPieceGrid grid = SplitGrid(area, PieceCount(threads));
  const long long width = area.Width();
  const long long height = area.Height();
  std::vector<TRect> pieces;
  pieces.reserve(static_cast<std::size_t>(grid.Columns * grid.Rows));
  for (int i = 1; i <= grid.Rows; ++i) {
    for (int j = 1; j <= grid.Columns; ++j) {
      TRect piece;
      piece.Left = area.Left + static_cast<int>(width * (j - 1) / grid.Columns);
      piece.Right = area.Left + static_cast<int>(width * j / grid.Columns);
      piece.Top = area.Top + static_cast<int>(height * (i - 1) / grid.Rows);
      piece.Bottom = area.Top + static_cast<int>(height * i / grid.Rows);
      pieces.push_back(piece);
    }
  }
  return pieces;
}

}  // namespace zt
