// The compiler's message window as data: the messages of one compilation with
// their positions and help keys, warnings in line and column order, then the
// error, and the result line. The command line prints them; the formula
// editor lists them.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "formula/entries/formula_base.h"

namespace zt {

// One line of the message window.
struct TCompileMessage {
  bool Error = false;
  int Code = 0;      // error or warning code; 0 for a failure to translate
  int Line = 1;      // counted from 1
  int Column = 1;    // counted from 1
  std::string Text;  // "Error: file (line:column): message" or the warning's line

  // The message's identifier (ERR_..., WARN_...), which is its help key; the
  // overview topic for a message without one.
  std::string HelpKey() const;
};

// Subscribes to one compiler object's messages for its own lifetime; used on
// the thread that owns the compiler, which must outlive the collector.
class TMessageCollector {
 public:
  TMessageCollector(TFormulaBase& compiler, std::string file);
  ~TMessageCollector();
  TMessageCollector(const TMessageCollector&) = delete;
  TMessageCollector& operator=(const TMessageCollector&) = delete;

  void Reset();
  // Warnings in line and column order, then the error.
  std::vector<TCompileMessage> Messages() const;
  // The messages' texts and the result line, one a line.
  void Print(std::ostream& out, bool success, const std::string& entry) const;

 private:
  TFormulaBase& compiler_;
  std::string file_;
  std::vector<TCompileMessage> warnings_;
  std::vector<TCompileMessage> error_;  // none or one
};

}  // namespace zt
