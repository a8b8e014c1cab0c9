// The desktop program's command line: options for help, screenshots and the
// window size, and the files to open, expanded to full paths.
#pragma once

#include <string>
#include <vector>

namespace zt {

struct TCommandOptions {
  bool Help = false;
  std::string Screenshot;  // PNG file to write once every document is calculated
  bool Timing = false;     // print the time to the first complete image
  std::string Show;        // with --screenshot: the window to open and picture
  int Width = 0;           // main window size from --geometry; 0 when not given
  int Height = 0;
  std::vector<std::string> Files;  // full paths, in command line order
  std::string Error;               // a usage error; the rest is then unusable
};

// The --help text.
extern const char* const kUsage;

// Parses the arguments after the program name (Qt's own options already
// removed). Relative file names are taken relative to the current folder.
TCommandOptions ParseCommandOptions(const std::vector<std::string>& args);

// `file` as a full path: absolute, with "." and ".." folded.
std::string FullPath(const std::string& file);

}  // namespace zt
