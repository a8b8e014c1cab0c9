// The desktop program's start-up, event loop and exit: one instance per user,
// "." as decimal separator, the settings, the random seed, the file
// association check, the splash window, the main window and the files of the
// command line (or the start-up action); the settings are written back at exit.
#pragma once

namespace zt {

// The whole program; returns the exit status. Main thread only.
int RunApplication(int argc, char** argv);

}  // namespace zt
