// `zt compile FILE [ENTRY ...]`: compiles entries of a formula, coloring or
// transformation collection and prints the compiler messages.
#pragma once

#include <iosfwd>

namespace zt {

// Runs the command with the arguments after "compile"; returns the exit status:
// 0 everything compiled, 1 an entry failed, 2 usage or file errors.
int RunCompileCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace zt
