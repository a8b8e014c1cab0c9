// The primitive table, built from the labels of the runtime's assembly sources.
// Routines not built are weak references and read as missing.
#include "formula/codegen/runtime.h"

#include <cstring>

extern "C" {
#define ZT_PRIMITIVE(name, extra)                                   \
  extern const std::uint8_t zt_prim_##name[] __attribute__((weak)); \
  extern const std::uint8_t zt_prim_##name##_end[] __attribute__((weak));
#include "formula/codegen/primitives.def"
#undef ZT_PRIMITIVE

// runtime_primitives.S: referenced strongly so that the linker takes the object
// that holds every primitive.
extern const std::uint8_t zt_runtime_anchor[];

// runtime_invoke.S: loads the frame's operands, calls the routine, stores results.
void zt_invoke_primitive(zt::TPrimitiveFrame* frame, const std::uint8_t* routine,
                         std::uint16_t control_word);
}

namespace zt {

// runtime_invoke.S addresses the frame with these offsets.
static_assert(offsetof(TPrimitiveFrame, In) == 0);
static_assert(offsetof(TPrimitiveFrame, InCount) == 128);
static_assert(offsetof(TPrimitiveFrame, OutCount) == 132);
static_assert(offsetof(TPrimitiveFrame, Out) == 144);
static_assert(offsetof(TPrimitiveFrame, Rax) == 272);
static_assert(offsetof(TPrimitiveFrame, Rdx) == 280);
static_assert(offsetof(TPrimitiveFrame, Rsi) == 288);
static_assert(offsetof(TPrimitiveFrame, Leftover) == 296);

namespace {

// Keeps the primitives' object in the link.
[[gnu::used]] const void* const kRuntimeAnchor = zt_runtime_anchor;

struct TEntry {
  const char* Name;
  const std::uint8_t* Start;
  const std::uint8_t* End;
  int Extra;
};

const TEntry kTable[kPrimitiveCount] = {
#define ZT_PRIMITIVE(name, extra) {#name, zt_prim_##name, zt_prim_##name##_end, extra},
#include "formula/codegen/primitives.def"
#undef ZT_PRIMITIVE
};

const TEntry* Find(int index) {
  return index >= 0 && index < kPrimitiveCount ? &kTable[index] : nullptr;
}

}  // namespace

const std::uint8_t* PrimitiveAddress(int index) {
  const TEntry* e = Find(index);
  return e && e->Start && e->End ? e->Start : nullptr;
}

std::size_t PrimitiveLength(int index) {
  const TEntry* e = Find(index);
  return e && e->Start && e->End && e->End > e->Start ? static_cast<std::size_t>(e->End - e->Start)
                                                      : 0;
}

int ExtraRegisters(int index) {
  const TEntry* e = Find(index);
  return e ? e->Extra : 0;
}

const char* PrimitiveName(int index) {
  const TEntry* e = Find(index);
  return e ? e->Name : "?";
}

void CopyPrimitive(int index, std::uint8_t* destination) {
  const std::uint8_t* start = PrimitiveAddress(index);
  std::size_t length = PrimitiveLength(index);
  if (!start || length == 0) throw EZentrope("Requested routine not implemented");
  std::memcpy(destination, start, length);
}

void UseWorkingControlWord() {
  const std::uint16_t word = kWorkingControlWord;
  asm volatile("fldcw %0" : : "m"(word) : "memory");
}

void RunPrimitive(int index, TPrimitiveFrame& frame) {
  const std::uint8_t* start = PrimitiveAddress(index);
  if (!start || PrimitiveLength(index) == 0) throw EZentrope("Requested routine not implemented");
  zt_invoke_primitive(&frame, start, kWorkingControlWord);
}

}  // namespace zt
