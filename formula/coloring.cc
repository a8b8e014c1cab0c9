// Sections and symbol rules of coloring algorithm entries.
#include "formula/coloring.h"

namespace zt {

void TColoring::BeginCompile() {
  TFormulaBase::BeginCompile();
  uses_orbit_ = false;
  reads_z_ = false;
}

std::string TColoring::ImpliedFirstLabel(const std::string& label) {
  return label == "INIT" ? "" : "INIT";
}

TSectionKind TColoring::ClassifyLabel(const std::string& label) {
  if (label == "INIT" || label == "LOOP" || label == "FINAL") return skCode;
  if (label == "DEFAULT") return skSettingsWithBlocks;
  return skInvalid;
}

bool TColoring::FunctionAllowed(const std::string& section, int function) {
  if (function != fnOldZ) return true;
  if (section != "FINAL") return false;
  uses_orbit_ = true;
  return true;
}

bool TColoring::SymbolReadable(const std::string& section, int symbol) {
  bool readable = (kFormulaReadable & SymbolBit(symbol)) != 0 ||
                  (symbol == syNumIter && section == "FINAL");
  if (readable && symbol == syZ) reads_z_ = true;
  return readable;
}

bool TColoring::SymbolWritable(const std::string& section, int symbol) {
  return section == "FINAL" && (symbol == syIndex || symbol == sySolid);
}

}  // namespace zt
