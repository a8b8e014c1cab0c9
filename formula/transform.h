// The transformation entry: one TRANSFORM section that may change #pixel or set
// #solid, and what its code may use.
#pragma once

#include "formula/formula_base.h"

namespace zt {

// Used on the thread that owns the layer (the user-interface thread).
class TTransform : public TFormulaBase {
 protected:
  std::string DefaultLabel() override { return "TRANSFORM"; }
  TSectionKind ClassifyLabel(const std::string& upperLabel) override;
  bool FunctionAllowed(const std::string& section, int function) override;
  bool SymbolReadable(const std::string& section, int symbol) override;
  bool SymbolWritable(const std::string& section, int symbol) override;
};

}  // namespace zt
