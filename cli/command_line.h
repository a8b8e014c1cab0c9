// The zt command line: dispatches `zt COMMAND ...` to the command's implementation.
// Called once from main on the main thread.
#pragma once

namespace zt {

// Runs the command line and returns the process exit status:
// 0 success, 1 the command's work failed, 2 usage or file errors.
int RunCommandLine(int argc, char** argv);

}  // namespace zt
