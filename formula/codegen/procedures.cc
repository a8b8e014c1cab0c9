// Procedure builders. Each builder is one emitting function run twice through
// Assemble: once to measure, once into the exactly-sized buffer. Forward jumps are
// emitted with a placeholder target and emitted again where they land; all of
// them use 32-bit displacements, so both passes produce the same sizes.
#include "formula/codegen/procedures.h"

#include <cstring>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/code_emitter.h"
#include "formula/language/variable_list.h"
#include "platform/error.h"

namespace zt {
namespace {

using E = TCodeEmitter;

// A jump whose target lies ahead: remembers where it was emitted and rewrites
// it with the real displacement when the target is reached.
class TForwardJump {
 public:
  enum TKind { kAlways, kIf, kIfFalse };

  TForwardJump(E& e, TKind kind, E::TCondition condition = E::kZero)
      : kind_(kind), condition_(condition), at_(e.Offset()) {
    Emit(e, at_ + Size());
  }

  void Land(E& e) const {
    const int here = e.Offset();
    e.SetOffset(at_);
    Emit(e, here);
    e.SetOffset(here);
  }

 private:
  int Size() const {
    return kind_ == kAlways ? kJumpSize : kind_ == kIf ? kJumpIfSize : kJumpIfFalseSize;
  }
  void Emit(E& e, int target) const {
    if (kind_ == kAlways)
      e.Jump(target);
    else if (kind_ == kIf)
      e.JumpIf(condition_, target);
    else
      e.JumpIfFalse(target);
  }

  TKind kind_;
  E::TCondition condition_;
  int at_;
};

TForwardJump ForwardIf(E& e, E::TCondition condition) {
  return TForwardJump(e, TForwardJump::kIf, condition);
}

void LandAll(E& e, const std::vector<TForwardJump>& jumps) {
  for (const TForwardJump& jump : jumps) jump.Land(e);
}

void Code(E& e, TCodeBytes code) {
  for (std::uint8_t b : code) e.Byte(b);
}

// Runs `emit` to measure, then into one buffer of the measured size, and seals it.
template <class F>
TCodeBuffer Assemble(F&& emit) {
  E e;
  e.Begin(nullptr);
  emit(e);
  const int size = e.Offset();
  TCodeBuffer buffer = TCodeBuffer::Allocate(static_cast<std::size_t>(size));
  e.Begin(buffer.Data(), buffer.Size());
  emit(e);
  if (e.Offset() != size) throw EZentrope("Generated code differs from its measured size");
  buffer.Seal();
  return buffer;
}

// Pushes the parked values from memory, the last one first, so that the first
// ends on top.
void LoadParked(E& e, std::span<const TParkedValue> parked) {
  for (auto value = parked.rbegin(); value != parked.rend(); ++value) {
    if (value->Complex)
      e.LoadComplex(value->Base, value->Offset);
    else
      e.LoadFloat(value->Base, value->Offset);
  }
}

void DropComplex(E& e) {
  e.PopToRegister(0);
  e.PopToRegister(0);
}

// Takes the parked values off the FPU, top first; the written ones go back to
// memory.
void UnloadParked(E& e, std::span<const TParkedValue> parked) {
  for (const TParkedValue& value : parked) {
    if (!value.Written) {
      for (int i = 0; i < value.Registers(); ++i) e.PopToRegister(0);
    } else if (value.Complex) {
      e.StoreComplex(value.Base, value.Offset);
    } else {
      e.StoreFloat(value.Base, value.Offset);
    }
  }
}

// The register of #z's real part with the FPU holding only the parked values;
// -1 when #z is not parked (its cell is then current).
int ZRegister(std::span<const TParkedValue> parked) {
  int below = 0;
  for (const TParkedValue& value : parked) {
    if (value.IsZ()) return below;
    below += value.Registers();
  }
  return -1;
}

// Pushes one part of #z, from its register or its cell.
void LoadZPart(E& e, std::int32_t part, int z_register) {
  if (z_register >= 0)
    e.LoadRegister(z_register + (part == calc::kZ ? 0 : 1));
  else
    e.LoadFloat(E::kBlock, part);
}

// Sets the flags for "abs(z part - reference part), rounded to a 32-bit float,
// above the tolerance" (unsigned compare of the bit patterns; the FPU stack is
// left as it was).
void ComparePartDistance(E& e, std::int32_t z, std::int32_t reference, int z_register) {
  LoadZPart(e, z, z_register);
  e.LoadFloat(E::kBlock, reference);
  e.Bytes({0xDE, 0xE9});                                                // fsubp st(1), st
  e.Bytes({0xD9, 0xE1});                                                // fabs
  e.Bytes({0xD9, 0x5C, 0x24, 0xF8});                                    // fstp dword [rsp-8]
  e.Bytes({0x8B, 0x44, 0x24, 0xF8});                                    // mov eax, [rsp-8]
  e.MemoryOp({0x3B}, E::kEax, E::kBlock, calc::kPeriodicityTolerance);  // cmp eax, [tol]
}

// Periodicity check between iterations. Saves z as the reference whenever
// ECX & mask is 0 (the saving interval doubles every `reload` saves); otherwise an
// orbit back within the tolerance of the reference is periodic: ECX = 0 and a jump
// to `exit`, the loop's way out.
void EmitPeriodicity(E& e, int z_register, int exit) {
  std::vector<TForwardJump> done;
  e.MemoryOp({0x3B}, E::kEcx, E::kBlock, calc::kPeriodicityStart);  // cmp ecx, [start]
  done.push_back(ForwardIf(e, E::kAboveOrEqual));
  e.MemoryOp({0x85}, E::kEcx, E::kBlock, calc::kPeriodicityMask);  // test [mask], ecx
  const TForwardJump compare = ForwardIf(e, E::kNotZero);

  for (int part : {0, 16}) {
    if (z_register < 0) {
      e.CopyExtended(E::kBlock, calc::kZ + part, E::kBlock, calc::kPeriodicityRef + part);
    } else {
      LoadZPart(e, calc::kZ + part, z_register);
      e.StoreFloat(E::kBlock, calc::kPeriodicityRef + part);
    }
  }
  e.MemoryOp({0xFF}, 1, E::kBlock, calc::kPeriodicityCountdown);  // dec dword [countdown]
  done.push_back(ForwardIf(e, E::kNotZero));
  e.LoadInt(E::kBlock, calc::kPeriodicityMask);
  e.Bytes({0x8D, 0x44, 0x00, 0x01});  // lea eax, [rax+rax+1]
  e.StoreInt(E::kBlock, calc::kPeriodicityMask);
  e.LoadInt(E::kBlock, calc::kPeriodicityReload);
  e.StoreInt(E::kBlock, calc::kPeriodicityCountdown);
  done.push_back(TForwardJump(e, TForwardJump::kAlways));

  compare.Land(e);
  ComparePartDistance(e, calc::kZ, calc::kPeriodicityRef, z_register);
  done.push_back(ForwardIf(e, E::kAbove));
  ComparePartDistance(e, calc::kZ + 16, calc::kPeriodicityRef + 16, z_register);
  done.push_back(ForwardIf(e, E::kAbove));
  e.Bytes({0x31, 0xC9});  // xor ecx, ecx
  e.Jump(exit);
  LandAll(e, done);
}

// Sets the flags for "a coloring has a loop procedure" (not zero); uses RAX.
void TestColoringLoops(E& e) {
  e.MemoryOp({0x8B}, E::kEax, E::kBlock, calc::kInsideLoop, true);   // mov rax, [inside]
  e.MemoryOp({0x0B}, E::kEax, E::kBlock, calc::kOutsideLoop, true);  // or rax, [outside]
}

// Takes the parked values above #z off the FPU when #z is parked at the bottom,
// otherwise all of them (a written #z goes to its cell) and pushes #z from its
// cell: #z alone is left, as the coloring loop procedures expect it.
void IsolateZ(E& e, std::span<const TParkedValue> parked) {
  const bool z_at_bottom = !parked.empty() && parked.back().IsZ();
  UnloadParked(e, z_at_bottom ? parked.first(parked.size() - 1) : parked);
  if (!z_at_bottom) e.LoadComplex(E::kBlock, calc::kZ);
}

// Undoes IsolateZ.
void RestoreParked(E& e, std::span<const TParkedValue> parked) {
  const bool z_at_bottom = !parked.empty() && parked.back().IsZ();
  if (!z_at_bottom) DropComplex(e);
  LoadParked(e, z_at_bottom ? parked.first(parked.size() - 1) : parked);
}

// The coloring loop procedures that are set, with #z alone on the FPU (a parked
// #z lies at the bottom of the parked values).
void CallColoringLoops(E& e, std::span<const TParkedValue> parked) {
  TestColoringLoops(e);
  const TForwardJump none = ForwardIf(e, E::kZero);
  IsolateZ(e, parked);
  e.CallCellIfSet(calc::kInsideLoop);
  e.CallCellIfSet(calc::kOutsideLoop);
  RestoreParked(e, parked);
  none.Land(e);
}

// R8D = the counter values below which an iteration takes the slow path (the
// periodicity check and the coloring loop calls): all of them when a coloring has
// a loop procedure, otherwise those below the periodicity start. Compiled code
// never touches R8 otherwise.
void EmitSlowPathLimit(E& e) {
  e.Byte(0x44);                                               // REX.R: r8d
  e.MemoryOp({0x8B}, 0, E::kBlock, calc::kPeriodicityStart);  // mov r8d, [start]
  TestColoringLoops(e);
  e.Bytes({0xBA, 0xFF, 0xFF, 0xFF, 0xFF});  // mov edx, -1
  e.Bytes({0x44, 0x0F, 0x45, 0xC2});        // cmovnz r8d, edx
}

// The loop's end keeps the common iteration short: after the bailout test one
// compare sends the rare iterations that need the periodicity check or coloring
// calls to an out-of-line slow path, which rejoins before the abort test. The
// parked values are loaded once before the loop and written back on the way out.
void EmitFormula(E& e, TCodeBytes init, TCodeBytes loop, TCodeBytes bailout,
                 std::span<const TParkedValue> parked) {
  e.Prologue();
  e.EnterVariables(calc::kFormulaVars);
  Code(e, init);

  e.CallCell(calc::kInsideInit);
  e.CallCell(calc::kOutsideInit);
  e.MemoryOp({0x8B}, E::kEcx, E::kBlock, calc::kMaxIter);  // mov ecx, [maxiter]
  EmitSlowPathLimit(e);
  LoadParked(e, parked);

  const int loop_start = e.Offset();
  Code(e, loop);
  if (bailout.empty())
    e.Bytes({0x30, 0xC0});  // xor al, al: stop after one iteration
  else
    Code(e, bailout);

  std::vector<TForwardJump> exits;
  exits.push_back(TForwardJump(e, TForwardJump::kIfFalse));  // the orbit escaped
  e.Bytes({0x44, 0x39, 0xC1});                               // cmp ecx, r8d
  const TForwardJump slow = ForwardIf(e, E::kBelow);
  const int resume = e.Offset();
  e.MemoryOp({0x80}, 7, E::kBlock, calc::kAbort);  // cmp byte [abort], 0
  e.Byte(0x00);
  exits.push_back(ForwardIf(e, E::kNotZero));
  e.Bytes({0xFF, 0xC9});  // dec ecx
  e.JumpIf(E::kNotZero, loop_start);
  LandAll(e, exits);
  const int exit = e.Offset();
  UnloadParked(e, parked);
  e.LeaveVariables();

  // #numiter = #maxiter - ECX; a counter left above 0 means outside.
  e.LoadInt(E::kBlock, calc::kMaxIter);
  e.Bytes({0x29, 0xC8});  // sub eax, ecx
  e.StoreInt(E::kBlock, calc::kNumIter);
  e.Bytes({0x85, 0xC9});  // test ecx, ecx
  const TForwardJump inside = ForwardIf(e, E::kZero);
  e.CallCell(calc::kOutsideFinal);
  const TForwardJump finished(e, TForwardJump::kAlways);
  inside.Land(e);
  e.CallCell(calc::kInsideFinal);
  finished.Land(e);
  e.Epilogue();

  slow.Land(e);
  EmitPeriodicity(e, ZRegister(parked), exit);
  CallColoringLoops(e, parked);
  e.Jump(resume);
}

// Copies the ten bytes of one extended value of #z from its cell to [rax + at]
// through RDX.
void CopyZPartToRax(E& e, std::int32_t part, std::uint8_t at) {
  e.MemoryOp({0x8B}, E::kEdx, E::kBlock, part, true);              // mov rdx, [part]
  e.Bytes({0x48, 0x89, 0x50, at});                                 // mov [rax+at], rdx
  e.MemoryOp({0x0F, 0xB7}, E::kEdx, E::kBlock, part + 8);          // movzx edx, word [part+8]
  e.Bytes({0x66, 0x89, 0x50, static_cast<std::uint8_t>(at + 8)});  // mov [rax+at+8], dx
}

// Writes #z to the orbit entry at the write position (the buffer's entry 0 for
// init) and moves the write position to the next entry. The loop procedure
// stores #z from its registers (an entry holds exactly the ten bytes that fstp
// writes); init copies it from its cell.
void EmitOrbitStore(E& e, bool inside, TColoringPart part) {
  const std::int32_t position = inside ? calc::kInsideOrbitPos : calc::kOutsideOrbitPos;
  const std::int32_t source = part == TColoringPart::kInit ? calc::kOrbitBuffer : position;
  e.MemoryOp({0x8B}, E::kEax, E::kBlock, source, true);  // mov rax, [source]
  if (part == TColoringPart::kInit) {
    CopyZPartToRax(e, calc::kZ, 0);
    CopyZPartToRax(e, calc::kZ + 16, calc::kOrbitEntrySize / 2);
  } else {
    e.LoadRegister(0);
    e.Bytes({0xDB, 0x38});  // fstp tbyte [rax]
    e.LoadRegister(1);
    e.Bytes({0xDB, 0x78, calc::kOrbitEntrySize / 2});  // fstp tbyte [rax+10]
  }
  e.Bytes({0x48, 0x83, 0xC0, calc::kOrbitEntrySize});      // add rax, 20
  e.MemoryOp({0x89}, E::kEax, E::kBlock, position, true);  // mov [position], rax
}

}  // namespace

TCodeBuffer BuildFormulaProcedure(TCodeBytes init, TCodeBytes loop, TCodeBytes bailout,
                                  std::span<const TParkedValue> parked) {
  return Assemble([&](E& e) { EmitFormula(e, init, loop, bailout, parked); });
}

TCodeBuffer BuildColoringProcedure(TCodeBytes code, bool inside, bool uses_orbit,
                                   TColoringPart part, bool z_parked) {
  const bool z_to_cell = part == TColoringPart::kLoop && !z_parked && !code.empty();
  return Assemble([&](E& e) {
    e.EnterVariables(inside ? calc::kInsideVars : calc::kOutsideVars);
    if (z_to_cell) e.StoreComplex(E::kBlock, calc::kZ);
    Code(e, code);
    if (z_to_cell) e.LoadComplex(E::kBlock, calc::kZ);
    if (uses_orbit && part != TColoringPart::kFinal) EmitOrbitStore(e, inside, part);
    e.LeaveVariables();
    e.Return();
  });
}

TCodeBuffer BuildTransformProcedure(TCodeBytes code) {
  return Assemble([&](E& e) {
    e.Prologue();
    e.EnterVariables(calc::kTransformVars);
    Code(e, code);
    e.LeaveVariables();
    e.Epilogue();
  });
}

TCodeBuffer BuildReturnProcedure() {
  return Assemble([](E& e) { e.Return(); });
}

TCodeBuffer BuildDefaultColoringFinal() {
  // The factor 0.01 in extended precision is the exact sum of two doubles, which
  // load through the red zone at a fraction of the cost of an 80-bit load; so the
  // product is the one of #numiter and 0.01 in extended precision.
  double pair[2];
  SplitExtended(0.01L, pair[0], pair[1]);
  return Assemble([&](E& e) {
    e.MemoryOp({0xDB}, 0, E::kBlock, calc::kNumIter);  // fild dword [numiter]
    for (int i = 0; i < 2; ++i) {
      std::uint64_t bits;
      std::memcpy(&bits, &pair[i], sizeof bits);
      e.Bytes({0x48, 0xB8});  // mov rax, bits
      for (int shift = 0; shift < 64; shift += 8) e.Byte(static_cast<std::uint8_t>(bits >> shift));
      e.Bytes({0x48, 0x89, 0x44, 0x24,
               static_cast<std::uint8_t>(0xF0 + 8 * i)});  // mov [rsp-16+8i], rax
    }
    e.Bytes({0xDD, 0x44, 0x24, 0xF0});  // fld qword [rsp-16]
    e.Bytes({0xDC, 0x44, 0x24, 0xF8});  // fadd qword [rsp-8]
    e.Bytes({0xDE, 0xC9});              // fmulp st(1), st
    e.StoreFloat(E::kBlock, calc::kIndex);
    e.Return();
  });
}

TCodeBuffer BuildEmptyFormulaProcedure() {
  return Assemble([](E& e) {
    e.Prologue();
    e.CallCell(calc::kOutsideInit);
    e.CopyExtended(E::kBlock, calc::kZero, E::kBlock, calc::kZ);
    e.CopyExtended(E::kBlock, calc::kZero, E::kBlock, calc::kZ + 16);
    // The loop procedure takes #z on the FPU.
    e.MemoryOp({0x83}, 7, E::kBlock, calc::kOutsideLoop, true);  // cmp qword [rsi + cell], 0
    e.Byte(0x00);
    const TForwardJump none = ForwardIf(e, E::kZero);
    e.LoadComplex(E::kBlock, calc::kZ);
    e.CallCell(calc::kOutsideLoop);
    DropComplex(e);
    none.Land(e);
    e.StoreIntLiteral(E::kBlock, calc::kNumIter, 1);
    e.CallCell(calc::kOutsideFinal);
    e.Epilogue();
  });
}

}  // namespace zt
