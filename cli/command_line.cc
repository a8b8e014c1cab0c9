// The zt command dispatcher.
#include "cli/command_line.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <new>
#include <string>

#include "cli/batch_command.h"
#include "cli/compile_command.h"
#include "cli/info_command.h"
#include "cli/iterate_command.h"
#include "cli/list_command.h"
#include "cli/render_command.h"
#include "document/fractal_file.h"
#include "document/settings/config_manager.h"

namespace zt {
namespace {

constexpr const char* kUsage =
    "Usage: zt COMMAND [ARGS...]\n"
    "\n"
    "Commands:\n"
    "  render    calculate a parameter set or fractal file and write an image\n"
    "  batch     render every parameter set of a file into a folder\n"
    "  info      show what a fractal file holds\n"
    "  list      list the entries of a parameter, gradient, alpha or collection file\n"
    "  compile   compile the entries of a formula, coloring or transformation file\n"
    "  iterate   run a formula entry for one point and show its orbit\n"
    "\n"
    "Run 'zt COMMAND --help' for the options of a command.\n";

int RunCommand(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  CheckZlibVersion();
  std::string command = argv[1];
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version") {
    std::puts("zt (Zentrope) 2.0");
    return 0;
  }
  if (command == "compile") {
    // Strict checking, warnings and the tab size come from the user's settings.
    ConfigManager().LoadAll();
    return RunCompileCommand(argc - 2, argv + 2, std::cout, std::cerr);
  }
  if (command == "iterate") {
    ConfigManager().LoadAll();
    return RunIterateCommand(argc - 2, argv + 2, std::cout, std::cerr);
  }
  if (command == "render") {
    ConfigManager().LoadAll();
    return RunRenderCommand(argc - 2, argv + 2, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
  }
  if (command == "batch") {
    ConfigManager().LoadAll();
    return RunBatchCommand(argc - 2, argv + 2, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
  }
  if (command == "info") {
    ConfigManager().LoadAll();
    return RunInfoCommand(argc - 2, argv + 2, std::cout, std::cerr);
  }
  if (command == "list") {
    ConfigManager().LoadAll();
    return RunListCommand(argc - 2, argv + 2, std::cout, std::cerr);
  }
  std::fprintf(stderr, "zt: unknown command '%s'\n\n%s", command.c_str(), kUsage);
  return 2;
}

constexpr const char* kOutOfMemory = "\nzt: out of memory\n";

// An exception that leaves a thread ends the program here: memory that ran
// out on a worker thread is reported like on the main thread.
[[noreturn]] void Terminate() {
  if (const std::exception_ptr error = std::current_exception()) {
    try {
      std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
      std::fputs(kOutOfMemory, stderr);
      std::_Exit(2);
    } catch (...) {
    }
  }
  std::abort();
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
  std::set_terminate(Terminate);
  try {
    return RunCommand(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cout.flush();
    std::fputs(kOutOfMemory, stderr);
    return 2;
  }
}

}  // namespace zt
