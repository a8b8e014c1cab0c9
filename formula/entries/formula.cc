// Sections, settings and symbol rules of fractal formula entries.
#include "formula/entries/formula.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "formula/codegen/procedures.h"
#include "formula/entries/builtin_formula.h"
#include "platform/text.h"

namespace zt {

int SymmetryFromName(const std::string& name) {
  static constexpr const char* kNames[] = {
      "XAXIS",  "XAXIS_NOPARM",  "XAXIS_NOREAL", "XAXIS_NOIMAG",  "YAXIS", "YAXIS_NOPARM",
      "XYAXIS", "XYAXIS_NOPARM", "ORIGIN",       "ORIGIN_NOPARM", "PI",    "PI_NOPARM"};
  std::string upper = UpperCase(Trim(name));
  for (int i = 0; i < 12; ++i)
    if (upper == kNames[i]) return i + 1;
  return 0;
}

TFormula::TFormula() : empty_procedure_(BuildEmptyFormulaProcedure()) {}

void TFormula::Reset() {
  BeginUpdate();
  ClearEntry();
  params_loaded_ = false;
  ResetSettings();
  symmetry_ = 0;
  automatic_iterations_ = false;
  magnification_ = 1;
  base_iterations_ = max_iterations_;
  base_magnification_ = 1;
  unrolled_selected_ = false;
  Change(2);
  EndUpdate();
}

void TFormula::SetMaxIterations(int n) {
  if (n < 1 || n == max_iterations_) return;
  max_iterations_ = n;
  base_iterations_ = n;
  base_magnification_ = magnification_;
  Change(2);
}

void TFormula::SetPeriodicity(int mode) {
  if (mode < 0 || mode > 3 || mode == periodicity_) return;
  periodicity_ = mode;
  Change(2);
}

void TFormula::SetMethod(TCalcMethod method) {
  if (method > kMethodOnePass || method == method_) return;
  method_ = method;
  Change(2);
}

void TFormula::SetAutomaticIterations(bool on) {
  if (on == automatic_iterations_) return;
  automatic_iterations_ = on;
  base_iterations_ = max_iterations_;
  base_magnification_ = magnification_;
  Change(2);
}

void TFormula::SetMagnification(long double magnification) {
  // A magnification that is not a positive number has no logarithm.
  if (!(magnification > 0) || !std::isfinite(magnification) || magnification == magnification_)
    return;
  magnification_ = magnification;
  if (!automatic_iterations_) return;
  // 144.269504089 = 100 / ln 2: 100 more iterations for every doubling.
  const long double extra =
      std::nearbyint(std::log(magnification / base_magnification_) * 144.269504089L);
  const long double wanted = std::min<long double>(
      std::max<long double>(extra + base_iterations_, base_iterations_), INT32_MAX);
  const int n = static_cast<int>(wanted);
  if (n == max_iterations_) return;
  max_iterations_ = n;
  Change(2);
}

void TFormula::ApplyParameters(const std::string& file_name, const std::string& entry_name,
                               int max_iterations, int periodicity,
                               const std::vector<TNamedParamValue>& values,
                               const std::vector<TNamedFunction>& functions) {
  if (CompileFailed() || !HoldsEntry(file_name, entry_name)) {
    Reset();
    // The entry text's own MAXITER, PERIODICITY and METHOD give way to the file's.
    params_loaded_ = true;
    LoadEntry(file_name, entry_name);
  }
  params_loaded_ = true;
  BeginUpdate();
  // The bracket closes whatever a value raises.
  struct TClose {
    TFormula& Formula;
    ~TClose() { Formula.EndUpdate(); }
  } close{*this};
  SetMaxIterations(max_iterations);
  SetPeriodicity(periodicity);
  for (const TNamedParamValue& value : values) {
    const int index = Params().IndexOfName(value.Name);
    if (index >= 0) Params().Items(index).SetValue(value.Value);
  }
  for (const TNamedFunction& function : functions) {
    const int index = Funcs().IndexOfName(function.Name);
    if (index >= 0) Funcs().Items(index).SetFuncCode(function.Code);
  }
}

TFormulaSnapshot TFormula::SaveSnapshot() const {
  return {Code().FileName,
          IsEmpty() ? std::string() : Code().EntryName,
          max_iterations_,
          periodicity_,
          method_,
          Params().SaveValues(),
          Funcs().SaveValues()};
}

void TFormula::RestoreSnapshot(const TFormulaSnapshot& snapshot) {
  // The entry compiles outside the bracket: the values need its parameter lists.
  if (snapshot.EntryName.empty())
    Reset();
  else
    ApplyParameters(snapshot.FileName, snapshot.EntryName, snapshot.MaxIterations,
                    snapshot.Periodicity, {}, {});
  BeginUpdate();
  try {
    SetMaxIterations(snapshot.MaxIterations);
    SetPeriodicity(snapshot.Periodicity);
    Params().RestoreValues(snapshot.Params);
    Funcs().RestoreValues(snapshot.Funcs);
    SetMethod(snapshot.Method);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

const void* TFormula::Procedure() const {
  if (!built_in_procedure_.Empty())
    return unrolled_selected_ ? built_in_unrolled_.Data() : built_in_procedure_.Data();
  if (!procedure_.Empty()) return procedure_.Data();
  return empty_procedure_.Data();
}

void TFormula::FillCalcBlock(TCalcBlock& block) {
  const bool built_in = !built_in_procedure_.Empty();
  block.SetInt32(calc::kMaxIter, max_iterations_);
  // Without an assignment to #z the orbit cannot repeat: checking would only cost.
  const int mode = built_in || writes_z_ ? periodicity_ : 0;
  block.SetByte(calc::kPeriodicityMode, static_cast<std::uint8_t>(mode));
  unrolled_selected_ = built_in && mode == 0 && block.Pointer(calc::kInsideLoop) == nullptr &&
                       block.Pointer(calc::kOutsideLoop) == nullptr;
  const int size = VariableBlockSize();
  if (size == 0) {
    block.SetPointer(calc::kFormulaVars, nullptr);
    block.SetPointer(calc::kFormulaAlloc, nullptr);
    block.SetUInt32(calc::kFormulaVarsSize, 0);
    return;
  }
  std::uint8_t* vars =
      block.Allocate(static_cast<std::size_t>(size), calc::kFormulaVars, calc::kFormulaAlloc);
  block.SetUInt32(calc::kFormulaVarsSize, static_cast<std::uint32_t>(size + 16));
  StoreInitialValues(vars);
}

std::vector<std::uint8_t> TFormula::InitialValues() {
  if (built_in_type_ == 0) return TFormulaBase::InitialValues();
  std::vector<std::uint8_t> values(builtin::kVarsSize, 0);
  const int param = Params().IndexOfName(built_in_type_ == 1 ? "Start" : "Seed");
  const int bailout = Params().IndexOfName("Bailout");
  StoreBuiltInValues(values.data(), Params().Items(param).AsComplex(),
                     Params().Items(bailout).AsFloat());
  return values;
}

void TFormula::ResetSettings() {
  if (!params_loaded_) {
    max_iterations_ = 100;
    periodicity_ = 2;
    method_ = kMethodGuessing;
  }
  default_center_ = TLiteral::MakeComplex(0, 0);
  default_magnification_ = 1;
  default_angle_ = 0;
  built_in_type_ = 0;
  switch_type_.clear();
  switch_list_.clear();
  writes_z_ = false;
}

void TFormula::BeginCompile() {
  TFormulaBase::BeginCompile();
  ResetSettings();
  symmetry_ = SymmetryFromName(Code().EntryArgs);
}

void TFormula::SectionCompiled(const std::string& upper_name, TCodeBuffer code) {
  if (upper_name == "INIT")
    init_code_ = std::move(code);
  else if (upper_name == "LOOP")
    loop_code_ = std::move(code);
  else
    bailout_code_ = std::move(code);
}

void TFormula::DiscardCode() {
  init_code_ = TCodeBuffer();
  loop_code_ = TCodeBuffer();
  bailout_code_ = TCodeBuffer();
  procedure_ = TCodeBuffer();
  built_in_procedure_ = TCodeBuffer();
  built_in_unrolled_ = TCodeBuffer();
  unrolled_selected_ = false;
}

// An empty bailout (none, or a section without a statement) gives the formula
// the bailout that is always false, so the loop runs once and AL is never read
// undefined.
void TFormula::AssembleCode() {
  if (built_in_type_ == 0) {
    procedure_ = BuildFormulaProcedure(init_code_.Bytes(), loop_code_.Bytes(),
                                       bailout_code_.Bytes(), Parked());
  } else {
    built_in_procedure_ = BuildBuiltInFormula(built_in_type_);
    built_in_unrolled_ = BuildBuiltInFormulaUnrolled(built_in_type_);
  }
  init_code_ = TCodeBuffer();
  loop_code_ = TCodeBuffer();
  bailout_code_ = TCodeBuffer();
}

std::string TFormula::ImpliedFirstLabel(const std::string& label) {
  return label == "INIT" || label == "BUILTIN" ? "" : "INIT";
}

bool TFormula::ExtraSymbol(const std::string& upper_name, TSymbolCode& code) {
  if (upper_name != "Z") return false;
  code = kSymbolZ;
  return true;
}

TSectionKind TFormula::ClassifyLabel(const std::string& label) {
  if (label == "INIT" || label == "LOOP") return kSectionCode;
  if (label == "BAILOUT") return kSectionCondition;
  if (label == "BUILTIN" || label == "SWITCH") return kSectionSettings;
  if (label == "DEFAULT") return kSectionSettingsWithBlocks;
  return kSectionInvalid;
}

int TFormula::NumericSetting(const std::string& section, const std::string& name,
                             const TLiteral& value) {
  const bool is_int = value.Type == kTypeInt;
  const bool is_real = value.Type == kTypeInt || value.Type == kTypeFloat;
  auto real = [&] { return is_int ? static_cast<long double>(value.Int) : value.Re; };
  if (section == "DEFAULT") {
    if (name == "MAXITER") {
      if (!is_int) return ERR_TYPEERROR;
      if (value.Int < 1) return ERR_LITERALOUTOFRANGE;
      if (!params_loaded_) max_iterations_ = value.Int;
      return 0;
    }
    if (name == "PERIODICITY") {
      if (!is_int) return ERR_TYPEERROR;
      if (value.Int < 0 || value.Int > 3) return ERR_LITERALOUTOFRANGE;
      if (!params_loaded_) periodicity_ = value.Int;
      return 0;
    }
    if (name == "CENTER") {
      if (value.Type != kTypeComplex) return ERR_TYPEERROR;
      default_center_ = value;
      return 0;
    }
    if (name == "MAGN") {
      if (!is_real) return ERR_TYPEERROR;
      // A location needs a positive magnification.
      if (!(real() > 0)) return ERR_LITERALOUTOFRANGE;
      default_magnification_ = real();
      return 0;
    }
    if (name == "ANGLE") {
      if (!is_real) return ERR_TYPEERROR;
      default_angle_ = real() * std::numbers::pi_v<long double> * (1.0L / 180);
      return 0;
    }
    return ERR_INVALIDSETTING;
  }
  if (section == "BUILTIN" && name == "TYPE") {
    if (!is_int) return ERR_TYPEERROR;
    if (value.Int != 1 && value.Int != 2) return ERR_LITERALOUTOFRANGE;
    built_in_type_ = value.Int;
    // The built-in formulas iterate z^2 + c from a start value or with a seed.
    auto add = [this](const char* param_name, TValueType type, long double initial) {
      if (Params().IndexOfName(param_name) >= 0) return;
      auto param = std::make_unique<TParam>(param_name);
      param->SetParamType(type);
      TParamValue v;
      v.Type = type;
      v.Value.Re = initial;
      param->SetValue(v);
      param->StoreAsDefault();
      Params().Add(std::move(param));
    };
    add(value.Int == 1 ? "Start" : "Seed", kTypeComplex, 0);
    add("Bailout", kTypeFloat, 4);
    return 0;
  }
  return ERR_INVALIDSETTING;
}

int TFormula::StringSetting(const std::string& section, const std::string& name,
                            const std::string& value) {
  if (section == "SWITCH" && name == "TYPE") {
    switch_type_ = value;
    return 0;
  }
  return TFormulaBase::StringSetting(section, name, value);
}

int TFormula::OtherSetting(const std::string& section, const TToken& first, const TToken& value) {
  if (section == "DEFAULT" && first.Kind == kTokenVariable && UpperCase(first.Text) == "METHOD") {
    if (value.Kind != kTokenVariable) return ERR_TYPEERROR;
    std::string method = UpperCase(value.Text);
    TCalcMethod m;
    if (method == "GUESSING")
      m = kMethodGuessing;
    else if (method == "MULTIPASS")
      m = kMethodMultiPass;
    else if (method == "ONEPASS")
      m = kMethodOnePass;
    else
      return ERR_LITERALOUTOFRANGE;
    if (!params_loaded_) method_ = m;
    return 0;
  }
  if (section == "SWITCH") {
    const bool target_ok = first.Kind == kTokenVariable || first.Kind == kTokenParameter;
    if (!target_ok) return ERR_INVALIDSETTING;
    if (value.Kind == kTokenVariable || value.Kind == kTokenParameter) {
      switch_list_.push_back({first.Text, value.Text});
      return 0;
    }
    if (value.Kind == kTokenSymbol && value.Code == kSymbolPixel) {
      switch_list_.push_back({first.Text, "#pixel"});
      return 0;
    }
    return ERR_TYPEERROR;
  }
  return ERR_INVALIDSETTING;
}

bool TFormula::FunctionAllowed(const std::string&, int function) {
  return function != kFunctionOldZ;
}

bool TFormula::SymbolReadable(const std::string&, int symbol) {
  return (kFormulaReadable & SymbolBit(symbol)) != 0;
}

bool TFormula::SymbolWritable(const std::string&, int symbol) {
  if (symbol != kSymbolZ) return false;
  writes_z_ = true;
  return true;
}

}  // namespace zt
