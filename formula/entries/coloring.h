// The coloring algorithm entry: sections INIT, LOOP and FINAL, what its code may
// use, and the three procedures the formula procedure calls. FINAL leaves the
// pixel's value in #index or sets #solid; the coloring's settings (density,
// transfer function, offset, repeat) turn #index into a gradient position.
#pragma once

#include <cstdint>
#include <string>

#include "formula/codegen/calc_block.h"
#include "formula/entries/formula_base.h"
#include "platform/code_buffer.h"

namespace zt {

// Transfer functions applied to #index * density.
enum TTransfer : int {
  kTransferNone = 0,
  kTransferLinear,
  kTransferSqr,
  kTransferSqrt,
  kTransferCube,
  kTransferCubeRoot,
  kTransferLog,
  kTransferExp,
  kTransferSin,
  kTransferArcTan
};

// A coloring's part of a layer's undo record: the entry and the values set on it.
struct TColoringSnapshot {
  std::string FileName;
  std::string EntryName;  // empty without an entry
  long double Density = 1;
  int Transfer = kTransferNone;
  int Offset = 0;
  bool Repeat = false;
  TParamList::TSnapshot Params;
  TFuncList::TSnapshot Funcs;
};

// Settings and compilation on the thread that owns the layer (the user-interface
// thread). GradientPosition runs on calculation threads and reads the settings
// without a lock: keeping changes away from a running calculation is the
// owner's duty. Setting changes fire OnChanged without recompiling.
class TColoring : public TFormulaBase {
 public:
  // The transfer starts as none for the inside and linear for the outside coloring.
  explicit TColoring(bool inside);

  bool Inside() const { return inside_; }

  // Multiplier of #index; negative values are ignored.
  long double Density() const { return density_; }
  void SetDensity(long double density);
  // One of TTransfer; other values are ignored.
  int Transfer() const { return transfer_; }
  void SetTransfer(int transfer);
  // The gradient color (0 to 399) that #index 0 falls on; other values are ignored.
  int Offset() const { return offset_ >> 7; }
  void SetOffset(int color);
  // Whether positions wrap around the gradient instead of stopping at its last color.
  bool Repeat() const { return repeat_; }
  void SetRepeat(bool repeat);

  TColoringSnapshot SaveSnapshot() const;
  // Loads the snapshot's entry unless it is the one loaded (clears the entry
  // without one), then restores the settings and values as one change. File
  // errors pass on.
  void RestoreSnapshot(const TColoringSnapshot& snapshot);

  // The code calls oldz: the orbit must be stored.
  bool UsesOrbit() const { return uses_orbit_; }
  // The code reads #z: a layer with this coloring cannot use symmetry.
  bool ReadsZ() const { return reads_z_; }

  // Installs the procedures in the inside or outside coloring's cells and
  // allocates and fills its variable block. With transfer none the pixel gets the
  // solid color whatever the code computes, so the built-in procedures go in and
  // the variable cells stay 0.
  void FillCalcBlock(TCalcBlock& block) const;

  // The gradient position (0 to 51199) or solid code of the pixel whose formula
  // procedure has just run in `block`. Any thread; bit-exact whatever the
  // caller's FPU control word.
  std::uint16_t GradientPosition(const TCalcBlock& block) const;

  // The procedures (they expect the calculation block in RSI and are called by
  // the formula procedure): the compiled ones, or the built-in ones without
  // compiled code (init a bare return, no loop, final #index = #numiter * 0.01).
  // The loop procedure is null when there is no loop code. Valid until the next
  // compilation.
  const void* InitProcedure() const;
  const void* LoopProcedure() const;
  const void* FinalProcedure() const;

 protected:
  std::string ImpliedFirstLabel(const std::string& label) override;
  std::string DefaultLabel() override { return "FINAL"; }
  TSectionKind ClassifyLabel(const std::string& upper_label) override;
  bool FunctionAllowed(const std::string& section, int function) override;
  bool SymbolReadable(const std::string& section, int symbol) override;
  bool SymbolWritable(const std::string& section, int symbol) override;
  void BeginCompile() override;
  void SectionCompiled(const std::string& upper_name, TCodeBuffer code) override;
  void DiscardCode() override;
  void AssembleCode() override;
  // The formula procedure calls the loop procedure with #z on the FPU.
  TParking Parking(const std::string& upper_name) const override {
    return upper_name == "LOOP" ? TParking::kZ : TParking::kNone;
  }

 private:
  bool HasCode() const { return !final_procedure_.Empty(); }

  TCodeBuffer init_code_;
  TCodeBuffer loop_code_;
  TCodeBuffer final_code_;
  TCodeBuffer init_procedure_;
  TCodeBuffer loop_procedure_;
  TCodeBuffer final_procedure_;
  bool inside_;
  long double density_ = 1;
  int transfer_;
  int offset_ = 0;  // gradient color * 128
  bool repeat_ = false;
  bool uses_orbit_ = false;
  bool reads_z_ = false;
};

}  // namespace zt
