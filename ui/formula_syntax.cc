// Coloring classes of a line of a collection file, found by a small scanner
// that follows the tokenizer's rules for names, numbers, strings and comments.
#include "ui/formula_syntax.h"

#include "formula/language/token.h"
#include "platform/text.h"

namespace zt {
namespace {

class TLineScanner {
 public:
  explicit TLineScanner(std::string_view line) : line_(line) {}

  std::vector<TSyntaxSpan> Run() {
    while (at_ < line_.size()) {
      const char c = line_[at_];
      if (c == ';') {
        Add(at_, line_.size(), TSyntaxClass::kComment);
      } else if (c == '"') {
        const size_t close = line_.find('"', at_ + 1);
        Add(at_, close == std::string_view::npos ? line_.size() : close + 1, TSyntaxClass::kString);
      } else if (IsDigit(c) || (c == '.' && IsDigit(Peek(at_ + 1)))) {
        Add(at_, NumberEnd(at_), TSyntaxClass::kNumber);
      } else if ((c == '#' || c == '@') && IsLetter(Peek(at_ + 1))) {
        Add(at_, NameEnd(at_ + 1), c == '#' ? TSyntaxClass::kSymbol : TSyntaxClass::kParameter);
      } else if (IsLetter(c)) {
        Name();
      } else if (c == ':' && !seen_token_) {
        Add(at_, at_ + 1, TSyntaxClass::kLabel);
      } else {
        if (!IsBlank(c)) seen_token_ = true;
        ++at_;
        continue;
      }
      seen_token_ = true;
    }
    return spans_;
  }

 private:
  char Peek(size_t i) const { return i < line_.size() ? line_[i] : '\0'; }
  size_t SkipBlanks(size_t i) const {
    while (i < line_.size() && IsBlank(line_[i])) ++i;
    return i;
  }
  size_t NameEnd(size_t i) const {
    while (i < line_.size() && IsNameChar(line_[i])) ++i;
    return i;
  }

  // Digits and points, an exponent with its sign, a final i.
  size_t NumberEnd(size_t i) const {
    while (i < line_.size()) {
      const char c = line_[i];
      if (IsDigit(c) || c == '.') {
        ++i;
      } else if ((c == 'e' || c == 'E') &&
                 (IsDigit(Peek(i + 1)) ||
                  ((Peek(i + 1) == '+' || Peek(i + 1) == '-') && IsDigit(Peek(i + 2))))) {
        i += 2;
      } else {
        if (c == 'i' || c == 'I') ++i;
        break;
      }
    }
    return i;
  }

  // A header's name stands before `{`, perhaps with `(arguments)` between.
  bool BeforeBrace(size_t i) const {
    i = SkipBlanks(i);
    if (Peek(i) == '(') {
      const size_t close = line_.find(')', i);
      if (close == std::string_view::npos) return false;
      i = SkipBlanks(close + 1);
    }
    return Peek(i) == '{';
  }

  void Name() {
    const size_t end = NameEnd(at_);
    const std::string upper = UpperCase(line_.substr(at_, end - at_));
    const size_t next = SkipBlanks(end);
    if (Peek(end) == ':' && !seen_token_) {
      Add(at_, end + 1, TSyntaxClass::kLabel);
    } else if (BeforeBrace(end)) {
      Add(at_, end, TSyntaxClass::kEntryName);
    } else if (FindKeyword(upper)) {
      Add(at_, end, TSyntaxClass::kKeyword);
    } else if (Peek(next) == '(' && (FindFunction(upper) || upper == "FN1" || upper == "FN2" ||
                                     upper == "FN3" || upper == "FN4")) {
      Add(at_, end, TSyntaxClass::kFunction);
    } else if (FindPlainSymbol(upper)) {
      Add(at_, end, TSyntaxClass::kSymbol);
    } else if (upper == "P1" || upper == "P2" || upper == "P3") {
      Add(at_, end, TSyntaxClass::kParameter);
    } else {
      at_ = end;
    }
  }

  void Add(size_t start, size_t end, TSyntaxClass syntax_class) {
    spans_.push_back({static_cast<int>(start), static_cast<int>(end - start), syntax_class});
    at_ = end;
  }

  std::string_view line_;
  size_t at_ = 0;
  bool seen_token_ = false;  // a token came before on this line
  std::vector<TSyntaxSpan> spans_;
};

}  // namespace

std::vector<TSyntaxSpan> ClassifyLine(std::string_view line) { return TLineScanner(line).Run(); }

}  // namespace zt
