// The type checker: resolves names, gives every node its type, inserts explicit
// conversions, checks IF/WHILE/REPEAT constructs, tracks definite initialization,
// and raises the type errors and warnings of the language.
#pragma once

#include <memory>
#include <string>

#include "formula/language/construct_list.h"
#include "formula/language/parser.h"

namespace zt {

// The type of a predefined symbol.
TValueType SymbolType(int symbol);

// Used on the compiler object's thread, like TLexical.
class TChecker : public TParser {
 protected:
  // Answered by the entry kinds; TChecker allows every function and no symbol access.
  virtual bool FunctionAllowed(const std::string& section, int function);
  virtual bool SymbolReadable(const std::string& section, int symbol);
  virtual bool SymbolWritable(const std::string& section, int symbol);

  void EndCheck() override;

 private:
  using TSlot = std::unique_ptr<TExpression>;

  void Check(TSlot& node, TValueType wanted);
  void CheckStatement(TSlot& tree);
  void CheckKeywordStatement(TExpression& node);
  void CheckCondition(TSlot& condition);
  void CheckVariable(TSlot& node);
  void CheckFunction(TSlot& node, TValueType wanted);
  void CheckBinary(TSlot& node, TValueType wanted);
  void CheckAssignment(TSlot& node);
  void ConvertTo(TSlot& x, TValueType type);

  void ToComplex(TSlot& x);
  void ToFloat(TSlot& x);
  void ToReal(TSlot& x);
  void ToInt(TSlot& x);
  void ToBool(TSlot& x);
  // A bool used as a number: warning, or an error in strict mode.
  void FromBool(const TExpression& x);
  void Wrap(TSlot& x, int function, TValueType type);

  // "name = 0" (or the parameter's value) at the front of the program.
  void InsertInitialization(TVariable& variable, const TExpression& at,
                            std::unique_ptr<TExpression> value = nullptr);
  [[noreturn]] void Fail(int error, const TExpression& at);
  // Fractint's formulas may assign to its predefined variables ("pixel = ...",
  // "e = p1"). In its formula files a symbol that the entry writes where the
  // language does not allow it becomes a complex variable of the same name for
  // every use in the entry, set to the symbol's value before the first statement.
  void ShadowWrittenSymbols();

  TConstructList constructs_;
  std::string section_;
  bool condition_section_ = false;
  bool strict_ = false;
};

}  // namespace zt
