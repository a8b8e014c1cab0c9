// Recompiling a document's entries from a saved collection file.
#include "document/entry_recompile.h"

#include <filesystem>

namespace zt {
namespace {

bool FromFile(const TFormulaBase& entry, const std::string& file) {
  std::error_code error;
  return !entry.IsEmpty() && std::filesystem::equivalent(entry.Code().FileName, file, error);
}

// Compiles `entry` again from its file, read anew; false with the problem
// noted when the entry is gone.
bool Recompile(TFormulaBase& entry, std::vector<std::string>& problems) {
  const std::string file = entry.Code().FileName;
  const std::string name = entry.Code().EntryName;
  // A save within the file system's time resolution would look unchanged.
  entry.Code().FileDate = {};
  entry.SetKeepValues(true);
  try {
    entry.SetEntry(file, name);
  } catch (const EZentrope& e) {
    entry.SetKeepValues(false);
    problems.push_back(e.what());
    return false;
  }
  return true;
}

}  // namespace

int RecompileEntriesFrom(TFractal& fractal, const std::string& file,
                         std::vector<std::string>& problems) {
  int count = 0;
  fractal.BeginUpdate();
  try {
    for (int i = 0; i < fractal.Layers().Count(); ++i) {
      TLayer& layer = fractal.Layers()[i];
      TTransformList& transforms = layer.Mapping().Transforms();
      for (int t = 0; t < transforms.Count(); ++t)
        if (FromFile(transforms.Item(t), file) && Recompile(transforms.Item(t), problems)) ++count;
      TFormula& formula = layer.Formula();
      if (FromFile(formula, file)) {
        const int iterations = formula.MaxIterations();
        const int periodicity = formula.Periodicity();
        if (Recompile(formula, problems)) {
          formula.SetMaxIterations(iterations);
          formula.SetPeriodicity(periodicity);
          ++count;
        }
      }
      for (TColoring* coloring : {&layer.InsideColoring(), &layer.OutsideColoring()})
        if (FromFile(*coloring, file) && Recompile(*coloring, problems)) ++count;
    }
  } catch (...) {
    fractal.EndUpdate();
    throw;
  }
  fractal.EndUpdate();
  return count;
}

}  // namespace zt
