// Entry point of the zt program: hands the command line to the command dispatcher.
#include "cli/command_line.h"

int main(int argc, char** argv) { return zt::RunCommandLine(argc, argv); }
