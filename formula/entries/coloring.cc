// Sections, symbol rules, procedures and settings of coloring algorithm entries,
// and the way #index becomes a gradient position.
#include "formula/entries/coloring.h"

#include <algorithm>
#include <cmath>

#include "formula/codegen/procedures.h"
#include "formula/codegen/runtime.h"

namespace zt {

namespace {

constexpr int kTransferCount = kTransferArcTan + 1;
constexpr int kMaxOffset = 400;             // gradient colors
constexpr long kGradientSteps = 51200;      // 400 colors * 128 steps
constexpr long kLastGradientColor = 51072;  // 399 * 128
constexpr std::uint16_t kInsideSolid = 51200;
constexpr std::uint16_t kOutsideSolid = 51201;
// Holds the working FPU control word for its lifetime and gives the caller's back.
// Loading a control word that differs from the current one costs dozens of
// cycles, once per pixel here, so a caller's word that computes alike (the usual
// 0x037F) stays. The asm statements clobber memory, so the compiler keeps the
// computation (a call) between them.
class TControlWordScope {
 public:
  explicit TControlWordScope(std::uint16_t word) {
    asm volatile("fnstcw %0" : "=m"(saved_) : : "memory");
    changed_ = (saved_ & kEffectiveControlBits) != (word & kEffectiveControlBits);
    if (changed_) asm volatile("fldcw %0" : : "m"(word) : "memory");
  }
  ~TControlWordScope() {
    if (changed_) asm volatile("fldcw %0" : : "m"(saved_) : "memory");
  }
  TControlWordScope(const TControlWordScope&) = delete;
  TControlWordScope& operator=(const TControlWordScope&) = delete;

 private:
  std::uint16_t saved_;
  bool changed_;
};

// x >= 0 in, x >= 0 out. Computed in extended precision, as the FPU holds every
// intermediate on its stack; only the input was rounded to a 64-bit double.
long double ApplyTransfer(int transfer, long double x) {
  switch (transfer) {
    case kTransferSqr: return 2 * x * x;
    case kTransferSqrt: return 0.5L * std::sqrt(x);
    case kTransferCube: return 3 * x * x * x;
    case kTransferCubeRoot: return x == 0 ? 0 : 0.33L * std::exp(std::log(x) / 3);
    case kTransferLog: return std::log1p(x);
    case kTransferExp: return std::exp(std::min(x, 100.0L));
    case kTransferSin: return std::fabs(std::sin(x));
    case kTransferArcTan: return std::fabs(std::atan(x));
    default: return x;
  }
}

// Rounds to the nearest integer in the FPU's rounding mode, as std::lrint does,
// with the FPU's own instruction instead of a library call per pixel. The values
// rounded here are far inside the 64-bit range.
long RoundToLong(long double x) {
  long long result;
  asm("fistpll %0" : "=m"(result) : "t"(x) : "st");
  return static_cast<long>(result);
}

// Kept out of line so that all of its arithmetic runs inside the caller's
// control-word scope. `offset` is the stored offset (color * 128).
[[gnu::noinline]] std::uint16_t PositionOf(long double index, long double density, int transfer,
                                           int offset, bool repeat) {
  double x = static_cast<double>(index * density);
  // A NaN #index (an overflowed orbit) counts as 0 like a negative one: the
  // comparisons below would let it through and it has no integer position.
  if (!(x >= 0)) x = 0;
  if (x > 1e9) x = 1e9;
  const long double t = ApplyTransfer(transfer, x);
  long position;
  if (repeat)
    position = RoundToLong((t - std::trunc(t)) * kGradientSteps);
  else if (t >= 1)
    position = kLastGradientColor;
  else
    position = std::min(RoundToLong(t * kGradientSteps), kLastGradientColor);
  return static_cast<std::uint16_t>((position + offset) % kGradientSteps);
}

const TCodeBuffer& BuiltInInit() {
  static const TCodeBuffer code = BuildReturnProcedure();
  return code;
}

const TCodeBuffer& BuiltInFinal() {
  static const TCodeBuffer code = BuildDefaultColoringFinal();
  return code;
}

}  // namespace

TColoring::TColoring(bool inside)
    : inside_(inside), transfer_(inside ? kTransferNone : kTransferLinear) {}

void TColoring::SetDensity(long double density) {
  if (density < 0 || density == density_ || std::isnan(density)) return;
  density_ = density;
  Change(2);
}

void TColoring::SetTransfer(int transfer) {
  if (transfer < 0 || transfer >= kTransferCount || transfer == transfer_) return;
  transfer_ = transfer;
  Change(2);
}

void TColoring::SetOffset(int color) {
  if (color < 0 || color >= kMaxOffset || color == Offset()) return;
  offset_ = color * 128;
  Change(2);
}

void TColoring::SetRepeat(bool repeat) {
  if (repeat == repeat_) return;
  repeat_ = repeat;
  Change(2);
}

TColoringSnapshot TColoring::SaveSnapshot() const {
  return {Code().FileName,
          IsEmpty() ? std::string() : Code().EntryName,
          density_,
          transfer_,
          Offset(),
          repeat_,
          Params().SaveValues(),
          Funcs().SaveValues()};
}

void TColoring::RestoreSnapshot(const TColoringSnapshot& snapshot) {
  // The entry compiles outside the bracket: the values need its parameter lists.
  if (snapshot.EntryName.empty()) {
    if (!IsEmpty()) ClearEntry();
  } else if (CompileFailed() || !HoldsEntry(snapshot.FileName, snapshot.EntryName)) {
    SetKeepValues(false);
    LoadEntry(snapshot.FileName, snapshot.EntryName);
  }
  BeginUpdate();
  try {
    SetDensity(snapshot.Density);
    SetTransfer(snapshot.Transfer);
    SetOffset(snapshot.Offset);
    SetRepeat(snapshot.Repeat);
    Params().RestoreValues(snapshot.Params);
    Funcs().RestoreValues(snapshot.Funcs);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

const void* TColoring::InitProcedure() const {
  return HasCode() ? init_procedure_.Data() : BuiltInInit().Data();
}

const void* TColoring::LoopProcedure() const {
  return loop_procedure_.Empty() ? nullptr : loop_procedure_.Data();
}

const void* TColoring::FinalProcedure() const {
  return HasCode() ? final_procedure_.Data() : BuiltInFinal().Data();
}

void TColoring::FillCalcBlock(TCalcBlock& block) const {
  const bool computed = transfer_ != kTransferNone;
  block.SetPointer(inside_ ? calc::kInsideInit : calc::kOutsideInit,
                   computed ? InitProcedure() : BuiltInInit().Data());
  block.SetPointer(inside_ ? calc::kInsideLoop : calc::kOutsideLoop,
                   computed ? LoopProcedure() : nullptr);
  block.SetPointer(inside_ ? calc::kInsideFinal : calc::kOutsideFinal,
                   computed ? FinalProcedure() : BuiltInFinal().Data());

  const int vars = inside_ ? calc::kInsideVars : calc::kOutsideVars;
  const int allocation = inside_ ? calc::kInsideAlloc : calc::kOutsideAlloc;
  const int size_cell = inside_ ? calc::kInsideVarsSize : calc::kOutsideVarsSize;
  const int size = VariableBlockSize();
  if (computed && HasCode() && size > 0) {
    StoreInitialValues(block.Allocate(static_cast<std::size_t>(size), vars, allocation));
    block.SetUInt32(size_cell, static_cast<std::uint32_t>(size + 16));
  } else {
    block.SetPointer(vars, nullptr);
    block.SetPointer(allocation, nullptr);
    block.SetUInt32(size_cell, 0);
  }
}

std::uint16_t TColoring::GradientPosition(const TCalcBlock& block) const {
  if (block.Byte(calc::kSolid) != 0 || transfer_ == kTransferNone)
    return inside_ ? kInsideSolid : kOutsideSolid;
  TControlWordScope scope(kWorkingControlWord);
  return PositionOf(block.Extended(calc::kIndex), density_, transfer_, offset_, repeat_);
}

void TColoring::BeginCompile() {
  TFormulaBase::BeginCompile();
  uses_orbit_ = false;
  reads_z_ = false;
}

void TColoring::SectionCompiled(const std::string& upper_name, TCodeBuffer code) {
  if (upper_name == "INIT")
    init_code_ = std::move(code);
  else if (upper_name == "LOOP")
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
  // A coloring that reads the orbit needs the loop procedure's orbit store even
  // without loop code of its own.
  if (!loop_code_.Empty() || uses_orbit_)
    loop_procedure_ = BuildColoringProcedure(loop_code_.Bytes(), inside_, uses_orbit_,
                                             TColoringPart::kLoop, !Parked().empty());
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
  if (label == "INIT" || label == "LOOP" || label == "FINAL") return kSectionCode;
  if (label == "DEFAULT") return kSectionSettingsWithBlocks;
  return kSectionInvalid;
}

bool TColoring::FunctionAllowed(const std::string& section, int function) {
  if (function != kFunctionOldZ) return true;
  if (section != "FINAL") return false;
  uses_orbit_ = true;
  return true;
}

bool TColoring::SymbolReadable(const std::string& section, int symbol) {
  bool readable = (kFormulaReadable & SymbolBit(symbol)) != 0 ||
                  (symbol == kSymbolNumIter && section == "FINAL");
  if (readable && symbol == kSymbolZ) reads_z_ = true;
  return readable;
}

bool TColoring::SymbolWritable(const std::string& section, int symbol) {
  return section == "FINAL" && (symbol == kSymbolIndex || symbol == kSymbolSolid);
}

}  // namespace zt
