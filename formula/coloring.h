// The coloring algorithm entry: sections INIT, LOOP and FINAL, what its code may
// use, and the three procedures the formula procedure calls. FINAL leaves the
// pixel's value in #index or sets #solid.
#pragma once

#include "formula/formula_base.h"
#include "platform/code_buffer.h"

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

  // The compiled procedures (they expect the calculation block in RSI and are
  // called by the formula procedure); null without compiled code. The loop
  // procedure is also null when the entry has no loop code. Valid until the next
  // compilation.
  const void* InitProcedure() const { return Address(init_procedure_); }
  const void* LoopProcedure() const { return Address(loop_procedure_); }
  const void* FinalProcedure() const { return Address(final_procedure_); }

 protected:
  std::string ImpliedFirstLabel(const std::string& label) override;
  std::string DefaultLabel() override { return "FINAL"; }
  TSectionKind ClassifyLabel(const std::string& upperLabel) override;
  bool FunctionAllowed(const std::string& section, int function) override;
  bool SymbolReadable(const std::string& section, int symbol) override;
  bool SymbolWritable(const std::string& section, int symbol) override;
  void BeginCompile() override;
  void SectionCompiled(const std::string& upperName, TCodeBuffer code) override;
  void DiscardCode() override;
  void AssembleCode() override;

 private:
  static const void* Address(const TCodeBuffer& code) {
    return code.Empty() ? nullptr : code.Data();
  }

  TCodeBuffer init_code_;
  TCodeBuffer loop_code_;
  TCodeBuffer final_code_;
  TCodeBuffer init_procedure_;
  TCodeBuffer loop_procedure_;
  TCodeBuffer final_procedure_;
  bool inside_;
  bool uses_orbit_ = false;
  bool reads_z_ = false;
};

}  // namespace zt
