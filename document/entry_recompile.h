// Bringing a document up to date with a collection file that was saved: every
// transformation, formula and coloring of its layers that comes from that file
// compiles again from the new text, keeping its parameter values.
#pragma once

#include <string>
#include <vector>

#include "document/fractal.h"

namespace zt {

// Recompiles the entries of `fractal` that were loaded from `file` (the same
// file, however named), under one update bracket, so the layers that use them
// recalculate once. A formula keeps its maximum iterations and periodicity.
// Returns the number of entries compiled; an entry that is no longer in the
// file keeps its code and its error text goes to `problems`. An entry that
// fails to compile is left without code, as any failed compilation.
// User-interface thread.
int RecompileEntriesFrom(TFractal& fractal, const std::string& file,
                         std::vector<std::string>& problems);

}  // namespace zt
