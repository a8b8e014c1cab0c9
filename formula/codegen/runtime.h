// The complex math runtime: the table of primitives (short x87 instruction
// sequences that compiled code is built from) and a way to run one primitive as a
// routine on given operands, which constant folding and the tests use.
//
// Thread safety: the table is immutable; primitives keep no state, so any number
// of threads may run them (or code built from them) at once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/error.h"

namespace zt {

enum TPrimitive : std::uint8_t {
#define ZT_PRIMITIVE(name, extra) kPrimitive##name,
#include "formula/codegen/primitives.def"
#undef ZT_PRIMITIVE
  kPrimitiveCount
};

// The primitive's body (without its final return); null for an index the table
// does not have, or whose routine is not built.
const std::uint8_t* PrimitiveAddress(int index);
// The body length in bytes; 0 for an index the table lacks.
std::size_t PrimitiveLength(int index);
// FPU registers needed beyond the operands and the result.
int ExtraRegisters(int index);
// The primitive's name, for messages and tests.
const char* PrimitiveName(int index);
// Copies the body to `destination`; raises "Requested routine not implemented"
// when the primitive has no body.
void CopyPrimitive(int index, std::uint8_t* destination);

// The working control word of compiled code: exceptions masked, 64-bit precision,
// round to nearest.
constexpr std::uint16_t kWorkingControlWord = 0x137F;
// The fields of a control word that change results: exception masks, precision
// and rounding. Bit 12 (infinity control) has had no effect since the 387, so a
// caller's usual 0x037F computes as the working word does and is kept: loading
// a control word that differs from the current one costs dozens of cycles.
constexpr std::uint16_t kEffectiveControlBits = 0x0F3F;

// Gives the calling thread the working control word, which computes as the
// usual 0x037F does. Compiled code called from the thread then runs under
// exactly its working word without loading one, and the rounding primitives
// switch between words that differ in the rounding field only, which the
// processor does quickly. Calculation threads call it when they start.
void UseWorkingControlWord();

// Operands and results of one primitive run as a routine.
struct TPrimitiveFrame {
  // FPU operands, pushed in this order (so the last one ends on top). A complex is
  // two values: imaginary part first, then real part.
  long double In[8] = {};
  int InCount = 0;
  // Number of FPU results to pop after the run: complex 2 (real part first), float 1.
  int OutCount = 0;
  long double Out[8] = {};
  std::int64_t Rax = 0;  // int operand / result (EAX), bool in AL, memory address
  std::int64_t Rdx = 0;  // second int or bool operand
  void* Rsi = nullptr;   // calculation block, for primitives that read it (oldz)
  // FPU registers still in use after the results were popped: 0 unless the
  // primitive left values behind (a fault). The stack is emptied in any case.
  std::int32_t Leftover = 0;
};

// Runs primitive `index` with the working control word set (the caller's is
// restored afterwards). Raises "Requested routine not implemented" for a missing one.
void RunPrimitive(int index, TPrimitiveFrame& frame);

}  // namespace zt
