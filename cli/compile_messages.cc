// The compiler's message window on the command line.
#include "cli/compile_messages.h"

#include <algorithm>
#include <ostream>

namespace zt {

TMessageCollector::TMessageCollector(TFormulaBase& compiler, const std::string& file)
    : file_(file) {
  compiler.OnMessage = [this](TLexical&, int, const std::string& text, int line, int column) {
    warnings_.push_back({line, column, FormatWarningMessage(file_, line + 1, column + 1, text)});
  };
  compiler.OnCompileError = [this](TLexical&, int, int line, int column, const std::string& text) {
    error_ = FormatErrorMessage(file_, line + 1, column + 1, text);
  };
}

void TMessageCollector::Reset() {
  warnings_.clear();
  error_.clear();
}

void TMessageCollector::Print(std::ostream& out, bool success, const std::string& entry) {
  std::stable_sort(warnings_.begin(), warnings_.end(), [](const auto& a, const auto& b) {
    return a.Line != b.Line ? a.Line < b.Line : a.Column < b.Column;
  });
  for (const auto& w : warnings_) out << w.Text << '\n';
  if (!error_.empty()) out << error_ << '\n';
  out << FormatCompileResult(success, entry, file_) << '\n';
}

}  // namespace zt
