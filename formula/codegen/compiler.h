// The code generator: the last stage of the compiler chain. It translates the
// optimized program, one section at a time, into native x87 code built from the
// runtime's primitives, and hands each section's sealed code to the entry object.
// Its external interface is Generate (called by the optimizer) and the
// SectionCompiled hook that the entry kinds answer.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "formula/codegen/code_emitter.h"
#include "formula/codegen/optimizer.h"
#include "formula/codegen/parking.h"
#include "formula/language/construct_list.h"
#include "platform/code_buffer.h"

namespace zt {

// The calculation-block cell of a predefined symbol; -1 for a symbol without one.
int SymbolCell(int symbol);

// Used on the compiler object's thread, like TLexical. The code it produces is
// re-entrant and runs on any number of calculation threads.
class TCompiler : public TOptimizer {
 protected:
  // Translates Program(). Raises EZentrope with the translation message on failure;
  // the sections handed over before the failure are then the owner's to drop.
  void Generate() override;
  // Translates `program` section by section; Generate passes Program().
  void GenerateFrom(TExpressionList& program);
  // One section's sealed code, in program order; the owner takes the buffer over.
  virtual void SectionCompiled(const std::string& upper_name, TCodeBuffer code);
  // How the owner runs a section's code: with nothing parked, with the values
  // that the code generator chooses for all such sections (the formula's LOOP
  // and BAILOUT), or with #z alone parked, current only in its registers (a
  // coloring's LOOP, see BuildColoringProcedure).
  enum class TParking { kNone, kChosen, kZ };
  virtual TParking Parking(const std::string&) const { return TParking::kNone; }
  // What the last Generate parked for the sections that run parked, top first;
  // empty when it parked nothing, and the code is then exactly the unparked code.
  const std::vector<TParkedValue>& Parked() const { return parked_values_; }

 private:
  // How a binary node with FPU operands is evaluated.
  enum class TOrder : std::uint8_t { kRightFirst, kLeftFirst, kSpill };

  using TLink = TExpressionList::Link;
  struct TSection {
    std::string Name;
    TLink* First;
    TLink* End;
  };

  void TranslateSection(TLink* first, TLink* end);
  // What the parked sections keep on the FPU: #z alone when they are given it,
  // or the values whose memory accesses cost most per register, as many as leave
  // each statement the registers it needs, with #z last (at the bottom). Nothing
  // when not even a given #z leaves the statements room.
  std::vector<TParkedValue> ChooseParked(const std::vector<TSection>& sections);
  bool RunsParked(const std::string& section) const { return Parking(section) != TParking::kNone; }
  // Every statement of the parked sections fits above `parked` (measured without
  // output; the measurement settles the evaluation orders).
  bool FitsAbove(const std::vector<TParkedValue>& parked, const std::vector<TSection>& sections);
  // Translates the following statements with `values` parked.
  void Park(const std::vector<TParkedValue>& values);
  // The register of the parked value at `node` below the statement's registers,
  // or -1 when `node` is no parked place.
  int ParkedRegister(const TExpression& node) const;
  // `node` is a parked place that the sections write: its memory is stale.
  bool StaleInMemory(const TExpression& node) const;
  int LoadParked(int below, TValueType type);
  void StoreParked(int below, TExpression& value);
  void Statement(TExpression& tree);
  void Control(TExpression& keyword);
  void PatchJumpIfFalse(int at, int target);
  void PatchJump(int at, int target);
  void PatchAbortCheck(int at, int target);

  // Each returns the FPU registers its value occupies (complex 2, float 1, else 0).
  int Expression(TExpression& node);
  int Literal(const TExpression& node);
  int Load(const TExpression& node);
  int LoadConstant(const TVariable& constant);
  int Unary(TExpression& node);
  int Binary(TExpression& node);
  int Function(TExpression& node);
  // `used`: the value stays for the enclosing expression.
  int Assignment(TExpression& node, bool used);
  // Copies `source` into the target slot without the FPU when it is a memory
  // operand of the target's type or the literal 0 or 1; false when it is not.
  bool CopyAssignment(TValueType type, TCodeEmitter::TBase base, std::int32_t offset,
                      const TExpression& source);
  int LoadValue(TValueType type, TCodeEmitter::TBase base, std::int32_t offset);
  // `keep`: the value also stays on the FPU (int and bool stay in EAX anyway).
  void StoreValue(TValueType type, TCodeEmitter::TBase base, std::int32_t offset, bool keep);

  TOrder OrderOf(TExpression& node);
  // The FPU registers `node` needs on its own, measured without output.
  int Need(TExpression& node);
  TVariable& Temporary(int number, TValueType type);

  // Emits primitive `index` that turns `operands` registers into `result` ones.
  void Apply(int index, int operands, int result);
  void Push(int registers);
  void Discard(TValueType type);

  TCodeEmitter emitter_;
  TConstructList constructs_;
  std::unordered_map<const TExpression*, TOrder> orders_;
  int depth_ = 0;         // FPU registers in use in the current statement
  int max_depth_ = 0;     // the statement's peak
  int temporary_ = 0;     // next spill temporary of the statement
  int section_peak_ = 0;  // the highest statement peak of the section
  // What the section being translated finds parked (none for unparked sections)
  // and the registers left to its statements.
  std::vector<TParkedValue> parked_;
  int free_registers_ = 8;
  std::vector<TParkedValue> parked_values_;
};

}  // namespace zt
