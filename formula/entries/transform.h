// The transformation entry: one TRANSFORM section that may change #pixel or set
// #solid, what its code may use, its stand-alone procedure, its enabled flag and
// the values a parameter file gives it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "formula/entries/formula_base.h"
#include "platform/code_buffer.h"

namespace zt {

// A transformation as a parameter file describes it: which entry, whether it is
// enabled, and parameter values and function codes by name.
struct TTransformSettings {
  std::string FileName;
  std::string EntryName;
  bool Enabled = true;
  std::vector<std::pair<std::string, TParamValue>> Params;
  std::vector<std::pair<std::string, int>> Funcs;
};

// Used on the thread that owns the layer (the user-interface thread); the
// calculation threads only call the procedure and read Enabled and
// VariableBlockSize while no change runs.
class TTransform : public TFormulaBase {
 public:
  // The compiled procedure (call it through CallProcedure with a calculation
  // block whose transformation-variables cell points at this entry's variables);
  // null without compiled code. Valid until the next compilation.
  const void* Procedure() const { return procedure_.Empty() ? nullptr : procedure_.Data(); }

  // A disabled transformation keeps its place (and its variables) in the chain
  // but is not called. Changing the flag signals a change (OnChanged).
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // Loads and compiles the named entry unless it is the one already loaded (the
  // values of the previous entry are dropped then), and applies the enabled
  // flag, the parameter values and the function codes as one change. Names that
  // the entry does not have are skipped. File errors pass on.
  void ApplyParameters(const TTransformSettings& settings);
  // The settings that ApplyParameters turns back into this transformation: the
  // entry, the enabled flag and every parameter value and function code by name.
  TTransformSettings SaveSettings() const;

 protected:
  std::string DefaultLabel() override { return "TRANSFORM"; }
  TSectionKind ClassifyLabel(const std::string& upper_label) override;
  bool FunctionAllowed(const std::string& section, int function) override;
  bool SymbolReadable(const std::string& section, int symbol) override;
  bool SymbolWritable(const std::string& section, int symbol) override;
  void SectionCompiled(const std::string& upper_name, TCodeBuffer code) override;
  void DiscardCode() override;
  void AssembleCode() override;

 private:
  TCodeBuffer code_;
  TCodeBuffer procedure_;
  bool enabled_ = true;
};

}  // namespace zt
