// Builders of the callable procedures that wrap compiled section code: the
// per-pixel formula procedure with its iteration loop, the coloring and
// transformation procedures, and the fixed procedures used when an entry is
// missing. Each builder measures its code, maps one exactly-sized buffer, emits
// into it and seals it.
//
// Every procedure expects the calculation block in RAX (formula, transformation
// and empty-formula procedures; call them through CallProcedure) or in RSI
// (coloring procedures, called by the formula procedure).
//
// Thread safety: builders keep no state; any thread may build. The procedures
// are re-entrant: all their state is in the calculation and variable blocks.
#pragma once

#include <cstdint>
#include <span>

#include "formula/codegen/parking.h"
#include "platform/code_buffer.h"

namespace zt {

using TCodeBytes = std::span<const std::uint8_t>;

// Which of a coloring's three procedures is built.
enum class TColoringPart { kInit, kLoop, kFinal };

// The formula procedure: init code once, then the loop code and the bailout code
// (which leaves a bool in AL) at most #maxiter times with periodicity checking,
// coloring loop calls and the abort test between iterations; at the end #numiter
// and the inside or outside coloring's final procedure. An empty bailout means
// the formula has none: the loop then runs once. The loop and bailout code were
// translated with `parked` on the FPU (TCompiler::Parked).
TCodeBuffer BuildFormulaProcedure(TCodeBytes init, TCodeBytes loop, TCodeBytes bailout,
                                  std::span<const TParkedValue> parked = {});

// A coloring procedure around `code`, with the inside or outside coloring's
// variable block in RDI. With `uses_orbit` the init procedure writes #z to entry 0
// of the orbit buffer and the loop procedure appends #z at the write position.
//
// The formula procedure calls a loop procedure with #z on the FPU (real part in
// ST0, imaginary part in ST1, nothing else), and the procedure returns it there;
// the #z cell need not be current meanwhile. With `z_parked` the loop code was
// translated with #z parked (TCompiler::TParking::kZ) and reads it from there;
// otherwise the procedure writes #z to its cell for the code (if any) and loads it
// again afterwards. Init and final procedures find the FPU empty and #z in its
// cell.
TCodeBuffer BuildColoringProcedure(TCodeBytes code, bool inside, bool uses_orbit,
                                   TColoringPart part, bool z_parked = false);

// A transformation procedure: the formula prologue, the transformation's
// variables in RDI, `code`, the epilogue.
TCodeBuffer BuildTransformProcedure(TCodeBytes code);

// A bare return (the init procedure of a coloring without an entry).
TCodeBuffer BuildReturnProcedure();

// The final procedure of a coloring without an entry: #index = #numiter * 0.01.
TCodeBuffer BuildDefaultColoringFinal();

// The procedure of a layer without a formula: outside init, #z = 0, outside loop
// when there is one, #numiter = 1, outside final.
TCodeBuffer BuildEmptyFormulaProcedure();

}  // namespace zt
