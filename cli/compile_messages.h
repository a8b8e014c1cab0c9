// The compiler's message window on the command line: warnings in line and column
// order, then the error, then the result line of one compilation.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "formula/entries/formula_base.h"

namespace zt {

// Subscribes to one compiler object's messages; used on the main thread.
class TMessageCollector {
 public:
  TMessageCollector(TFormulaBase& compiler, const std::string& file);

  void Reset();
  void Print(std::ostream& out, bool success, const std::string& entry);

 private:
  struct TMessageLine {
    int Line;
    int Column;
    std::string Text;
  };
  std::string file_;
  std::vector<TMessageLine> warnings_;
  std::string error_;
};

}  // namespace zt
