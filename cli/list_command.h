// `zt list FILE`: the entries of a parameter, gradient, alpha channel or entry
// collection file with their titles.
#pragma once

#include <iosfwd>
#include <string>

namespace zt {

// The section that holds an entry's title in a file of this name: "FRACTAL" for
// parameter files (.zpr), "GRADIENT" (.zgr), "ALPHA" (.zal), else "DEFAULT".
std::string TitleSectionFor(const std::string& file);

// Runs the command with the arguments after "list"; prints one line per entry,
// the name padded to the longest name, two blanks and the title. Returns 0, or
// 2 for usage and file errors.
int RunListCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace zt
