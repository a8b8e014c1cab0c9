// x86-64 encodings of the emit operations. Memory operands are always
// [rsi + disp32] (ModRM mod 10, r/m 110) or [rdi + disp32] (r/m 111).
#include "formula/codegen/code_emitter.h"

#include "formula/codegen/calc_block.h"
#include "formula/codegen/runtime.h"
#include "platform/error.h"

namespace zt {
namespace {

// x87 opcodes and register fields.
constexpr std::uint8_t kFpuExtended = 0xDB;  // DB /5 fld tbyte, DB /7 fstp tbyte
constexpr std::uint8_t kFldTbyte = 5;
constexpr std::uint8_t kFstpTbyte = 7;
constexpr std::uint8_t kFpuDouble = 0xDD;    // DD /0 fld qword
constexpr std::uint8_t kFpuDoubleOp = 0xDC;  // DC /0 fadd qword
constexpr std::uint8_t kFpuControl = 0xD9;   // D9 /5 fldcw, D9 /7 fnstcw
constexpr std::uint8_t kFldcw = 5;
constexpr std::uint8_t kFnstcw = 7;

// Red-zone slot that the prologue uses to load the working control word.
constexpr std::uint8_t kRedZoneSlot = 0xF8;  // [rsp - 8]

}  // namespace

void TCodeEmitter::Begin(std::uint8_t* buffer, std::size_t capacity) {
  buffer_ = buffer;
  capacity_ = buffer ? capacity : 0;
  offset_ = 0;
  copy_end_ = -1;
}

void TCodeEmitter::Byte(std::uint8_t value) {
  if (buffer_) {
    if (offset_ < 0 || static_cast<std::size_t>(offset_) >= capacity_)
      throw EZentrope("Generated code exceeds its measured size");
    buffer_[offset_] = value;
  }
  ++offset_;
}

void TCodeEmitter::Bytes(std::initializer_list<std::uint8_t> values) {
  for (std::uint8_t v : values) Byte(v);
}

void TCodeEmitter::Int32(std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) Byte(static_cast<std::uint8_t>(u >> shift));
}

void TCodeEmitter::MemoryOp(std::initializer_list<std::uint8_t> opcode, std::uint8_t reg,
                            TBase base, std::int32_t d, bool rex_w) {
  if (rex_w) Byte(0x48);
  Bytes(opcode);
  Byte(static_cast<std::uint8_t>(0x80 | (reg << 3) | (base == kBlock ? 6 : 7)));
  Int32(d);
}

void TCodeEmitter::LoadComplex(TBase base, std::int32_t d) {
  MemoryOp({kFpuExtended}, kFldTbyte, base, d + 16);
  MemoryOp({kFpuExtended}, kFldTbyte, base, d);
}

void TCodeEmitter::StoreComplex(TBase base, std::int32_t d) {
  MemoryOp({kFpuExtended}, kFstpTbyte, base, d);
  MemoryOp({kFpuExtended}, kFstpTbyte, base, d + 16);
}

void TCodeEmitter::StoreComplexKeep(TBase base, std::int32_t d) {
  // fld st(0) duplicates the real part, fld st(1) then the imaginary part below it.
  Bytes({0xD9, 0xC0});
  MemoryOp({kFpuExtended}, kFstpTbyte, base, d);
  Bytes({0xD9, 0xC1});
  MemoryOp({kFpuExtended}, kFstpTbyte, base, d + 16);
}

void TCodeEmitter::LoadFloat(TBase base, std::int32_t d) {
  MemoryOp({kFpuExtended}, kFldTbyte, base, d);
}

void TCodeEmitter::LoadDouble(TBase base, std::int32_t d) { MemoryOp({kFpuDouble}, 0, base, d); }

void TCodeEmitter::AddDouble(TBase base, std::int32_t d) { MemoryOp({kFpuDoubleOp}, 0, base, d); }

void TCodeEmitter::StoreFloat(TBase base, std::int32_t d) {
  MemoryOp({kFpuExtended}, kFstpTbyte, base, d);
}

void TCodeEmitter::StoreFloatKeep(TBase base, std::int32_t d) {
  Bytes({0xD9, 0xC0});
  MemoryOp({kFpuExtended}, kFstpTbyte, base, d);
}

void TCodeEmitter::LoadInt(TBase base, std::int32_t d) { MemoryOp({0x8B}, kEax, base, d); }
void TCodeEmitter::StoreInt(TBase base, std::int32_t d) { MemoryOp({0x89}, kEax, base, d); }
void TCodeEmitter::LoadIntEdx(TBase base, std::int32_t d) { MemoryOp({0x8B}, kEdx, base, d); }
void TCodeEmitter::StoreEdx(TBase base, std::int32_t d) { MemoryOp({0x89}, kEdx, base, d); }
void TCodeEmitter::LoadBool(TBase base, std::int32_t d) { MemoryOp({0x8A}, kEax, base, d); }
void TCodeEmitter::StoreBool(TBase base, std::int32_t d) { MemoryOp({0x88}, kEax, base, d); }

void TCodeEmitter::IntLiteral(std::int32_t value) {
  Byte(0xB8);
  Int32(value);
}

void TCodeEmitter::BoolLiteral(bool value) { Bytes({0xB0, static_cast<std::uint8_t>(value)}); }

void TCodeEmitter::StoreIntLiteral(TBase base, std::int32_t d, std::int32_t value) {
  MemoryOp({0xC7}, 0, base, d);
  Int32(value);
}

void TCodeEmitter::StoreBoolLiteral(TBase base, std::int32_t d, bool value) {
  MemoryOp({0xC6}, 0, base, d);
  Byte(static_cast<std::uint8_t>(value));
}

void TCodeEmitter::CopyExtended(TBase src, std::int32_t s, TBase dst, std::int32_t d) {
  LoadInt(src, s);
  LoadIntEdx(src, s + 4);
  StoreInt(dst, d);
  LoadInt(src, s + 8);
  StoreEdx(dst, d + 4);
  StoreInt(dst, d + 8);
}

namespace {

// The x87 register field of fld st(i) and fstp st(i); a register beyond the
// eight is a generator fault, never a silently different register.
std::uint8_t FpuRegister(int i) {
  if (i < 0 || i > 7) throw EZentrope("Could not translate expression");
  return static_cast<std::uint8_t>(i);
}

}  // namespace

void TCodeEmitter::LoadRegister(int i) {
  Bytes({0xD9, static_cast<std::uint8_t>(0xC0 | FpuRegister(i))});
  copy_end_ = offset_;
  copy_register_ = i;
}

void TCodeEmitter::PopToRegister(int i) {
  Bytes({0xDD, static_cast<std::uint8_t>(0xD8 | FpuRegister(i))});
}

void TCodeEmitter::ReplaceRegister(int i) {
  Bytes({0xD9, static_cast<std::uint8_t>(0xC8 | FpuRegister(i))});  // fxch st(i)
  PopToRegister(0);
}

void TCodeEmitter::PushEax() { Byte(0x50); }
void TCodeEmitter::PopEdx() { Byte(0x5A); }

void TCodeEmitter::Displacement32(int start, int size, int target) { Int32(target - start - size); }

void TCodeEmitter::JumpIfFalse(int target) {
  const int start = offset_;
  Bytes({0x08, 0xC0, 0x0F, 0x84});
  Displacement32(start, kJumpIfFalseSize, target);
}

void TCodeEmitter::Jump(int target) {
  const int start = offset_;
  Byte(0xE9);
  Displacement32(start, kJumpSize, target);
}

void TCodeEmitter::JumpIf(TCondition condition, int target) {
  const int start = offset_;
  Bytes({0x0F, static_cast<std::uint8_t>(0x80 | condition)});
  Displacement32(start, kJumpIfSize, target);
}

void TCodeEmitter::AbortCheck(int target) {
  const int displacement = target - offset_ - kAbortCheckSize;
  if (displacement < -128 || displacement > 127) throw EZentrope("Abort check target out of reach");
  MemoryOp({0x80}, 7, kBlock, calc::kAbort);
  Bytes({0x00, 0x75, static_cast<std::uint8_t>(displacement)});
}

int TCodeEmitter::Primitive(int index) {
  const std::size_t length = PrimitiveLength(index);
  if (length == 0 || PrimitiveAddress(index) == nullptr)
    throw EZentrope("Requested routine not implemented");
  if (buffer_) {
    if (offset_ < 0 || static_cast<std::size_t>(offset_) + length > capacity_)
      throw EZentrope("Generated code exceeds its measured size");
    CopyPrimitive(index, buffer_ + offset_);
    // A copy of the copy just pushed (fld st(0)) is taken from the register it was
    // copied from, which then lies one further down: the same value, without
    // waiting for the first copy.
    std::uint8_t* body = buffer_ + offset_;
    if (copy_end_ == offset_ && copy_register_ < 7 && length >= 2 && body[0] == 0xD9 &&
        body[1] == 0xC0)
      body[1] = static_cast<std::uint8_t>(0xC0 | (copy_register_ + 1));
  }
  offset_ += static_cast<int>(length);
  return ExtraRegisters(index);
}

template <class EmitLoad>
void TCodeEmitter::UnlessCallerWordComputesAlike(EmitLoad&& emit_load) {
  MemoryOp({0x0F, 0xB7}, kEax, kBlock, calc::kCallerControlWord);  // movzx eax, word [cell]
  Byte(0x25);                                                      // and eax, imm32
  Int32(kEffectiveControlBits);
  Byte(0x3D);  // cmp eax, imm32
  Int32(kWorkingControlWord & kEffectiveControlBits);
  Bytes({0x74, 0x00});  // je over the load, its distance set below
  const int load_start = offset_;
  emit_load();
  if (buffer_) buffer_[load_start - 1] = static_cast<std::uint8_t>(offset_ - load_start);
}

void TCodeEmitter::Prologue() {
  Byte(0x56);                 // push rsi
  Bytes({0x48, 0x89, 0xC6});  // mov rsi, rax
  // No finit: the caller's FPU stack is empty (the calling convention demands it)
  // and the epilogue clears the exception flags. finit would also reset the
  // control word, and loading a control word that differs from the current one
  // costs dozens of cycles, per pixel.
  MemoryOp({kFpuControl}, kFnstcw, kBlock, calc::kCallerControlWord);
  UnlessCallerWordComputesAlike([this] {
    // mov word [rsp-8], 0x137F; fldcw [rsp-8]
    Bytes({0x66, 0xC7, 0x44, 0x24, kRedZoneSlot});
    Bytes({static_cast<std::uint8_t>(kWorkingControlWord & 0xFF),
           static_cast<std::uint8_t>(kWorkingControlWord >> 8)});
    Bytes({0xD9, 0x6C, 0x24, kRedZoneSlot});
  });
}

void TCodeEmitter::Epilogue() {
  // The exception flags are cleared only for a caller that unmasks an exception,
  // which a flag left set would raise: fclex costs as much as a pixel's
  // dozen iterations, and under a caller's word that masks them all the flags
  // change nothing.
  MemoryOp({0x8A}, kEax, kBlock, calc::kCallerControlWord);  // mov al, [caller cell]
  Bytes({0xF6, 0xD0});                                       // not al
  Bytes({0xA8, 0x3F});                                       // test al, 0x3F
  Bytes({0x74, 0x03});                                       // jz over fclex
  Bytes({0x9B, 0xDB, 0xE2});                                 // fclex
  UnlessCallerWordComputesAlike(
      [this] { MemoryOp({kFpuControl}, kFldcw, kBlock, calc::kCallerControlWord); });
  Byte(0x5E);  // pop rsi
  Return();
}

void TCodeEmitter::EnterVariables(std::int32_t cell) {
  Byte(0x57);                               // push rdi
  MemoryOp({0x8B}, 7, kBlock, cell, true);  // mov rdi, [rsi + cell]
}

void TCodeEmitter::LeaveVariables() { Byte(0x5F); }  // pop rdi

void TCodeEmitter::CallCell(std::int32_t cell) { MemoryOp({0xFF}, 2, kBlock, cell); }

void TCodeEmitter::CallCellIfSet(std::int32_t cell) {
  MemoryOp({0x83}, 7, kBlock, cell, true);  // cmp qword [rsi + cell], 0
  Byte(0x00);
  Bytes({0x74, 0x06});  // je over the six-byte call
  CallCell(cell);
}

void TCodeEmitter::Return() { Byte(0xC3); }

}  // namespace zt
