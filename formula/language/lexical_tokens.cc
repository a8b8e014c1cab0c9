// The token readers of the tokenizer: names, number literals, complex literals
// and strings. Each leaves the reader on the token's last character.
#include <charconv>

#include "formula/language/lexical.h"
#include "platform/text.h"

namespace zt {

char TLexical::NextNonBlankOnLine() {
  TCode& code = *code_;
  if (code.AtLastChar()) return 0;
  TCodePosition saved = code.SavePosition();
  char result = 0;
  for (;;) {
    code.NextChar();
    if (code.LineEnd || code.EndOfEntry) break;
    char c = code.CurrentChar();
    if (!IsBlank(c)) {
      result = c;
      break;
    }
  }
  code.RestorePosition(saved);
  return result;
}

void TLexical::ReadName(int line, int column) {
  TCode& code = *code_;
  char prefix = code.CurrentChar();
  if (prefix == '#' || prefix == '@') {
    int error = prefix == '#' ? ERR_INVALIDPREDEFINED : ERR_INVALIDPARAMETER;
    if (code.AtLastChar()) throw ECompileError(error, line, column);
    code.NextChar();
    if (code.LineEnd || code.EndOfEntry || !IsLetter(code.CurrentChar()))
      throw ECompileError(error, line, column);
  } else {
    prefix = 0;
  }
  std::string text(1, code.CurrentChar());
  while (!code.AtLastChar()) {
    TCodePosition saved = code.SavePosition();
    code.NextChar();
    if (code.LineEnd || code.EndOfEntry || !IsNameChar(code.CurrentChar())) {
      code.RestorePosition(saved);
      break;
    }
    if (text.size() < kMaxNameLength) text += code.CurrentChar();
  }
  std::string upper = UpperCase(text);

  // A colon directly after the name: a label at the start of a statement.
  bool colon = false;
  if (!code.AtLastChar()) {
    TCodePosition saved = code.SavePosition();
    code.NextChar();
    colon = !code.LineEnd && !code.EndOfEntry && code.CurrentChar() == ':';
    code.RestorePosition(saved);
  }
  if (colon && token_count_ == 0) {
    if (prefix) throw ECompileError(ERR_INVALIDLABEL, line, column);
    ProcessLabel(text, line, column);
    code.NextChar();  // onto the colon
    AdvancePastToken();
    return;
  }

  TToken token;
  token.Line = line;
  token.Column = column;
  bool before_parenthesis = NextNonBlankOnLine() == '(';
  if (prefix == '#') {
    TSymbolCode symbol;
    if (auto found = FindHashSymbol(upper)) {
      symbol = *found;
    } else if (!ExtraSymbol(upper, symbol)) {
      throw ECompileError(ERR_INVALIDPREDEFINED, line, column);
    }
    token.Kind = kTokenSymbol;
    token.Code = symbol;
  } else if (prefix == '@') {
    token.Kind = before_parenthesis ? kTokenUserFunction : kTokenParameter;
    token.Text = text;
  } else if (auto keyword = FindKeyword(upper)) {
    token.Kind = kTokenKeyword;
    token.Code = *keyword;
  } else if (before_parenthesis) {
    if (code.FractintDialect && upper == "COSXX") {
      // Fractint's cos with the conjugated result: read as conj(cos(...)), the
      // function tokens in a row taking the parenthesized argument.
      TToken conj = token;
      conj.Kind = kTokenFunction;
      conj.Code = kFunctionConj;
      AddToken(std::move(conj));
      token.Kind = kTokenFunction;
      token.Code = kFunctionCos;
    } else if (auto function = FindFunction(upper)) {
      token.Kind = kTokenFunction;
      token.Code = *function;
    } else if (upper == "FN1" || upper == "FN2" || upper == "FN3" || upper == "FN4") {
      token.Kind = kTokenUserFunction;
      token.Text = text;
    } else {
      throw ECompileError(ERR_INVALIDFUNCTION, line, column);
    }
  } else {
    TSymbolCode symbol;
    if (auto found = FindPlainSymbol(upper)) {
      token.Kind = kTokenSymbol;
      token.Code = *found;
    } else if (ExtraSymbol(upper, symbol)) {
      token.Kind = kTokenSymbol;
      token.Code = symbol;
    } else if (upper == "P1" || upper == "P2" || upper == "P3") {
      token.Kind = kTokenParameter;
      token.Text = text;
    } else {
      token.Kind = kTokenVariable;
      token.Text = text;
    }
  }
  AddToken(std::move(token));
  if (colon) {
    // Inside a statement the name ends it, and a bare colon label follows.
    code.NextChar();
    int colon_line = code.Line, colon_column = code.Column;
    statement_ended_ = true;
    AdvancePastToken();
    label_pending_ = true;
    pending_label_line_ = colon_line;
    pending_label_column_ = colon_column;
    return;
  }
  AdvancePastToken();
}

// Reads a number literal starting under the reader and leaves the reader on its
// last character.
void TLexical::ReadNumber(TToken& token) {
  TCode& code = *code_;
  std::string text;
  bool dot = false, exponent = false, imaginary = false;
  int mantissa_digits = 0, exponent_digits = 0;
  char previous = 0;
  for (;;) {
    char c = code.CurrentChar();
    bool take = true;
    if (IsDigit(c)) {
      if (imaginary) throw ECompileError(ERR_INVALIDLITERAL, token.Line, token.Column);
      ++(exponent ? exponent_digits : mantissa_digits);
    } else if (c == '.') {
      if (dot || exponent || imaginary)
        throw ECompileError(ERR_INVALIDLITERAL, token.Line, token.Column);
      dot = true;
    } else if (c == 'E' || c == 'e') {
      if (exponent || imaginary) throw ECompileError(ERR_INVALIDLITERAL, token.Line, token.Column);
      exponent = true;
    } else if (c == '+' || c == '-') {
      if (imaginary) throw ECompileError(ERR_INVALIDLITERAL, token.Line, token.Column);
      take = previous == 'E' || previous == 'e';
    } else if (c == 'I' || c == 'i') {
      if (imaginary) throw ECompileError(ERR_INVALIDLITERAL, token.Line, token.Column);
      imaginary = true;
    } else if (IsLetter(c)) {
      throw ECompileError(ERR_INVALIDLITERAL, token.Line, token.Column);
    } else {
      take = false;
    }
    if (!take) break;
    text += c;
    previous = c;
    if (code.AtLastChar()) break;
    TCodePosition saved = code.SavePosition();
    code.NextChar();
    if (code.LineEnd || code.EndOfEntry) {
      code.RestorePosition(saved);
      break;
    }
    char next = code.CurrentChar();
    if (!(IsNameChar(next) || next == '.' ||
          ((next == '+' || next == '-') && (previous == 'E' || previous == 'e' || imaginary)))) {
      code.RestorePosition(saved);
      break;
    }
  }
  // A lone '.' (or one before the exponent or suffix) is malformed, not out of range.
  if (mantissa_digits == 0 || (exponent && exponent_digits == 0))
    throw ECompileError(ERR_INVALIDLITERAL, token.Line, token.Column);

  token.Kind = kTokenLiteral;
  if (imaginary) text.pop_back();
  if (imaginary || dot || exponent) {
    long double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
      throw ECompileError(ERR_EXPOUTOFRANGE, token.Line, token.Column);
    token.Literal = imaginary ? TLiteral::MakeComplex(0, value) : TLiteral::MakeFloat(value);
  } else {
    std::int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range && code.FractintDialect) {
      // Fractint's numbers are all real: a large whole number is one too.
      long double real = 0;
      std::from_chars(text.data(), text.data() + text.size(), real);
      token.Literal = TLiteral::MakeFloat(real);
      return;
    }
    if (error != std::errc() || end != text.data() + text.size())
      throw ECompileError(ERR_LITERALOUTOFRANGE, token.Line, token.Column);
    token.Literal = TLiteral::MakeInt(value);
  }
}

TToken TLexical::ReadNumberToken() {
  TToken token;
  token.Line = code_->Line;
  token.Column = code_->Column;
  ReadNumber(token);
  return token;
}

// At '(': a complex literal "(re, im)" on one line, or the plain parenthesis,
// followed by the number as a signed literal when a sign and a number follow.
void TLexical::ReadOpenParenthesis(int line, int column) {
  TCode& code = *code_;
  auto fail = [&](int error) { throw ECompileError(error, line, column); };
  // Moves to the next non-blank character of the line; false when the line ends first.
  auto skip_blanks = [&]() -> bool {
    do {
      if (code.AtLastChar()) return false;
      code.NextChar();
      if (code.LineEnd || code.EndOfEntry) return false;
    } while (IsBlank(code.CurrentChar()));
    return true;
  };
  auto is_number_start = [&] {
    char c = code.CurrentChar();
    return IsDigit(c) || c == '.';
  };
  // An optional sign and the blanks after it; true for a minus.
  auto read_sign = [&](int& sign_line, int& sign_column) {
    sign_line = code.Line;
    sign_column = code.Column;
    char c = code.CurrentChar();
    if (c != '+' && c != '-') return false;
    if (!skip_blanks()) fail(ERR_EXPREXPECTED);
    return c == '-';
  };
  auto emit_open = [&] {
    TToken open;
    open.Line = line;
    open.Column = column;
    open.Kind = kTokenOperator;
    open.Code = kOperatorOpen;
    AddToken(std::move(open));
  };

  TCodePosition at_parenthesis = code.SavePosition();
  if (!skip_blanks()) fail(ERR_EXPREXPECTED);
  int sign_line, sign_column;
  bool negative = read_sign(sign_line, sign_column);
  if (!is_number_start()) {
    code.RestorePosition(at_parenthesis);
    emit_open();
    AdvancePastToken();
    return;
  }
  TToken first = ReadNumberToken();
  TCodePosition after_first = code.SavePosition();
  if (!skip_blanks()) fail(ERR_CLOSEPAREXPECTED);
  if (code.CurrentChar() != ',') {
    // Ordinary tokens: "(" and the number with its sign applied.
    code.RestorePosition(after_first);
    emit_open();
    // Negate only the part that holds the value: a -0 in the unused real part
    // of an imaginary literal would make it a different constant.
    if (negative) {
      TLiteral& v = first.Literal;
      if (v.Type == kTypeInt)
        v.Int = -v.Int;
      else if (v.Type == kTypeComplex)
        v.Im = -v.Im;
      else
        v.Re = -v.Re;
    }
    first.Line = sign_line;
    first.Column = sign_column;
    AddToken(std::move(first));
    AdvancePastToken();
    return;
  }
  if (first.Literal.Type == kTypeComplex) fail(ERR_FIRSTIMAGLITERAL);
  if (!skip_blanks()) fail(ERR_EXPREXPECTED);
  bool second_negative = read_sign(sign_line, sign_column);
  if (!is_number_start()) fail(ERR_LITERALEXPECTED);
  TToken second = ReadNumberToken();
  if (!skip_blanks() || code.CurrentChar() != ')') fail(ERR_CLOSEPAREXPECTED);
  auto part = [](const TLiteral& v) {
    return v.Type == kTypeInt       ? static_cast<long double>(v.Int)
           : v.Type == kTypeComplex ? v.Im
                                    : v.Re;
  };
  long double re = part(first.Literal), im = part(second.Literal);
  TToken token;
  token.Line = line;
  token.Column = column;
  token.Kind = kTokenLiteral;
  token.Literal = TLiteral::MakeComplex(negative ? -re : re, second_negative ? -im : im);
  AddToken(std::move(token));
  AdvancePastToken();
}

void TLexical::ReadString(int line, int column) {
  TCode& code = *code_;
  std::string text;
  for (;;) {
    if (code.AtLastChar()) throw ECompileError(ERR_UNTERMINATEDSTRING, line, column);
    code.NextChar();
    if (code.LineEnd || code.EndOfEntry) throw ECompileError(ERR_UNTERMINATEDSTRING, line, column);
    char c = code.CurrentChar();
    if (c == '"') break;
    if (text.size() < kMaxStringLength) text += c;
  }
  TToken token;
  token.Line = line;
  token.Column = column;
  token.Kind = kTokenString;
  token.Text = std::move(text);
  AddToken(std::move(token));
  AdvancePastToken();
}

}  // namespace zt
