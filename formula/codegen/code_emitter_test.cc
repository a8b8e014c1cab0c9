// Byte-exact tests of the emit operations, and of measuring against emitting.
#include "formula/codegen/code_emitter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/runtime.h"
#include "testing/test_support.h"

namespace zt {
namespace {

using E = TCodeEmitter;

struct TEncodingCase {
  const char* Name;
  std::function<void(E&)> Emit;
  const char* Hex;  // expected bytes, space-separated
};

// Emits `emit` at offset `start` into a scratch buffer and returns the hex of the
// new bytes; also checks that measuring advances by the same count.
std::string EmitHex(const std::function<void(E&)>& emit, int start = 0) {
  E measure;
  measure.Begin(nullptr);
  measure.SetOffset(start);
  emit(measure);
  std::vector<std::uint8_t> buffer(start + 64, 0xCC);
  E e;
  e.Begin(buffer.data(), buffer.size());
  e.SetOffset(start);
  emit(e);
  EXPECT_EQ(measure.Offset(), e.Offset()) << "measured and emitted sizes differ";
  std::string hex;
  for (int i = start; i < e.Offset(); ++i) {
    char part[4];
    std::snprintf(part, sizeof part, "%02X", buffer[i]);
    hex += (hex.empty() ? "" : " ") + std::string(part);
  }
  return hex;
}

const TEncodingCase kCases[] = {
    {"LoadComplex block", [](E& e) { e.LoadComplex(E::kBlock, 0x20); },
     "DB AE 30 00 00 00 DB AE 20 00 00 00"},
    {"LoadComplex vars", [](E& e) { e.LoadComplex(E::kVars, 0x100); },
     "DB AF 10 01 00 00 DB AF 00 01 00 00"},
    {"StoreComplex", [](E& e) { e.StoreComplex(E::kVars, 0x40); },
     "DB BF 40 00 00 00 DB BF 50 00 00 00"},
    {"StoreComplexKeep", [](E& e) { e.StoreComplexKeep(E::kBlock, 0x20); },
     "D9 C0 DB BE 20 00 00 00 D9 C1 DB BE 30 00 00 00"},
    {"LoadFloat", [](E& e) { e.LoadFloat(E::kVars, 0x10); }, "DB AF 10 00 00 00"},
    {"LoadDouble", [](E& e) { e.LoadDouble(E::kVars, 0x30); }, "DD 87 30 00 00 00"},
    {"AddDouble", [](E& e) { e.AddDouble(E::kVars, 0x38); }, "DC 87 38 00 00 00"},
    {"StoreFloat", [](E& e) { e.StoreFloat(E::kBlock, 0x130); }, "DB BE 30 01 00 00"},
    {"StoreFloatKeep", [](E& e) { e.StoreFloatKeep(E::kVars, 0x10); }, "D9 C0 DB BF 10 00 00 00"},
    {"LoadInt", [](E& e) { e.LoadInt(E::kBlock, 0x191); }, "8B 86 91 01 00 00"},
    {"StoreInt", [](E& e) { e.StoreInt(E::kVars, 4); }, "89 87 04 00 00 00"},
    {"LoadIntEdx", [](E& e) { e.LoadIntEdx(E::kVars, 4); }, "8B 97 04 00 00 00"},
    {"StoreEdx", [](E& e) { e.StoreEdx(E::kBlock, 8); }, "89 96 08 00 00 00"},
    {"LoadBool", [](E& e) { e.LoadBool(E::kBlock, 0x237); }, "8A 86 37 02 00 00"},
    {"StoreBool", [](E& e) { e.StoreBool(E::kVars, 3); }, "88 87 03 00 00 00"},
    {"IntLiteral", [](E& e) { e.IntLiteral(-2); }, "B8 FE FF FF FF"},
    {"BoolLiteral true", [](E& e) { e.BoolLiteral(true); }, "B0 01"},
    {"BoolLiteral false", [](E& e) { e.BoolLiteral(false); }, "B0 00"},
    {"StoreIntLiteral", [](E& e) { e.StoreIntLiteral(E::kVars, 8, 0x12345678); },
     "C7 87 08 00 00 00 78 56 34 12"},
    {"StoreBoolLiteral", [](E& e) { e.StoreBoolLiteral(E::kBlock, 0x238, true); },
     "C6 86 38 02 00 00 01"},
    {"CopyExtended", [](E& e) { e.CopyExtended(E::kBlock, 0x140, E::kVars, 0x20); },
     "8B 86 40 01 00 00 8B 96 44 01 00 00 89 87 20 00 00 00 "
     "8B 86 48 01 00 00 89 97 24 00 00 00 89 87 28 00 00 00"},
    {"ReplaceRegister", [](E& e) { e.ReplaceRegister(3); }, "D9 CB DD D8"},
    // A primitive's fld st(0) right after a register copy copies the original.
    {"Copy of a copy",
     [](E& e) {
       e.LoadRegister(2);
       e.Primitive(kPrimitiveDupFloat);
     },
     "D9 C2 D9 C3"},
    {"Copy of something else",
     [](E& e) {
       e.LoadRegister(2);
       e.Byte(0x90);
       e.Primitive(kPrimitiveDupFloat);
     },
     "D9 C2 90 D9 C0"},
    {"PushEax", [](E& e) { e.PushEax(); }, "50"},
    {"PopEdx", [](E& e) { e.PopEdx(); }, "5A"},
    {"Return", [](E& e) { e.Return(); }, "C3"},
    {"Prologue", [](E& e) { e.Prologue(); },
     "56 48 89 C6 D9 BE 35 02 00 00 0F B7 86 35 02 00 00 25 3F 0F 00 00 3D 3F 03 00 00 74 0B "
     "66 C7 44 24 F8 7F 13 D9 6C 24 F8"},
    {"Epilogue", [](E& e) { e.Epilogue(); },
     "8A 86 35 02 00 00 F6 D0 A8 3F 74 03 9B DB E2 0F B7 86 35 02 00 00 25 3F 0F 00 00 3D 3F 03 "
     "00 00 74 06 D9 AE 35 02 00 00 5E C3"},
    {"EnterVariables", [](E& e) { e.EnterVariables(calc::kFormulaVars); },
     "57 48 8B BE F9 01 00 00"},
    {"LeaveVariables", [](E& e) { e.LeaveVariables(); }, "5F"},
    {"CallCell", [](E& e) { e.CallCell(calc::kInsideInit); }, "FF 96 99 01 00 00"},
    {"CallCellIfSet", [](E& e) { e.CallCellIfSet(calc::kInsideLoop); },
     "48 83 BE A1 01 00 00 00 74 06 FF 96 A1 01 00 00"},
    {"MemoryOp 64-bit", [](E& e) { e.MemoryOp({0x89}, E::kEax, E::kBlock, -4, true); },
     "48 89 86 FC FF FF FF"},
};

TEST(CodeEmitter, EncodesEveryOperation) {
  for (const TEncodingCase& c : kCases) EXPECT_EQ(EmitHex(c.Emit), c.Hex) << c.Name;
}

// Jumps at offset 0x100, to a target behind and one ahead.
TEST(CodeEmitter, JumpDisplacementsCountFromTheJumpsEnd) {
  const struct {
    const char* Name;
    std::function<void(E&)> Emit;
    const char* Hex;
  } cases[] = {
      {"JumpIfFalse ahead", [](E& e) { e.JumpIfFalse(0x110); }, "08 C0 0F 84 08 00 00 00"},
      {"JumpIfFalse own end", [](E& e) { e.JumpIfFalse(0x108); }, "08 C0 0F 84 00 00 00 00"},
      {"Jump back", [](E& e) { e.Jump(0x10); }, "E9 0B FF FF FF"},
      {"JumpIf not zero back", [](E& e) { e.JumpIf(E::kNotZero, 0x100); }, "0F 85 FA FF FF FF"},
      {"JumpIf above ahead", [](E& e) { e.JumpIf(E::kAbove, 0x206); }, "0F 87 00 01 00 00"},
      {"AbortCheck over a jump", [](E& e) { e.AbortCheck(0x100 + 9 + 5); },
       "80 BE 39 02 00 00 00 75 05"},
      {"AbortCheck back", [](E& e) { e.AbortCheck(0x100 + 9 - 128); },
       "80 BE 39 02 00 00 00 75 80"},
  };
  for (const auto& c : cases) EXPECT_EQ(EmitHex(c.Emit, 0x100), c.Hex) << c.Name;
}

TEST(CodeEmitter, RejectsAbortTargetsBeyondAByte) {
  for (int target : {0x100 + 9 + 128, 0x100 + 9 - 129}) {
    E e;
    e.Begin(nullptr);
    e.SetOffset(0x100);
    EXPECT_EQ(testing::ErrorMessageOf([&] { e.AbortCheck(target); }),
              "Abort check target out of reach")
        << target;
  }
}

TEST(CodeEmitter, PatchingAJumpKeepsTheOffset) {
  std::vector<std::uint8_t> buffer(32, 0x90);
  E e;
  e.Begin(buffer.data(), buffer.size());
  e.JumpIfFalse(e.Offset() + kJumpIfFalseSize);
  e.Bytes({0x90, 0x90});
  const int end = e.Offset();
  e.SetOffset(0);
  e.JumpIfFalse(end);
  e.SetOffset(end);
  EXPECT_EQ(e.Offset(), 10);
  EXPECT_EQ(buffer[4], 2);  // displacement over the two bytes
}

TEST(CodeEmitter, PrimitiveCopiesTheBodyAndReportsExtraRegisters) {
  const int index = kPrimitiveLoadComplexZero;
  const std::size_t length = PrimitiveLength(index);
  ASSERT_GT(length, 0u);
  E measure;
  measure.Begin(nullptr);
  EXPECT_EQ(measure.Primitive(index), ExtraRegisters(index));
  EXPECT_EQ(measure.Offset(), static_cast<int>(length));

  std::vector<std::uint8_t> buffer(length);
  E e;
  e.Begin(buffer.data(), buffer.size());
  e.Primitive(index);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), PrimitiveAddress(index)));
}

TEST(CodeEmitter, RaisesInsteadOfWritingPastTheBuffer) {
  std::vector<std::uint8_t> buffer(8, 0);
  E e;
  e.Begin(buffer.data(), 7);
  EXPECT_EQ(testing::ErrorMessageOf([&] { e.StoreIntLiteral(E::kVars, 0, 1); }),
            "Generated code exceeds its measured size");
  EXPECT_EQ(buffer[7], 0);
}

TEST(CodeEmitter, MissingPrimitiveFailsInBothPasses) {
  E e;
  e.Begin(nullptr);
  EXPECT_EQ(testing::ErrorMessageOf([&] { e.Primitive(kPrimitiveCount); }),
            "Requested routine not implemented");
}

}  // namespace
}  // namespace zt
