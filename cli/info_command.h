// `zt info FILE.zfr`: what a fractal file holds: size, layers with their
// formulas and calculation states, and the calculation time.
#pragma once

#include <iosfwd>

namespace zt {

class TFractal;

// Describes a loaded document on `out`, one item per line.
void PrintFractalInfo(TFractal& fractal, std::ostream& out);

// Runs the command with the arguments after "info"; returns 0, or 2 for usage
// and file errors. Main thread.
int RunInfoCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace zt
