// The list command: what a file holds, as the entry browsers show it.
#include "cli/list_command.h"

#include <algorithm>
#include <ostream>
#include <utility>
#include <vector>

#include "formula/language/code.h"
#include "formula/language/entry_name.h"
#include "platform/text.h"

namespace zt {
namespace {

constexpr const char* kHelp =
    "Usage: zt list FILE\n"
    "\n"
    "Lists the entries of a parameter (.zpr), gradient (.zgr), alpha channel (.zal)\n"
    "or formula, coloring or transformation file with their titles, or of a\n"
    "Fractint parameter file (.par) with the titles they get when opened.\n"
    "\n"
    "Exit status: 0 done, 2 usage or file errors.\n";

}  // namespace

std::string TitleSectionFor(const std::string& file) {
  if (EndsWithText(file, ".zpr")) return "FRACTAL";
  if (EndsWithText(file, ".zgr")) return "GRADIENT";
  if (EndsWithText(file, ".zal")) return "ALPHA";
  return "DEFAULT";
}

int RunListCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
  std::vector<std::string> positional;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      out << kHelp;
      return 0;
    }
    if (arg.rfind("--", 0) == 0) {
      err << "zt list: unknown option '" << arg << "'\n" << kHelp;
      return 2;
    }
    positional.push_back(arg);
  }
  if (positional.size() != 1) {
    err << kHelp;
    return 2;
  }
  // A palette has no entries; listing it would print nothing and look fine.
  if (EndsWithText(positional[0], ".map")) {
    err << "zt list: '" << positional[0] << "' is a MAP palette file, which holds no entries\n";
    return 2;
  }
  std::vector<std::pair<std::string, std::string>> entries;
  try {
    TCode code;
    code.ReadTitles = true;
    code.TitleSection = TitleSectionFor(positional[0]);
    code.LoadFile(positional[0]);
    // A Fractint entry has no title of its own; opening it makes one of its name.
    const bool fractint = EndsWithText(positional[0], ".par");
    for (; code.Found; code.FindNextEntry())
      entries.emplace_back(code.EntryName,
                           fractint ? EntryNameToCaption(code.EntryName) : code.Title);
  } catch (const EZentrope& e) {
    err << e.what() << '\n';
    return 2;
  }
  std::size_t width = 0;
  for (const auto& entry : entries) width = std::max(width, entry.first.size());
  for (const auto& [name, title] : entries)
    out << name << std::string(width - name.size() + 2, ' ') << title << '\n';
  return 0;
}

}  // namespace zt
