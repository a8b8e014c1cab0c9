// `zt iterate FILE ENTRY --pixel RE,IM [--maxiter N] [--trace N] [--set NAME=VALUE ...]`:
// compiles one formula entry, runs it for one point and prints #z after each of
// the first iterations (with --trace), the final #z and #numiter.
#pragma once

#include <iosfwd>

namespace zt {

// Runs the command with the arguments after "iterate"; returns the exit status:
// 0 done, 1 the entry did not compile, 2 usage or file errors.
int RunIterateCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace zt
