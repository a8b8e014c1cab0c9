// Values that the formula procedure keeps on the FPU across its iteration loop
// ("parked") for the loop and bailout code, and what the choice of them rests
// on: the places that code reads and writes, and what parking each would save.
//
// Thread safety: plain values and functions; used by one compiling thread.
#pragma once

#include <cstdint>
#include <vector>

#include "formula/codegen/code_emitter.h"
#include "formula/language/expression.h"

namespace zt {

struct TVariable;

// A complex or float value parked on the FPU: loaded from its memory before the
// loop, read there as a copy of its register, and, when the code writes it,
// replaced in its register and written back to memory where memory is read: at
// the loop's end, and around the coloring loop calls for all but #z, which the
// calls take on the FPU. Parked values lie below everything the section code
// pushes, the first one on top; a complex takes two registers, the real part
// above the imaginary part.
struct TParkedValue {
  TCodeEmitter::TBase Base;  // where the value lives
  std::int32_t Offset;
  bool Complex;
  // Memory may be stale while the value is parked: the code writes it (or, for
  // the #z a coloring's loop is given, the formula does).
  bool Written;

  int Registers() const { return Complex ? 2 : 1; }
  bool IsZ() const;
  bool SamePlace(const TParkedValue& other) const {
    return Base == other.Base && Offset == other.Offset;
  }
  bool operator==(const TParkedValue&) const = default;
};

// The place of a complex or float variable (not a temporary) or predefined
// symbol with a cell, not marked written; false for any other node. Variables
// must be laid out.
bool PlaceOf(const TExpression& node, TParkedValue& place);

// A place of the parked sections with its uses.
struct TParkingCandidate {
  TParkedValue Place;
  const TVariable* Variable = nullptr;  // null for a predefined symbol
  int Reads = 0;
  int Writes = 0;
  bool Unparkable = false;  // written where a register cannot take the value

  // The memory accesses that parking saves, weighted by their cost: an extended
  // load costs several times a store or a load of a constant's doubles.
  int Gain() const;
};

// Collects the places of the statements of the sections that run parked.
class TParkingCandidates {
 public:
  // Counts the places of one statement. Only a statement that is an assignment
  // of its own can write a parked value; an assignment inside an expression, or
  // of a value of another type, makes its target unparkable.
  void Statement(const TExpression& tree);
  // The parkable places, most gain per register first (first use first on ties).
  std::vector<TParkingCandidate> Ranked() const;

 private:
  TParkingCandidate* Find(const TExpression& node);
  void Walk(const TExpression* node);

  std::vector<TParkingCandidate> candidates_;
};

}  // namespace zt
