// The tokenizer and compile driver at the root of the compiler chain
// TLexical -> TParser -> TChecker -> ... -> TFormulaBase. It reads one entry's
// body from its TCode reader, groups characters into tokens and statements,
// handles section labels, and runs a compilation with its change notifications.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "formula/language/code.h"
#include "formula/language/compile_error.h"
#include "formula/language/compile_options.h"
#include "formula/language/expression.h"
#include "formula/language/param_list.h"
#include "formula/language/token.h"
#include "formula/language/variable_list.h"

namespace zt {

// All of a compiler object's operations run on the thread that owns it (the
// user-interface thread); compiled code, not this object, runs on the calculation
// threads.
class TLexical {
 public:
  using TNotify = std::function<void(TLexical& sender)>;
  // Warnings: code, message text, line and column from 0.
  using TMessageEvent = std::function<void(TLexical& sender, int code, const std::string& text,
                                           int line, int column)>;
  // The error of a failed compilation: code, line and column from 0, message with full stop.
  using TCompileErrorEvent = std::function<void(TLexical& sender, int code, int line, int column,
                                                const std::string& text)>;

  TLexical();
  virtual ~TLexical();
  TLexical(const TLexical&) = delete;
  TLexical& operator=(const TLexical&) = delete;

  // Compiles the reader's current entry. Compile errors, and the translation
  // failures of the optimizer and code generator (code 0, at the entry's header),
  // are absorbed and reported through OnCompileError; file errors pass on.
  void Compile();
  // Issues warning `code` when the options' GenerateWarnings is on.
  void Warning(int code, int line, int column);

  // Take effect at the next compilation (the tab size when the file is read anew).
  const TCompileOptions& CompileOptions() const { return options_; }
  void SetCompileOptions(const TCompileOptions& options);

  // Finds `fileName`'s file below its folder (depth first) and sets the entry from it.
  void LoadEntry(const std::string& file_name, const std::string& entry_name);
  void SetEntry(const std::string& file_name, const std::string& entry_name);
  void SetEntryAt(const std::string& file_name, int line, int column);
  void ClearEntry();

  void BeginUpdate();
  void EndUpdate();
  // Change levels: 1 values changed, 2 changed, 3 re-optimize, 4 recompile.
  void Change(int level);
  // Resets every parameter and function to its default as one change.
  void ResetToDefaults();
  // Carry parameter values of the previous compilation over to the next one.
  void SetKeepValues(bool keep) { keep_values_ = keep; }

  TCode& Code() { return *code_; }
  const TCode& Code() const { return *code_; }
  TExpressionList& Expressions() { return *expressions_; }
  TVariableList& Variables() { return *variables_; }
  TParamList& Params() { return *params_; }
  TFuncList& Funcs() { return *funcs_; }
  const TParamList& Params() const { return *params_; }
  const TFuncList& Funcs() const { return *funcs_; }

  bool IsCompiling() const { return compiling_; }
  bool CompileFailed() const { return compile_failed_; }
  bool WarningsIssued() const { return warnings_issued_; }
  bool IsEmpty() const { return empty_; }
  // Position of the last error, counted from 1.
  int ErrorLine() const { return error_line_; }
  int ErrorColumn() const { return error_column_; }

  TMessageEvent OnMessage;
  TCompileErrorEvent OnCompileError;
  TNotify OnValuesChanged;
  TNotify OnChanged;
  TNotify OnBeforeRebuild;
  TNotify OnRebuilt;

 protected:
  // Hooks answered by the entry kinds; empty or not found here.
  virtual std::string ImpliedFirstLabel(const std::string& label);
  virtual std::string DefaultLabel();
  virtual std::string ColonLabel();
  virtual std::string BailoutLabel();
  virtual bool ExtraSymbol(const std::string& upper_name, TSymbolCode& code);
  // Steps answered by the later stages of the chain.
  virtual void StartSection(const std::string& label, int line, int column);
  virtual void ParseStatement(const TToken* tokens, int count);
  virtual void BeginCompile();
  virtual void EndParse();
  virtual void EndCheck();
  virtual void Optimize();
  virtual void Clear();

  // Where the entry ended (its closing brace or the end of the file).
  int EndLine() const { return end_line_; }
  int EndColumn() const { return end_column_; }

 private:
  void RunCompilation();
  // A failed compilation: clears the entry and reports `message` with a full stop.
  void Fail(int code, int line, int column, const std::string& message);
  // Optimizes again for new parameter values, reporting a failure like Compile.
  void Reoptimize();
  void ReadStatement();
  void EndStatement(int line, int column);
  void ProcessLabel(const std::string& name, int line, int column);
  void AddToken(TToken token);
  // Marks the end of a token whose last character is under the reader; the
  // statement ends when it was the last character of its line.
  void AdvancePastToken();
  char NextNonBlankOnLine();
  void ReadName(int line, int column);
  void ReadNumber(TToken& token);
  TToken ReadNumberToken();
  void ReadOpenParenthesis(int line, int column);
  void ReadString(int line, int column);
  void SkipBlanks();
  bool AtLabelAhead();

  TCompileOptions options_;
  std::unique_ptr<TCode> code_;
  std::unique_ptr<TExpressionList> expressions_;
  std::unique_ptr<TVariableList> variables_;
  std::unique_ptr<TParamList> params_;
  std::unique_ptr<TFuncList> funcs_;

  TToken tokens_[kMaxTokens];
  int token_count_ = 0;
  bool statement_ended_ = false;
  bool label_pending_ = false;  // a named label ends the current statement
  int pending_label_line_ = 0;
  int pending_label_column_ = 0;
  std::string bailout_label_;
  bool bailout_pending_ = false;
  bool no_label_yet_ = true;
  int end_line_ = 0;
  int end_column_ = 0;

  bool warnings_issued_ = false;
  bool compiling_ = false;
  bool compile_failed_ = false;
  bool keep_values_ = false;
  bool clear_requested_ = false;
  bool empty_ = true;
  int error_line_ = 1;
  int error_column_ = 1;
  int update_count_ = 0;
  int pending_change_ = 0;
};

}  // namespace zt
