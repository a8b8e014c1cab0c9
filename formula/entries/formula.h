// The fractal formula entry: sections INIT, LOOP and BAILOUT, the settings of its
// default, builtin and switch sections, what its code may use, and the per-pixel
// formula procedure assembled from its compiled sections.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/entries/formula_base.h"
#include "formula/language/param.h"
#include "platform/code_buffer.h"

namespace zt {

// One mapping of the switch feature: the target's parameter `Target` receives this
// formula's parameter `Source`, or the current pixel when `Source` is "#pixel".
struct TSwitchMapping {
  std::string Target;
  std::string Source;
};

enum TCalcMethod : std::uint8_t { kMethodGuessing = 0, kMethodMultiPass = 1, kMethodOnePass = 2 };

// A value read from a parameter file for the parameter or function `Name`.
struct TNamedParamValue {
  std::string Name;
  TParamValue Value;
};
struct TNamedFunction {
  std::string Name;
  int Code = 0;
};

// The formula's part of a layer's undo record: the entry and the values set on it.
struct TFormulaSnapshot {
  std::string FileName;
  std::string EntryName;  // empty without an entry
  int MaxIterations = 100;
  int Periodicity = 2;
  TCalcMethod Method = kMethodGuessing;
  TParamList::TSnapshot Params;
  TFuncList::TSnapshot Funcs;
};

// Everything here is used on the thread that owns the layer (the user-interface
// thread), FillCalcBlock included (the calculation setup calls it before a
// calculation thread runs). The calculation threads only run Procedure() on
// their own blocks; recompiling while they run is the layer's matter to avoid.
class TFormula : public TFormulaBase {
 public:
  TFormula();

  // The defaults of an object without an entry: 100 iterations, periodicity 2,
  // no automatic iterations, guessing, no switch or built-in type, parameters
  // not loaded; Procedure() becomes the empty-formula procedure.
  void Reset();

  // Ignored unless n >= 1 and new; (n, current magnification) becomes the base pair.
  void SetMaxIterations(int n);
  // 0 off, 1 conservative, 2 normal, 3 rough; others ignored.
  void SetPeriodicity(int mode);
  // When switched, (current maximum, current magnification) becomes the base pair.
  void SetAutomaticIterations(bool on);
  // For a parameter file's method, which outranks the entry's METHOD setting.
  void SetMethod(TCalcMethod method);
  bool AutomaticIterations() const { return automatic_iterations_; }
  // The layer's magnification; with automatic iterations the maximum grows by
  // 100 iterations per doubling over the base pair and never falls below its base.
  void SetMagnification(long double magnification);
  long double Magnification() const { return magnification_; }

  // Applies the formula part of a parameter-file entry: keeps the compiled entry
  // when file and entry name equal the loaded ones, otherwise resets and loads
  // the named entry; then maximum iterations, periodicity, parameter values and
  // function choices, in this order, as one change. Names not present are skipped.
  void ApplyParameters(const std::string& file_name, const std::string& entry_name,
                       int max_iterations, int periodicity,
                       const std::vector<TNamedParamValue>& values,
                       const std::vector<TNamedFunction>& functions);

  TFormulaSnapshot SaveSnapshot() const;
  // Loads the snapshot's entry unless it is the one loaded (Reset without one),
  // then restores the values as one change. File errors pass on.
  void RestoreSnapshot(const TFormulaSnapshot& snapshot);

  // Writes #maxiter and the periodicity mode (0 when the code never assigns #z),
  // and allocates and fills the formula's variable block in `block` (all three
  // variable cells 0 without variables). Call it after both colorings filled
  // `block`: a built-in formula picks its unrolled variant when the block has no
  // coloring loop procedure and periodicity is off, and Procedure() answers the
  // variant picked for the block filled last.
  void FillCalcBlock(TCalcBlock& block);

  int MaxIterations() const { return max_iterations_; }
  int Periodicity() const { return periodicity_; }
  TLiteral DefaultCenter() const { return default_center_; }
  long double DefaultMagnification() const { return default_magnification_; }
  long double DefaultAngle() const { return default_angle_; }  // radians
  TCalcMethod Method() const { return method_; }
  int BuiltInType() const { return built_in_type_; }
  int Symmetry() const { return symmetry_; }
  const std::string& SwitchType() const { return switch_type_; }
  const std::vector<TSwitchMapping>& SwitchList() const { return switch_list_; }
  // The code assigns #z somewhere (otherwise periodicity checking is pointless).
  bool WritesZ() const { return writes_z_; }
  // Parameter values came from a parameter file: MAXITER, PERIODICITY and METHOD
  // of the entry text then leave the loaded values alone.
  void SetParamsLoaded(bool loaded) { params_loaded_ = loaded; }
  // The procedure to run per pixel through CallProcedure: the assembled formula,
  // a built-in formula, or the empty-formula procedure (no entry, or a failed
  // compilation). Never null; valid until the next compilation or Reset.
  const void* Procedure() const;
  // Compiled or built-in code is present (Procedure() is not the empty formula's).
  bool HasCode() const { return !procedure_.Empty() || !built_in_procedure_.Empty(); }

 protected:
  std::string ImpliedFirstLabel(const std::string& label) override;
  std::string DefaultLabel() override { return "INIT"; }
  std::string ColonLabel() override { return "LOOP"; }
  std::string BailoutLabel() override { return "BAILOUT"; }
  bool ExtraSymbol(const std::string& upper_name, TSymbolCode& code) override;
  TSectionKind ClassifyLabel(const std::string& upper_label) override;
  int NumericSetting(const std::string& section, const std::string& upper_name,
                     const TLiteral& value) override;
  int StringSetting(const std::string& section, const std::string& upper_name,
                    const std::string& value) override;
  int OtherSetting(const std::string& section, const TToken& first, const TToken& value) override;
  bool FunctionAllowed(const std::string& section, int function) override;
  bool SymbolReadable(const std::string& section, int symbol) override;
  bool SymbolWritable(const std::string& section, int symbol) override;
  void BeginCompile() override;
  void SectionCompiled(const std::string& upper_name, TCodeBuffer code) override;
  void DiscardCode() override;
  void AssembleCode() override;
  // A built-in formula's variable block holds its parameter values (see builtin_formula.h).
  std::vector<std::uint8_t> InitialValues() override;
  // The iteration loop keeps values on the FPU for its loop and bailout code.
  TParking Parking(const std::string& upper_name) const override {
    return upper_name == "LOOP" || upper_name == "BAILOUT" ? TParking::kChosen : TParking::kNone;
  }

 private:
  void ResetSettings();

  TCodeBuffer empty_procedure_;
  TCodeBuffer built_in_procedure_;
  TCodeBuffer built_in_unrolled_;
  bool unrolled_selected_ = false;

  TCodeBuffer init_code_;
  TCodeBuffer loop_code_;
  TCodeBuffer bailout_code_;
  TCodeBuffer procedure_;

  int max_iterations_ = 100;
  int periodicity_ = 2;
  TLiteral default_center_ = TLiteral::MakeComplex(0, 0);
  long double default_magnification_ = 1;
  long double default_angle_ = 0;
  TCalcMethod method_ = kMethodGuessing;
  int built_in_type_ = 0;
  int symmetry_ = 0;
  std::string switch_type_;
  std::vector<TSwitchMapping> switch_list_;
  bool writes_z_ = false;
  bool params_loaded_ = false;
  bool automatic_iterations_ = false;
  long double magnification_ = 1;
  int base_iterations_ = 100;
  long double base_magnification_ = 1;
};

// The symmetry code of a symmetry word (XAXIS 1 ... PI_NOPARM 12; 0 for others).
int SymmetryFromName(const std::string& name);

}  // namespace zt
