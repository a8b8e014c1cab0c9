// Fractint's inside and outside colors: the keys inside, outside, logmap,
// biomorph, decomp and potential, and the colorings of Fractint.zcl that
// reproduce them on a layer.
#pragma once

#include <string>

#include "color/layer.h"
#include "document/params/par_reader.h"

namespace zt {

// The outside colorings, by the keys that ask for them.
enum class TFractintOutside { kPlain, kDecomposition, kPotential };

// What the coloring keys of one entry say.
struct TFractintColoring {
  int InsideMode = 0;   // 0 a fixed color, 1 zmag, 2 bof60, 3 bof61, 4 epscross, 5 period
  int InsideColor = 1;  // -1 for the color of the maximum iterations
  TFractintOutside Outside = TFractintOutside::kPlain;
  int OutsideMode = 1;  // 0 a fixed color, 1 iter, 2 real, 3 imag, 4 mult, 5 summ, 6 atan
  int OutsideColor = 1;
  int Logmap = 0;
  int Biomorph = -1;
  long double Decomp = 0;
  int PotentialColors = 0;
  long double PotentialSlope = 0;
  long double PotentialBailout = 0;

  // Takes the reader's current item when `key` is one of the coloring keys and
  // returns true; false for other keys. Raises the format error for a list
  // that cannot be read.
  bool ReadKey(const std::string& key, const TParReader& r);
};

// Loads the outside coloring the keys ask for and sets the parameters of both
// colorings (smooth from `smooth`; the outside one measures orbits against the
// formula's float parameter "bailout" when it has one). A fixed inside color
// becomes the layer's inside color, read from its gradient, so that the
// calculation keeps its periodicity checking; other inside colors switch the
// inside coloring's transfer to linear. Call it once the gradient is final.
// User-interface thread.
void ApplyFractintColoring(TLayer& layer, const TFractintColoring& coloring, int max_iterations,
                           bool smooth, TParReader& r);

}  // namespace zt
