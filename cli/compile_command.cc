// The compile command: one compiler object per file, every entry compiled in file
// order, messages printed as the message window shows them.
#include "cli/compile_command.h"

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "formula/entries/compile_messages.h"
#include "formula/entries/entry_kind.h"
#include "platform/text.h"

namespace zt {
namespace {

constexpr const char* kHelp =
    "Usage: zt compile [OPTIONS] FILE [ENTRY ...]\n"
    "\n"
    "Compiles the named entries, or every entry, of a formula (.zfm, .frm), coloring\n"
    "(.zcl) or transformation (.zxf) collection and prints the compiler messages.\n"
    "\n"
    "Options:\n"
    "  --kind=formula|coloring|transformation   compile as this kind, whatever the extension\n"
    "  --help                                   show this text\n"
    "\n"
    "Exit status: 0 everything compiled, 1 an entry failed, 2 usage or file errors.\n";

bool KindFromName(const std::string& name, TEntryKind& kind) {
  if (name == "formula")
    kind = TEntryKind::kFormula;
  else if (name == "coloring")
    kind = TEntryKind::kColoring;
  else if (name == "transformation")
    kind = TEntryKind::kTransformation;
  else
    return false;
  return true;
}

struct TEntryPlace {
  std::string Name;
  int Line;
  int Column;
};

}  // namespace

int RunCompileCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
  std::string file;
  std::vector<std::string> entries;
  bool kind_forced = false;
  TEntryKind kind = TEntryKind::kFormula;
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      out << kHelp;
      return 0;
    }
    if (arg.rfind("--kind=", 0) == 0) {
      if (!KindFromName(arg.substr(7), kind)) {
        err << "zt compile: unknown kind '" << arg.substr(7) << "'\n";
        return 2;
      }
      kind_forced = true;
    } else if (arg.rfind("--", 0) == 0) {
      err << "zt compile: unknown option '" << arg << "'\n" << kHelp;
      return 2;
    } else if (file.empty()) {
      file = arg;
    } else {
      entries.push_back(arg);
    }
  }
  if (file.empty()) {
    err << kHelp;
    return 2;
  }
  if (!kind_forced && !EntryKindFromExtension(file, kind)) {
    err << "zt compile: cannot tell the kind of '" << file
        << "' from its extension; use --kind=formula|coloring|transformation\n";
    return 2;
  }

  std::unique_ptr<TFormulaBase> compiler = MakeEntryObject(kind);
  TMessageCollector messages(*compiler, file);
  TCode& code = compiler->Code();
  std::vector<TEntryPlace> places;
  try {
    code.LoadFile(file);
    if (entries.empty()) {
      for (; code.Found; code.FindNextEntry())
        places.push_back({code.EntryName, code.HeaderLine, code.HeaderColumn});
    } else {
      for (const auto& name : entries) {
        code.SelectEntry(name);
        places.push_back({code.EntryName, code.HeaderLine, code.HeaderColumn});
      }
    }
  } catch (const EZentrope& e) {
    err << e.what() << '\n';
    return 2;
  }

  int failed = 0;
  for (const auto& place : places) {
    messages.Reset();
    try {
      // By position, so that entries that share a name are all compiled.
      compiler->SetEntryAt(file, place.Line, place.Column);
    } catch (const EZentrope& e) {
      err << e.what() << '\n';
      return 2;
    }
    bool success = !compiler->CompileFailed();
    messages.Print(out, success, place.Name);
    if (!success) ++failed;
  }
  return failed > 0 ? 1 : 0;
}

}  // namespace zt
