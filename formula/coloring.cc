// Sections, symbol rules and procedures of coloring algorithm entries.
#include "formula/coloring.h"

#include "formula/procedures.h"

namespace zt {

void TColoring::BeginCompile() {
  TFormulaBase::BeginCompile();
  uses_orbit_ = false;
  reads_z_ = false;
}

void TColoring::SectionCompiled(const std::string& upperName, TCodeBuffer code) {
  if (upperName == "INIT")
    init_code_ = std::move(code);
  else if (upperName == "LOOP")
    loop_code_ = std::move(code);
  else
    final_code_ = std::move(code);
}

void TColoring::DiscardCode() {
  init_code_ = TCodeBuffer();
  loop_code_ = TCodeBuffer();
  final_code_ = TCodeBuffer();
  init_procedure_ = TCodeBuffer();
  loop_procedure_ = TCodeBuffer();
  final_procedure_ = TCodeBuffer();
}

// Init and final procedures always exist (the orbit store of init is needed even
// without init code); the formula procedure skips a missing loop procedure.
void TColoring::AssembleCode() {
  init_procedure_ =
      BuildColoringProcedure(init_code_.Bytes(), inside_, uses_orbit_, TColoringPart::kInit);
  if (!loop_code_.Empty())
    loop_procedure_ =
        BuildColoringProcedure(loop_code_.Bytes(), inside_, uses_orbit_, TColoringPart::kLoop);
  final_procedure_ =
      BuildColoringProcedure(final_code_.Bytes(), inside_, uses_orbit_, TColoringPart::kFinal);
  init_code_ = TCodeBuffer();
  loop_code_ = TCodeBuffer();
  final_code_ = TCodeBuffer();
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
