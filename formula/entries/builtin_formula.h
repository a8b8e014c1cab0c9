// The built-in formulas: z = z^2 + c from #pixel + Start with c = #pixel (type 1),
// or from #pixel with c = Seed (type 2), until the squared modulus of z, rounded to
// a double, exceeds Bailout. They are machine code like compiled formulas and run
// in the same calculation block, with the values the formula entry writes into
// its variable block (layout below).
//
// Thread safety: the builders keep no state; the procedures are re-entrant.
#pragma once

#include <complex>
#include <cstdint>

#include "platform/code_buffer.h"

namespace zt {

// The variable block of a built-in formula.
namespace builtin {
constexpr int kParam = 0;         // complex: Start (type 1) or Seed (type 2)
constexpr int kC = 32;            // complex: c of the running pixel
constexpr int kBailoutHigh = 64;  // u32: upper half of Bailout held as a double
constexpr int kVarsSize = 80;
}  // namespace builtin

// The procedure of built-in formula `type` (1 or 2): the formula procedure of the
// code generator around built-in init, loop and bailout code, so coloring calls,
// periodicity checking and the abort test are exactly those of compiled formulas.
TCodeBuffer BuildBuiltInFormula(int type);

// The same iteration, unrolled in groups of eight with z, its squares and c
// kept on the FPU.
// It calls no coloring loop procedure and checks no periodicity, so it may only
// run when neither coloring has a loop procedure and periodicity is off. The
// abort flag is tested after every group. #z and #numiter come out exactly as
// from BuildBuiltInFormula.
TCodeBuffer BuildBuiltInFormulaUnrolled(int type);

// Writes the parameter values into a built-in formula's variable block (at
// least builtin::kVarsSize bytes, 16-aligned).
void StoreBuiltInValues(std::uint8_t* vars, std::complex<long double> param, long double bailout);

}  // namespace zt
