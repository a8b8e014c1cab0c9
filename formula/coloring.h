// The coloring algorithm entry: sections INIT, LOOP and FINAL, and what its code
// may use. FINAL leaves the pixel's value in #index or sets #solid.
#pragma once

#include "formula/formula_base.h"

namespace zt {

// Used on the thread that owns the layer (the user-interface thread).
class TColoring : public TFormulaBase {
 public:
  explicit TColoring(bool inside) : inside_(inside) {}

  bool Inside() const { return inside_; }
  // The code calls oldz: the orbit must be stored.
  bool UsesOrbit() const { return uses_orbit_; }
  // The code reads #z: a layer with this coloring cannot use symmetry.
  bool ReadsZ() const { return reads_z_; }

 protected:
  std::string ImpliedFirstLabel(const std::string& label) override;
  std::string DefaultLabel() override { return "FINAL"; }
  TSectionKind ClassifyLabel(const std::string& upperLabel) override;
  bool FunctionAllowed(const std::string& section, int function) override;
  bool SymbolReadable(const std::string& section, int symbol) override;
  bool SymbolWritable(const std::string& section, int symbol) override;
  void BeginCompile() override;

 private:
  bool inside_;
  bool uses_orbit_ = false;
  bool reads_z_ = false;
};

}  // namespace zt
