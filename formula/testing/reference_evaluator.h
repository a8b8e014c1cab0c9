// The oracle of the differential tests: executes a compiled entry's program tables
// directly, the way its machine code must behave. Arithmetic, comparisons, int and
// bool operations are plain C++ on long double, int32 and bool (the same x87 operations
// in the same order as the primitives, so results agree to the bit); functions and
// powers run the runtime's primitives as routines, as compiled code copies them.
// Control statements walk the statement list. The formula procedure is emulated
// without periodicity checking and without coloring procedures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formula/language/expression.h"
#include "formula/language/value.h"

namespace zt::testing {

struct TRefValue {
  TValueType Type = kTypeComplex;
  long double Re = 0;
  long double Im = 0;
  std::int32_t Int = 0;
  bool Bool = false;
};

class TReferenceEvaluator {
 public:
  // `block` is a calculation block and `vars` the entry's variable block; both are
  // read and written like compiled code does.
  TReferenceEvaluator(const TExpressionList& program, std::uint8_t* block, std::uint8_t* vars);

  // Runs the statements of a section; for a condition section returns its value.
  bool RunSection(const std::string& upper_name);
  // init, then loop and bailout up to #maxiter times, honouring the abort flag;
  // writes #numiter.
  void RunFormula();

  TRefValue Evaluate(const TExpression& node);

 private:
  struct TSection {
    std::string Name;
    std::vector<const TExpression*> Statements;
  };
  const TSection* Find(const std::string& name) const;
  bool Run(const std::vector<const TExpression*>& statements);
  TRefValue Load(TValueType type, const std::uint8_t* at) const;
  void Store(const TRefValue& value, std::uint8_t* at) const;
  std::uint8_t* Address(const TExpression& target) const;
  TRefValue Binary(const TExpression& node);
  TRefValue Function(const TExpression& node);
  bool Aborted() const;

  std::vector<TSection> sections_;
  std::uint8_t* block_;
  std::uint8_t* vars_;
};

}  // namespace zt::testing
