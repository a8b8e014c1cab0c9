// The fractal formula entry: sections INIT, LOOP and BAILOUT, the settings of its
// default, builtin and switch sections, what its code may use, and the per-pixel
// formula procedure assembled from its compiled sections.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "formula/formula_base.h"
#include "platform/code_buffer.h"

namespace zt {

// One mapping of the switch feature: the target's parameter `Target` receives this
// formula's parameter `Source`, or the current pixel when `Source` is "#pixel".
struct TSwitchMapping {
  std::string Target;
  std::string Source;
};

enum TCalcMethod : std::uint8_t { cmGuessing = 0, cmMultiPass = 1, cmOnePass = 2 };

// Used on the thread that owns the layer (the user-interface thread).
class TFormula : public TFormulaBase {
 public:
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
  // The assembled formula procedure (call it through CallProcedure with a
  // calculation block); null without compiled code (no entry, a built-in formula,
  // or a failed compilation). Valid until the next compilation.
  const void* Procedure() const { return procedure_.Empty() ? nullptr : procedure_.Data(); }

 protected:
  std::string ImpliedFirstLabel(const std::string& label) override;
  std::string DefaultLabel() override { return "INIT"; }
  std::string ColonLabel() override { return "LOOP"; }
  std::string BailoutLabel() override { return "BAILOUT"; }
  bool ExtraSymbol(const std::string& upperName, TSymbolCode& code) override;
  TSectionKind ClassifyLabel(const std::string& upperLabel) override;
  int NumericSetting(const std::string& section, const std::string& upperName,
                     const TLiteral& value) override;
  int StringSetting(const std::string& section, const std::string& upperName,
                    const std::string& value) override;
  int OtherSetting(const std::string& section, const TToken& first, const TToken& value) override;
  bool FunctionAllowed(const std::string& section, int function) override;
  bool SymbolReadable(const std::string& section, int symbol) override;
  bool SymbolWritable(const std::string& section, int symbol) override;
  void BeginCompile() override;
  void SectionCompiled(const std::string& upperName, TCodeBuffer code) override;
  void DiscardCode() override;
  void AssembleCode() override;
  // The iteration loop keeps #z on the FPU for its loop and bailout code.
  bool ParksZ(const std::string& upperName) const override {
    return upperName == "LOOP" || upperName == "BAILOUT";
  }

 private:
  void ResetSettings();

  TCodeBuffer init_code_;
  TCodeBuffer loop_code_;
  TCodeBuffer bailout_code_;
  TCodeBuffer procedure_;

  int max_iterations_ = 100;
  int periodicity_ = 2;
  TLiteral default_center_ = TLiteral::MakeComplex(0, 0);
  long double default_magnification_ = 1;
  long double default_angle_ = 0;
  TCalcMethod method_ = cmGuessing;
  int built_in_type_ = 0;
  int symmetry_ = 0;
  std::string switch_type_;
  std::vector<TSwitchMapping> switch_list_;
  bool writes_z_ = false;
  bool params_loaded_ = false;
};

// The symmetry code of a symmetry word (XAXIS 1 ... PI_NOPARM 12; 0 for others).
int SymmetryFromName(const std::string& name);

}  // namespace zt
