// Test helper: runs one `zt` command's function with arguments and captures its
// exit status and output.
#pragma once

#include <iosfwd>
#include <sstream>
#include <string>
#include <vector>

namespace zt::testing {

struct TRun {
  int Status;
  std::string Out;
  std::string Err;
};

using TCommand = int (*)(int argc, char** argv, std::ostream& out, std::ostream& err);

inline TRun RunCommand(TCommand command, std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  std::ostringstream out, err;
  int status = command(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

}  // namespace zt::testing
