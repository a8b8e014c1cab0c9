// The optimizer: between type checking and code generation it rewrites the checked
// program into a new one: parameter and function values substituted, constants
// folded with the runtime's own primitives, cheaper operations chosen, remaining
// literals moved into the variable table as constants, constant IF branches removed.
// Then it starts code generation. The checked program is never changed, so the
// optimizer can run again whenever a parameter value or function choice changes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "formula/language/checker.h"

namespace zt {

// Used on the compiler object's thread, like TLexical.
class TOptimizer : public TChecker {
 public:
  // With optimizing off only the rewrites that code generation needs are made
  // (substitution, literals into constants): no folding, no cheaper forms, no
  // removal of constant branches. For comparing optimized and plain code.
  void SetOptimizing(bool optimizing) { optimizing_ = optimizing; }

 protected:
  // Rewrites the checked program into Program(), calls Generate, then frees it.
  // Constants and temporaries of an earlier run are removed first.
  void Optimize() override;
  // Translates Program() to code; answered by the code generator.
  virtual void Generate() {}
  // The rewritten program; valid while Generate runs.
  TExpressionList& Program() { return *program_; }

  // The current value of parameter `name` as a literal of the parameter's type;
  // raises "Could not look up parameter value" for an unknown name.
  TLiteral ParameterValue(const std::string& name);
  // The built-in function that function parameter `name` selects; raises
  // "Could not look up function value" for an unknown name.
  int FunctionValue(const std::string& name);

 private:
  using TNode = std::unique_ptr<TExpression>;
  using TStatements = std::vector<TNode>;

  // A rewritten copy of `node` and its subtree.
  TNode Rewrite(const TExpression& node);
  TNode Substitute(const TExpression& node);
  TNode ParameterLiteral(const TExpression& node);
  // Replaces the complex and float literals among `node`'s operands (and the
  // statement itself when it is one) by constants of the variable table.
  void MoveLiteralsToConstants(TNode& node, bool operand);

  std::unique_ptr<TExpressionList> program_;
  bool optimizing_ = true;
};

// Removes the IF, ELSEIF and ELSE branches whose condition is a literal from a
// rewritten program: a false branch goes, a true one stays as the last branch of
// its chain, and the IF, ELSE and ENDIF statements left without a role go too.
void RemoveConstantBranches(std::vector<std::unique_ptr<TExpression>>& statements);

}  // namespace zt
