// Parsing of the desktop program's command line.
#include "ui/command_options.h"

#include <filesystem>

namespace zt {

const char* const kUsage =
    "Usage: zentrope [OPTIONS] [FILE...]\n"
    "\n"
    "Opens each FILE by its extension: fractal files (.zfr) in a window,\n"
    "parameter files (.zpr, .par) through the entry browser, formula, coloring\n"
    "and transformation files (.zfm, .frm, .zcl, .zxf) in the formula editor.\n"
    "Without files the start-up action of the settings runs. When Zentrope is\n"
    "already running, the files open in the running program.\n"
    "\n"
    "Options:\n"
    "  --screenshot FILE.png  once every open document is calculated, save a\n"
    "                         picture of the main window and quit (status 0, or\n"
    "                         1 when the picture could not be written). Runs on\n"
    "                         its own: no splash, no association check, no\n"
    "                         questions, messages on standard error\n"
    "  --timing               with --screenshot: print the milliseconds from\n"
    "                         start to the complete image on standard error\n"
    "  --show NAME            with --screenshot: open the window NAME once the\n"
    "                         documents are calculated and picture it instead\n"
    "                         of the main window\n"
    "  --geometry WxH         the main window's size in pixels\n"
    "  --help                 show this text\n";

namespace {

bool ParseSize(const std::string& text, int& width, int& height) {
  const auto x = text.find_first_of("xX");
  if (x == std::string::npos || x == 0 || x + 1 >= text.size() || text.size() > 11) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (i != x && (text[i] < '0' || text[i] > '9')) return false;
  width = std::stoi(text.substr(0, x));
  height = std::stoi(text.substr(x + 1));
  return width >= 100 && height >= 100 && width <= 16384 && height <= 16384;
}

}  // namespace

std::string FullPath(const std::string& file) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(file, error);
  return (error ? std::filesystem::path(file) : absolute).lexically_normal().string();
}

TCommandOptions ParseCommandOptions(const std::vector<std::string>& args) {
  TCommandOptions options;
  bool only_files = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (only_files || arg.empty() || arg[0] != '-' || arg == "-") {
      options.Files.push_back(FullPath(arg));
    } else if (arg == "--") {
      only_files = true;
    } else if (arg == "--help" || arg == "-h") {
      options.Help = true;
    } else if (arg == "--timing") {
      options.Timing = true;
    } else if (arg == "--screenshot" && has_value) {
      options.Screenshot = FullPath(args[++i]);
    } else if (arg == "--show" && has_value) {
      options.Show = args[++i];
    } else if (arg == "--geometry" && has_value) {
      if (!ParseSize(args[++i], options.Width, options.Height)) {
        options.Error = "--geometry needs WIDTHxHEIGHT from 100 to 16384, got '" + args[i] + "'";
        return options;
      }
    } else if (arg == "--screenshot" || arg == "--show" || arg == "--geometry") {
      options.Error = arg + " needs a value";
      return options;
    } else {
      options.Error = "unknown option '" + arg + "'";
      return options;
    }
  }
  if (options.Timing && options.Screenshot.empty()) options.Error = "--timing needs --screenshot";
  if (!options.Show.empty() && options.Screenshot.empty())
    options.Error = "--show needs --screenshot";
  return options;
}

}  // namespace zt
