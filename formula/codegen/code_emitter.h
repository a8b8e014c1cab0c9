// The machine-code emitter of the code generator: x86-64 encodings of every
// operation that compiled code is made of (x87 loads and stores, int and bool
// moves, jumps, the abort check, copied primitives and the procedure pieces).
// It works in two passes: while measuring (no buffer) every operation only
// advances the offset; while emitting it also writes the bytes. Every memory
// operand uses a 32-bit displacement and every jump a fixed-size displacement, so
// both passes agree to the byte.
//
// Thread safety: one emitter per compiling thread; no shared state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>

namespace zt {

// Sizes of the jumps, for code that emits a jump with its own end as a
// placeholder target and patches it later.
constexpr int kJumpIfFalseSize = 8;
constexpr int kJumpSize = 5;
constexpr int kJumpIfSize = 6;
constexpr int kAbortCheckSize = 9;

class TCodeEmitter {
 public:
  // Base register of a memory operand.
  enum TBase : std::uint8_t {
    kBlock,  // RSI: the calculation block
    kVars,   // RDI: the running entry's variable block
  };
  // 32-bit registers by encoding number, for MemoryOp.
  enum TRegister : std::uint8_t { kEax = 0, kEcx = 1, kEdx = 2, kEbx = 3 };
  // Condition codes of JumpIf (the low nibble of 0F 8x).
  enum TCondition : std::uint8_t {
    kBelow = 0x2,         // unsigned <
    kAboveOrEqual = 0x3,  // unsigned >=
    kZero = 0x4,
    kNotZero = 0x5,
    kBelowOrEqual = 0x6,  // unsigned <=
    kAbove = 0x7,         // unsigned >
  };

  // Starts a pass at offset 0. A null buffer measures; otherwise the bytes go to
  // `buffer`, which must hold `capacity` bytes (writing beyond raises
  // "Generated code exceeds its measured size": a generator fault).
  void Begin(std::uint8_t* buffer, std::size_t capacity = std::numeric_limits<std::size_t>::max());
  bool Measuring() const { return buffer_ == nullptr; }
  int Offset() const { return offset_; }
  // Moves the output position (to patch a jump emitted earlier, then back).
  void SetOffset(int offset) { offset_ = offset; }

  // Values of the four types (complex: real at d, imaginary at d + 16).
  void LoadComplex(TBase base, std::int32_t d);       // push imaginary, then real
  void StoreComplex(TBase base, std::int32_t d);      // pop real, then imaginary
  void StoreComplexKeep(TBase base, std::int32_t d);  // store without popping
  void LoadFloat(TBase base, std::int32_t d);
  void LoadDouble(TBase base, std::int32_t d);  // fld qword
  void AddDouble(TBase base, std::int32_t d);   // fadd qword
  void StoreFloat(TBase base, std::int32_t d);
  void StoreFloatKeep(TBase base, std::int32_t d);
  void LoadInt(TBase base, std::int32_t d);   // mov eax, [m]
  void StoreInt(TBase base, std::int32_t d);  // mov [m], eax
  void LoadIntEdx(TBase base, std::int32_t d);
  void StoreEdx(TBase base, std::int32_t d);
  void LoadBool(TBase base, std::int32_t d);   // mov al, [m]
  void StoreBool(TBase base, std::int32_t d);  // mov [m], al
  void IntLiteral(std::int32_t value);         // mov eax, imm32
  void BoolLiteral(bool value);                // mov al, 0/1
  void StoreIntLiteral(TBase base, std::int32_t d, std::int32_t value);
  void StoreBoolLiteral(TBase base, std::int32_t d, bool value);
  // Copies the first 12 bytes of an extended cell through EAX and EDX.
  void CopyExtended(TBase src, std::int32_t s, TBase dst, std::int32_t d);
  void PushEax();
  void PopEdx();
  // fld st(i): pushes a copy of register `i` (0 to 7).
  void LoadRegister(int i);
  // fstp st(i): stores ST0 into register `i` (0 to 7) and pops; st(0) only pops.
  void PopToRegister(int i);
  // fxch st(i); fstp st(0): ST0 takes the place of register `i` (1 to 7), whose
  // value is dropped, without a copy.
  void ReplaceRegister(int i);

  // Jumps to an absolute output offset. A forward jump is emitted with its own
  // end as target (displacement 0) and emitted again once the target is known.
  void JumpIfFalse(int target);                   // or al, al; jz rel32
  void Jump(int target);                          // jmp rel32
  void JumpIf(TCondition condition, int target);  // jcc rel32
  // cmp byte [rsi+abort], 0; jne rel8. The target must lie within a byte's reach
  // (it jumps over the following jump); otherwise raises
  // "Abort check target out of reach".
  void AbortCheck(int target);

  // Copies primitive `index` (without its return) and returns its extra-register
  // count. Raises "Requested routine not implemented" when it has no body.
  int Primitive(int index);

  // Procedure pieces.
  // push rsi; mov rsi, rax; fnstcw [caller cell]; fldcw 0x137F (through the red
  // zone, so the block needs no constant cell) unless the caller's word computes
  // alike (see kEffectiveControlBits); the epilogue restores it on the same terms.
  void Prologue();
  // fclex (unless the caller's word masks every exception); fldcw [caller cell];
  // pop rsi; ret.
  void Epilogue();
  // push rdi; mov rdi, [rsi + cell]: address the variable block held in `cell`.
  void EnterVariables(std::int32_t cell);
  void LeaveVariables();             // pop rdi
  void CallCell(std::int32_t cell);  // call qword [rsi + cell]
  // Calls the procedure in `cell` unless the cell is null.
  void CallCellIfSet(std::int32_t cell);
  void Return();  // ret

  // A 32-bit operation `opcode` with register field `reg` and operand
  // [base + d32]; `rex_w` makes it 64-bit (REX.W prefix).
  void MemoryOp(std::initializer_list<std::uint8_t> opcode, std::uint8_t reg, TBase base,
                std::int32_t d, bool rex_w = false);

  void Byte(std::uint8_t value);
  void Bytes(std::initializer_list<std::uint8_t> values);
  void Int32(std::int32_t value);

 private:
  // Emits the control-word load of `emit_load` behind a jump over it taken when
  // the caller's saved control word computes as the working one.
  template <class EmitLoad>
  void UnlessCallerWordComputesAlike(EmitLoad&& emit_load);

  void Displacement32(int start, int size, int target);

  std::uint8_t* buffer_ = nullptr;
  std::size_t capacity_ = 0;
  int offset_ = 0;
  // Where the last fld st(i) of LoadRegister ended, and its i: a primitive that
  // begins with fld st(0) right there copies from register i + 1 instead.
  int copy_end_ = -1;
  int copy_register_ = 0;
};

}  // namespace zt
