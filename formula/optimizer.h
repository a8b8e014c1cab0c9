// The optimizer: between type checking and code generation it rewrites the checked
// program into a new one: parameter and function values substituted, constants
// folded with the runtime's own primitives, cheaper operations chosen, remaining
// literals moved into the variable table as constants, constant IF branches removed.
// Then it starts code generation.
#pragma once

#include <memory>

#include "formula/checker.h"

namespace zt {

// Used on the compiler object's thread, like TLexical.
class TOptimizer : public TChecker {
 protected:
  // Rewrites the checked program into Program(), calls Generate, then frees it.
  void Optimize() override;
  // Translates Program() to code; answered by the code generator.
  virtual void Generate() {}
  // The rewritten program; valid while Generate runs.
  TExpressionList& Program() { return *program_; }

 private:
  std::unique_ptr<TExpressionList> program_;
};

}  // namespace zt
