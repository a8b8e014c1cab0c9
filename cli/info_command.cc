// The info command: a fractal file's contents without calculating anything.
#include "cli/info_command.h"

#include <cmath>
#include <filesystem>
#include <ostream>
#include <string>

#include "document/fractal.h"
#include "platform/text.h"

namespace zt {
namespace {

constexpr const char* kHelp =
    "Usage: zt info FILE.zfr\n"
    "\n"
    "Shows the size, the layers (caption, formula, calculation state), the\n"
    "document's calculation state and the calculation time of a fractal file.\n"
    "\n"
    "Exit status: 0 done, 2 usage or file errors.\n";

std::string LayerState(const TLayer& layer) {
  switch (layer.State()) {
    case kLayerCalculating: return "calculating";
    case kLayerInterrupted:
      return "partly calculated (" +
             std::to_string(static_cast<int>(std::floor(layer.Progress() * 100))) + "%)";
    default: return "calculated";
  }
}

std::string FormulaText(TLayer& layer) {
  const TCode& code = layer.Formula().Code();
  if (!code.Found) return "(none)";
  return code.EntryName + " (" + std::filesystem::path(code.FileName).filename().string() + ")";
}

}  // namespace

void PrintFractalInfo(TFractal& fractal, std::ostream& out) {
  const int count = fractal.Layers().Count();
  out << "Title: " << fractal.Title() << '\n'
      << "Size: " << fractal.Width() << " x " << fractal.Height() << '\n'
      << "Layers: " << count << '\n';
  for (int i = 0; i < count; ++i) {
    TLayer& layer = fractal.Layers()[i];
    out << "  " << i + 1 << ". \"" << layer.Caption() << "\": formula " << FormulaText(layer)
        << ", " << LayerState(layer) << '\n';
  }
  out << "Calculation: " << (fractal.IsPartlyCalculated() ? "partly calculated" : "complete")
      << '\n'
      << "Elapsed time: " << fractal.Timer().ElapsedText() << '\n';
}

int RunInfoCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
  std::string file;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      out << kHelp;
      return 0;
    }
    if (arg.rfind("--", 0) == 0 || !file.empty()) {
      err << "zt info: unexpected argument '" << arg << "'\n" << kHelp;
      return 2;
    }
    file = arg;
  }
  if (file.empty()) {
    err << kHelp;
    return 2;
  }
  // Other files would only be reported as corrupted fractal files.
  if (!EndsWithText(file, ".zfr")) {
    err << "zt info: '" << file << "' is not a fractal file; zt info reads fractal files (.zfr)\n";
    return 2;
  }
  TFractal fractal(std::filesystem::path(file).stem().string());
  // Held open so that loading does not continue interrupted calculations.
  fractal.BeginUpdate();
  try {
    fractal.LoadFromFile(file);
  } catch (const EZentrope& e) {
    err << e.what() << '\n';
    return 2;
  }
  PrintFractalInfo(fractal, out);
  return 0;
}

}  // namespace zt
