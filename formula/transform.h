// The transformation entry: one TRANSFORM section that may change #pixel or set
// #solid, what its code may use, and its stand-alone procedure.
#pragma once

#include "formula/formula_base.h"
#include "platform/code_buffer.h"

namespace zt {

// Used on the thread that owns the layer (the user-interface thread).
class TTransform : public TFormulaBase {
 public:
  // The compiled procedure (call it through CallProcedure with a calculation
  // block whose transformation-variables cell points at this entry's variables);
  // null without compiled code. Valid until the next compilation.
  const void* Procedure() const { return procedure_.Empty() ? nullptr : procedure_.Data(); }

 protected:
  std::string DefaultLabel() override { return "TRANSFORM"; }
  TSectionKind ClassifyLabel(const std::string& upperLabel) override;
  bool FunctionAllowed(const std::string& section, int function) override;
  bool SymbolReadable(const std::string& section, int symbol) override;
  bool SymbolWritable(const std::string& section, int symbol) override;
  void SectionCompiled(const std::string& upperName, TCodeBuffer code) override;
  void DiscardCode() override;
  void AssembleCode() override;

 private:
  TCodeBuffer code_;
  TCodeBuffer procedure_;
};

}  // namespace zt
