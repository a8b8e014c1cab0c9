// The tokenizer and compile driver.
#include "formula/language/lexical.h"

#include <algorithm>
#include <filesystem>

#include "platform/text.h"

namespace zt {
TLexical::TLexical()
    : code_(std::make_unique<TCode>()),
      expressions_(std::make_unique<TExpressionList>()),
      variables_(std::make_unique<TVariableList>()) {
  code_->TitleSection = "DEFAULT";
  params_ = std::make_unique<TParamList>();
  funcs_ = std::make_unique<TFuncList>();
  params_->OnChange = [this] {
    if (!compiling_) Change(3);
  };
  funcs_->OnChange = [this] {
    if (!compiling_) Change(3);
  };
}

TLexical::~TLexical() = default;

std::string TLexical::ImpliedFirstLabel(const std::string&) { return ""; }
std::string TLexical::DefaultLabel() { return ""; }
std::string TLexical::ColonLabel() { return ""; }
std::string TLexical::BailoutLabel() { return ""; }
bool TLexical::ExtraSymbol(const std::string&, TSymbolCode&) { return false; }
void TLexical::StartSection(const std::string&, int, int) {}
void TLexical::ParseStatement(const TToken*, int) {}
void TLexical::BeginCompile() {}
void TLexical::EndParse() {}
void TLexical::EndCheck() {}
void TLexical::Optimize() {}

void TLexical::Clear() {
  params_->Clear();
  funcs_->Clear();
  expressions_ = std::make_unique<TExpressionList>();
  variables_ = std::make_unique<TVariableList>();
}

void TLexical::SetCompileOptions(const TCompileOptions& options) {
  options_ = options;
  code_->SetTabSize(options.TabSize);
}

void TLexical::Warning(int code, int line, int column) {
  if (!options_.GenerateWarnings) return;
  warnings_issued_ = true;
  if (OnMessage) OnMessage(*this, code, WarningText(code), line, column);
}

// ---------------------------------------------------------------------------
// Compile driver

void TLexical::Compile() {
  if (clear_requested_) {
    clear_requested_ = false;
    Clear();
    empty_ = true;
    return;
  }
  compile_failed_ = false;
  warnings_issued_ = false;
  error_line_ = 1;
  error_column_ = 1;
  compiling_ = true;
  try {
    RunCompilation();
    empty_ = false;
  } catch (const ECompileError& error) {
    Fail(error.Code(), error.Line(), error.Column(), error.what());
  } catch (const ECodeError&) {
    compiling_ = false;
    keep_values_ = false;
    Clear();
    throw;
  } catch (const EZentrope& error) {
    // The optimizer and the code generator fail without a position: the entry's
    // header stands for it.
    Fail(0, Code().HeaderLine, Code().HeaderColumn, error.what());
  } catch (...) {
    compiling_ = false;
    keep_values_ = false;
    Clear();
    throw;
  }
  compiling_ = false;
  keep_values_ = false;
}

void TLexical::Fail(int code, int line, int column, const std::string& message) {
  compiling_ = false;
  keep_values_ = false;
  Clear();
  compile_failed_ = true;
  error_line_ = line + 1;
  error_column_ = column + 1;
  if (OnCompileError) OnCompileError(*this, code, line, column, message + ".");
}

void TLexical::Reoptimize() {
  try {
    Optimize();
  } catch (const EZentrope& error) {
    Fail(0, Code().HeaderLine, Code().HeaderColumn, error.what());
  }
}

void TLexical::RunCompilation() {
  // The previous lists stay alive until the end, so that values can be carried over.
  std::unique_ptr<TParamList> old_params = std::move(params_);
  std::unique_ptr<TFuncList> old_funcs = std::move(funcs_);
  params_ = std::make_unique<TParamList>();
  funcs_ = std::make_unique<TFuncList>();
  params_->OnChange = [this] {
    if (!compiling_) Change(3);
  };
  funcs_->OnChange = [this] {
    if (!compiling_) Change(3);
  };
  expressions_ = std::make_unique<TExpressionList>();
  variables_ = std::make_unique<TVariableList>();
  no_label_yet_ = true;
  bailout_pending_ = false;
  BeginCompile();
  if (code_->Found) code_->ResetToBody();
  while (!code_->EndOfEntry) ReadStatement();
  end_line_ = code_->Line;
  end_column_ = code_->Column;
  EndCheck();
  EndParse();
  if (keep_values_) {
    for (int i = 0; i < params_->Count(); ++i) {
      TParam& param = params_->Items(i);
      int old = old_params->IndexOfName(param.Name());
      if (old >= 0) param.SetValue(old_params->Items(old).GetValue());
    }
    for (int i = 0; i < funcs_->Count(); ++i) {
      TFunc& func = funcs_->Items(i);
      int old = old_funcs->IndexOfName(func.Name());
      if (old >= 0) func.SetFuncCode(old_funcs->Items(old).FuncCode());
    }
  }
  Optimize();
}

// ---------------------------------------------------------------------------
// Entries and changes

void TLexical::SetEntry(const std::string& file_name, const std::string& entry_name) {
  code_->LoadFile(file_name);
  code_->SelectEntry(entry_name);
  Change(4);
}

void TLexical::SetEntryAt(const std::string& file_name, int line, int column) {
  code_->LoadFile(file_name);
  code_->SetPosition(line, column);
  Change(4);
}

void TLexical::ClearEntry() {
  clear_requested_ = true;
  Change(4);
}

namespace {

// Depth-first search for files named `name` below `folder`; `attempt` returns true
// when the file holds the entry. Failures inside the search are passed over.
bool SearchFolder(const std::filesystem::path& folder, const std::string& name,
                  const std::function<bool(const std::filesystem::path&)>& attempt) {
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec), end;
  if (ec) return false;
  for (; it != end; it.increment(ec)) {
    if (ec) return false;
    const auto& item = it->path();
    try {
      // Links to folders are not followed, so that a link loop cannot trap the search.
      if (it->is_directory(ec) && !it->is_symlink(ec)) {
        if (SearchFolder(item, name, attempt)) return true;
      } else if (SameText(item.filename().string(), name)) {
        if (attempt(item)) return true;
      }
    } catch (const std::exception&) {
    }
  }
  return false;
}

}  // namespace

void TLexical::LoadEntry(const std::string& file_name, const std::string& entry_name) {
  std::filesystem::path path(file_name);
  std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  std::string name = path.filename().string();
  bool found = SearchFolder(folder, name, [&](const std::filesystem::path& file) {
    try {
      SetEntry(file.string(), entry_name);
      return true;
    } catch (const ECodeError&) {
      return false;
    }
  });
  if (!found) throw ECodeError("Could not find the entry '" + entry_name + "' in '" + name + "'");
}

void TLexical::BeginUpdate() { ++update_count_; }

void TLexical::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ == 0 && pending_change_ > 0) {
    int level = pending_change_;
    pending_change_ = 0;
    Change(level);
  }
}

void TLexical::Change(int level) {
  if (update_count_ > 0) {
    pending_change_ = std::max(pending_change_, level);
    return;
  }
  auto fire = [this](const TNotify& event) {
    if (event) event(*this);
  };
  switch (level) {
    case 1: fire(OnValuesChanged); break;
    case 2: fire(OnChanged); break;
    case 3:
    case 4:
      fire(OnBeforeRebuild);
      if (level == 3)
        Reoptimize();
      else
        Compile();
      fire(OnChanged);
      fire(OnRebuilt);
      break;
  }
}

void TLexical::ResetToDefaults() {
  BeginUpdate();
  for (int i = 0; i < params_->Count(); ++i) params_->Items(i).ResetToDefault();
  for (int i = 0; i < funcs_->Count(); ++i) funcs_->Items(i).ResetToDefault();
  EndUpdate();
}

// ---------------------------------------------------------------------------
// Statements

void TLexical::ReadStatement() {
  TCode& code = *code_;
  token_count_ = 0;
  statement_ended_ = false;
  label_pending_ = false;
  int start_line = code.Line, start_column = code.Column;
  bool started = false;
  while (!statement_ended_ && !code.EndOfEntry) {
    char c = code.CurrentChar();
    int line = code.Line, column = code.Column;
    if (!started && !IsBlank(c)) {
      start_line = line;
      start_column = column;
      started = true;
    }
    if (IsLetter(c) || c == '#' || c == '@') {
      ReadName(line, column);
      continue;
    }
    if (IsDigit(c) || c == '.') {
      AddToken(ReadNumberToken());
      AdvancePastToken();
      continue;
    }
    auto op = [&](TTokenOperator code_one, char second = 0,
                  TTokenOperator code_two = kOperatorPlus) {
      TToken token;
      token.Line = line;
      token.Column = column;
      token.Kind = kTokenOperator;
      token.Code = code_one;
      if (second && !code.AtLastChar()) {
        TCodePosition saved = code.SavePosition();
        code.NextChar();
        if (!code.LineEnd && !code.EndOfEntry && code.CurrentChar() == second)
          token.Code = code_two;
        else
          code.RestorePosition(saved);
      }
      AddToken(std::move(token));
      AdvancePastToken();
    };
    switch (c) {
      case '=': op(kOperatorAssign, '=', kOperatorEqual); break;
      case '<': op(kOperatorLess, '=', kOperatorLessEqual); break;
      case '>': op(kOperatorGreater, '=', kOperatorGreaterEqual); break;
      case '!': op(kOperatorNot, '=', kOperatorNotEqual); break;
      case '&': op(kOperatorAmpersand, '&', kOperatorAnd); break;
      case '|': op(kOperatorBar, '|', kOperatorOr); break;
      case '+': op(kOperatorPlus); break;
      case '-': op(kOperatorMinus); break;
      case '*': op(kOperatorTimes); break;
      case '/': op(kOperatorDivide); break;
      case '^': op(kOperatorPower); break;
      case ')': op(kOperatorClose); break;
      case '%': op(kOperatorPercent); break;
      case '~': op(kOperatorTilde); break;
      case '(': ReadOpenParenthesis(line, column); break;
      case '"': ReadString(line, column); break;
      case ':':
        label_pending_ = true;
        pending_label_line_ = line;
        pending_label_column_ = column;
        statement_ended_ = true;
        AdvancePastToken();
        break;
      case ',':
        statement_ended_ = true;
        AdvancePastToken();
        break;
      case ';':
        code.SkipRestOfLine();
        statement_ended_ = true;
        break;
      case ' ':
      case '\t': AdvancePastToken(); break;
      default: throw ECompileError(ERR_INVALIDCHAR, line, column, std::string("'") + c + "'");
    }
  }
  EndStatement(start_line, start_column);
  if (label_pending_) ProcessLabel(":", pending_label_line_, pending_label_column_);
}

void TLexical::AdvancePastToken() {
  TCode& code = *code_;
  // A pending line end is no character of a line: it never ends a statement itself.
  if (!code.LineEnd && code.AtLastChar()) statement_ended_ = true;
  code.NextChar();
  if (code.EndOfEntry) statement_ended_ = true;
}

void TLexical::AddToken(TToken token) {
  if (token_count_ >= kMaxTokens) throw ECompileError(ERR_TOOMANYTOKENS, token.Line, token.Column);
  tokens_[token_count_++] = std::move(token);
}

void TLexical::EndStatement(int line, int column) {
  if (no_label_yet_ && token_count_ > 0) ProcessLabel("", line, column);
  if (bailout_pending_) {
    TCodePosition saved = code_->SavePosition();
    SkipBlanks();
    if (code_->EndOfEntry || AtLabelAhead()) {
      bailout_pending_ = false;
      code_->RestorePosition(saved);
      StartSection(bailout_label_, line, column);
    } else {
      code_->RestorePosition(saved);
    }
  }
  if (token_count_ == 0) return;
  const TToken& last = tokens_[token_count_ - 1];
  TToken end;
  end.Kind = kTokenEnd;
  end.Line = last.Line;
  end.Column = last.Line >= 0 && last.Line < code_->Lines.Count()
                   ? static_cast<int>(code_->Lines[last.Line].size())
                   : 0;
  AddToken(std::move(end));
  ParseStatement(tokens_, token_count_);
}

void TLexical::SkipBlanks() {
  TCode& code = *code_;
  while (!code.EndOfEntry) {
    char c = code.CurrentChar();
    if (c == ';' && !code.LineEnd)
      code.SkipRestOfLine();
    else if (IsBlank(c))
      code.NextChar();
    else
      break;
  }
}

bool TLexical::AtLabelAhead() {
  TCode& code = *code_;
  if (code.LineEnd || !IsLetter(code.CurrentChar())) return false;
  while (!code.AtLastChar()) {
    code.NextChar();
    if (code.LineEnd || code.EndOfEntry) return false;
    char c = code.CurrentChar();
    if (c == ':') return true;
    if (!IsNameChar(c)) return false;
  }
  return false;
}

void TLexical::ProcessLabel(const std::string& name, int line, int column) {
  bailout_pending_ = false;
  std::string label;
  if (name == ":") {
    label = ColonLabel();
    if (label.empty()) throw ECompileError(ERR_COLONLABEL, line, column);
    bailout_label_ = BailoutLabel();
    bailout_pending_ = !bailout_label_.empty();
  } else if (name.empty()) {
    label = DefaultLabel();
    if (label.empty()) throw ECompileError(ERR_NOSTARTLABEL, line, column);
  } else {
    label = UpperCase(name);
  }
  if (no_label_yet_) {
    no_label_yet_ = false;
    std::string implied = ImpliedFirstLabel(label);
    if (!implied.empty()) StartSection(implied, line, column);
  }
  StartSection(label, line, column);
}

}  // namespace zt
