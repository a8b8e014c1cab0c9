// Code of the built-in formulas. The plain procedure hands built-in init, loop and
// bailout code to the formula procedure builder; the unrolled procedure is laid
// out here. Both compute the same products and sums, so they give the same #z to
// the bit.
#include "formula/entries/builtin_formula.h"

#include <cstring>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/code_emitter.h"
#include "formula/codegen/procedures.h"
#include "platform/error.h"

namespace zt {
namespace {

using E = TCodeEmitter;

// Where the unrolled procedure's forward jumps land. The measuring pass records
// the offsets; the emitting pass, whose sizes are the same, jumps to them.
struct TLabels {
  int Tail = 0;
  int Exit = 0;
  int Inside = 0;
  int Finished = 0;
};

// Runs `emit` to measure, then into a vector of the measured size.
template <class F>
std::vector<std::uint8_t> EmitBytes(F&& emit) {
  E e;
  e.Begin(nullptr);
  emit(e);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(e.Offset()));
  e.Begin(bytes.data(), bytes.size());
  emit(e);
  if (e.Offset() != static_cast<int>(bytes.size()))
    throw EZentrope("Generated code differs from its measured size");
  return bytes;
}

// z = #pixel + Start and c = #pixel (type 1), or z = #pixel and c = Seed (type 2).
// Leaves the FPU empty.
void EmitInit(E& e, int type) {
  if (type == 1) {
    e.CopyExtended(E::kBlock, calc::kPixel, E::kVars, builtin::kC);
    e.CopyExtended(E::kBlock, calc::kPixel + 16, E::kVars, builtin::kC + 16);
    for (int part : {16, 0}) {
      e.LoadFloat(E::kBlock, calc::kPixel + part);
      e.LoadFloat(E::kVars, builtin::kParam + part);
      e.Bytes({0xDE, 0xC1});  // faddp st(1), st
    }
    e.StoreComplex(E::kBlock, calc::kZ);
  } else {
    e.CopyExtended(E::kVars, builtin::kParam, E::kVars, builtin::kC);
    e.CopyExtended(E::kVars, builtin::kParam + 16, E::kVars, builtin::kC + 16);
    e.CopyExtended(E::kBlock, calc::kPixel, E::kBlock, calc::kZ);
    e.CopyExtended(E::kBlock, calc::kPixel + 16, E::kBlock, calc::kZ + 16);
  }
}

// z = z^2 + c on z in ST0 (real) and ST1 (imaginary), replaced in place. The real
// and imaginary part of c are pushed by `load_c`; at both loads the registers
// that the step itself uses are ST0 to ST2, so c below z is at ST3 for either.
template <class LoadC>
void EmitStep(E& e, LoadC&& load_c) {
  e.LoadRegister(0);
  e.Bytes({0xD8, 0xC9});  // fmul st, st(1): zr^2
  e.LoadRegister(2);
  e.Bytes({0xD8, 0xCB});  // fmul st, st(3): zi^2
  e.Bytes({0xDE, 0xE9});  // fsubp: zr^2 - zi^2
  load_c(0);
  e.Bytes({0xDE, 0xC1});  // faddp: new real part
  e.Bytes({0xD9, 0xCA});  // fxch st(2)
  e.Bytes({0xDE, 0xC9});  // fmulp: zi * zr
  e.Bytes({0xD8, 0xC0});  // fadd st, st: doubled
  load_c(16);
  e.Bytes({0xDE, 0xC1});  // faddp: new imaginary part
  e.Bytes({0xD9, 0xC9});  // fxch st(1)
}

// Pops |z|^2 and compares its upper half as a double with the upper half of
// Bailout as a double (unsigned): "above" means the orbit escaped.
void EmitBailoutCompare(E& e) {
  e.Bytes({0xDD, 0x5C, 0x24, 0xF8});                             // fstp qword [rsp-8]
  e.Bytes({0x8B, 0x44, 0x24, 0xFC});                             // mov eax, [rsp-4]
  e.MemoryOp({0x3B}, E::kEax, E::kVars, builtin::kBailoutHigh);  // cmp eax, [bailout]
}

// Compares the upper half of |z|^2 as a double with the upper half of Bailout as
// a double (unsigned): "above" means the orbit escaped. z stays where it is, its
// real part in register `z`.
void EmitBailoutTest(E& e, int z = 0) {
  e.LoadRegister(z);
  e.Bytes({0xD8, 0xC8});  // fmul st, st(0)
  e.LoadRegister(z + 2);
  e.Bytes({0xD8, 0xC8});
  e.Bytes({0xDE, 0xC1});  // faddp
  EmitBailoutCompare(e);
}

void EmitDecEcx(E& e) { e.Bytes({0xFF, 0xC9}); }

// The unrolled loop keeps the squares of z's parts from the bailout test for the
// next step, as a hand-written loop would, and copies a value only where it is
// needed twice (copies lengthen the chain from one iteration to the next). At
// the top of each iteration ST0 = zi^2, ST1 = zr^2, ST2 = zi, ST3 = zr, ST4 = cr,
// ST5 = ci. The products and sums are those of EmitStep and EmitBailoutTest, so
// #z is the same to the bit.

// From ST0 = zi, ST1 = zr to the layout above.
void EmitSquares(E& e) {
  e.LoadRegister(1);
  e.Bytes({0xD8, 0xC8});  // fmul st, st(0): zr^2, zi, zr
  e.LoadRegister(1);
  e.Bytes({0xD8, 0xC8});  // zi^2, zr^2, zi, zr
}

// One iteration; jumps to the exit when it escaped.
void EmitRegisterIteration(E& e, const TLabels& labels) {
  e.Bytes({0xDE, 0xE9});  // fsubp st(1), st: zr^2 - zi^2, zi, zr
  e.Bytes({0xD8, 0xC3});  // fadd st, st(3): new zr, zi, zr
  e.Bytes({0xD9, 0xCA});  // fxch st(2): zr, zi, new zr
  e.Bytes({0xDE, 0xC9});  // fmulp st(1), st: zi * zr, new zr
  e.Bytes({0xD8, 0xC0});  // fadd st, st: doubled
  e.Bytes({0xD8, 0xC3});  // fadd st, st(3): new zi, new zr
  EmitSquares(e);
  e.LoadRegister(1);
  e.Bytes({0xD8, 0xC1});  // fadd st, st(1): |z|^2 = zr^2 + zi^2
  EmitBailoutCompare(e);
  e.JumpIf(E::kAbove, labels.Exit);
  EmitDecEcx(e);
}

void EmitUnrolled(E& e, int type, TLabels& labels) {
  e.Prologue();
  e.EnterVariables(calc::kFormulaVars);
  EmitInit(e, type);
  e.CallCell(calc::kInsideInit);
  e.CallCell(calc::kOutsideInit);
  e.MemoryOp({0x8B}, E::kEcx, E::kBlock, calc::kMaxIter);  // mov ecx, [maxiter]
  e.LoadComplex(E::kVars, builtin::kC);
  e.LoadComplex(E::kBlock, calc::kZ);
  e.Bytes({0xD9, 0xC9});  // fxch st(1)
  EmitSquares(e);

  // Groups of eight while at least eight iterations remain, then one at a time.
  const int group = e.Offset();
  e.Bytes({0x83, 0xF9, 0x08});  // cmp ecx, 8
  e.JumpIf(E::kBelow, labels.Tail);
  for (int i = 0; i < 8; ++i) EmitRegisterIteration(e, labels);
  e.MemoryOp({0x80}, 7, E::kBlock, calc::kAbort);  // cmp byte [abort], 0
  e.Byte(0x00);
  e.JumpIf(E::kNotZero, labels.Exit);
  e.Jump(group);

  labels.Tail = e.Offset();
  e.Bytes({0x85, 0xC9});  // test ecx, ecx
  e.JumpIf(E::kZero, labels.Exit);
  EmitRegisterIteration(e, labels);
  e.Jump(labels.Tail);

  labels.Exit = e.Offset();
  e.PopToRegister(0);  // the squares
  e.PopToRegister(0);
  e.StoreFloat(E::kBlock, calc::kZ + 16);
  e.StoreFloat(E::kBlock, calc::kZ);
  e.PopToRegister(0);  // c
  e.PopToRegister(0);
  e.LeaveVariables();

  // #numiter = #maxiter - ECX; a counter left above 0 means outside.
  e.LoadInt(E::kBlock, calc::kMaxIter);
  e.Bytes({0x29, 0xC8});  // sub eax, ecx
  e.StoreInt(E::kBlock, calc::kNumIter);
  e.Bytes({0x85, 0xC9});  // test ecx, ecx
  e.JumpIf(E::kZero, labels.Inside);
  e.CallCell(calc::kOutsideFinal);
  e.Jump(labels.Finished);
  labels.Inside = e.Offset();
  e.CallCell(calc::kInsideFinal);
  labels.Finished = e.Offset();
  e.Epilogue();
}

TCodeBuffer Seal(const std::vector<std::uint8_t>& bytes) {
  TCodeBuffer buffer = TCodeBuffer::Allocate(bytes.size());
  std::memcpy(buffer.Data(), bytes.data(), bytes.size());
  buffer.Seal();
  return buffer;
}

void CheckType(int type) {
  if (type != 1 && type != 2) throw EZentrope("Unknown built-in formula");
}

}  // namespace

TCodeBuffer BuildBuiltInFormula(int type) {
  CheckType(type);
  const auto init = EmitBytes([&](E& e) { EmitInit(e, type); });
  // Loop and bailout work on c and #z parked on the FPU, #z at the bottom as the
  // coloring loop calls want it. The step runs on a copy of #z, under which c
  // lies as in the unrolled variant, and the result replaces #z.
  const auto loop = EmitBytes([](E& e) {
    e.LoadRegister(3);
    e.LoadRegister(3);
    EmitStep(e, [&](int) { e.LoadRegister(3); });
    e.ReplaceRegister(4);
    e.ReplaceRegister(4);
  });
  const auto bailout = EmitBytes([](E& e) {
    EmitBailoutTest(e, 2);
    e.Bytes({0x0F, 0x96, 0xC0});  // setbe al: continue while not above
  });
  const TParkedValue parked[] = {{E::kVars, builtin::kC, true, false},
                                 {E::kBlock, calc::kZ, true, true}};
  return BuildFormulaProcedure(init, loop, bailout, parked);
}

TCodeBuffer BuildBuiltInFormulaUnrolled(int type) {
  CheckType(type);
  TLabels labels;
  return Seal(EmitBytes([&](E& e) { EmitUnrolled(e, type, labels); }));
}

void StoreBuiltInValues(std::uint8_t* vars, std::complex<long double> param, long double bailout) {
  const long double re = param.real(), im = param.imag();
  std::memcpy(vars + builtin::kParam, &re, 10);
  std::memcpy(vars + builtin::kParam + 16, &im, 10);
  const double limit = static_cast<double>(bailout);
  std::uint64_t bits;
  std::memcpy(&bits, &limit, sizeof bits);
  const auto high = static_cast<std::uint32_t>(bits >> 32);
  std::memcpy(vars + builtin::kBailoutHigh, &high, sizeof high);
}

}  // namespace zt
