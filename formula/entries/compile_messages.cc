// The compiler's message window as data.
#include "formula/entries/compile_messages.h"

#include <algorithm>
#include <ostream>

namespace zt {

std::string TCompileMessage::HelpKey() const {
  const char* identifier = Error ? ErrorIdentifier(Code) : WarningIdentifier(Code);
  return *identifier != '\0' ? identifier : kCompileMessagesOverviewTopic;
}

TMessageCollector::TMessageCollector(TFormulaBase& compiler, std::string file)
    : compiler_(compiler), file_(std::move(file)) {
  compiler.OnMessage = [this](TLexical&, int code, const std::string& text, int line, int column) {
    warnings_.push_back({false, code, line + 1, column + 1,
                         FormatWarningMessage(file_, line + 1, column + 1, text)});
  };
  compiler.OnCompileError = [this](TLexical&, int code, int line, int column,
                                   const std::string& text) {
    error_.assign(1, {true, code, line + 1, column + 1,
                      FormatErrorMessage(file_, line + 1, column + 1, text)});
  };
}

TMessageCollector::~TMessageCollector() {
  compiler_.OnMessage = nullptr;
  compiler_.OnCompileError = nullptr;
}

void TMessageCollector::Reset() {
  warnings_.clear();
  error_.clear();
}

std::vector<TCompileMessage> TMessageCollector::Messages() const {
  std::vector<TCompileMessage> messages = warnings_;
  std::stable_sort(messages.begin(), messages.end(), [](const auto& a, const auto& b) {
    return a.Line != b.Line ? a.Line < b.Line : a.Column < b.Column;
  });
  messages.insert(messages.end(), error_.begin(), error_.end());
  return messages;
}

void TMessageCollector::Print(std::ostream& out, bool success, const std::string& entry) const {
  for (const TCompileMessage& message : Messages()) out << message.Text << '\n';
  out << FormatCompileResult(success, entry, file_) << '\n';
}

}  // namespace zt
