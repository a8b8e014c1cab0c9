// How a calculation is split into pieces: a grid of about twice as many pieces as
// threads, with cells as close to square as the factors 2 and 3 allow.
#pragma once

#include <vector>

#include "platform/rect.h"

namespace zt {

// The number of pieces for `threads` threads (clamped to 1..16): 1 for one
// thread, else the largest number not above 2 * threads whose only prime factors
// are 2 and 3.
int PieceCount(int threads);

struct TPieceGrid {
  int Columns = 1;
  int Rows = 1;
};

// Columns and rows for `pieces` pieces of `area`: each step splits the wider
// side of the current cell by 3 or 2, whichever leaves the cell side closer to
// the other side.
TPieceGrid SplitGrid(const TRect& area, int pieces);

// The pieces of `area` for `threads` threads, row by row from the top, each row
// from the left. The pieces cover `area` exactly.
std::vector<TRect> SplitIntoPieces(const TRect& area, int threads);

}  // namespace zt
