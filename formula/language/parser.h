// The parser: turns each statement's tokens into an expression tree in the
// expression table, starts a section at every label, and reads the statements of
// settings sections (parameter and function blocks and the entry's own settings).
#pragma once

#include <memory>
#include <string>

#include "formula/language/lexical.h"

namespace zt {

enum TSectionKind : int {
  kSectionInvalid = 0,
  kSectionCode = 1,
  kSectionCondition = 2,  // its statement yields the section's boolean result
  kSectionSettings = 3,
  kSectionSettingsWithBlocks = 4,  // PARAM and FUNC blocks are allowed
};

// Used on the compiler object's thread, like TLexical.
class TParser : public TLexical {
 public:
  // Name of the current section (upper-cased).
  const std::string& SectionName() const { return section_; }

 protected:
  // Which labels an entry kind accepts, and as what; TParser accepts none.
  virtual TSectionKind ClassifyLabel(const std::string& upper_label);
  // Settings outside blocks: a number or bool, a string, or anything else (a name or
  // symbol). Each answers 0 (accepted), ERR_INVALIDSETTING (reported at the setting
  // name) or another error code (reported at the value). TParser accepts none.
  virtual int NumericSetting(const std::string& section, const std::string& upper_name,
                             const TLiteral& value);
  virtual int StringSetting(const std::string& section, const std::string& upper_name,
                            const std::string& value);
  virtual int OtherSetting(const std::string& section, const TToken& first, const TToken& value);

  void StartSection(const std::string& label, int line, int column) override;
  void ParseStatement(const TToken* tokens, int count) override;
  void BeginCompile() override;
  void EndParse() override;

 private:
  // Expressions over tokens[begin, end); tokens[end] is the closing token or the end marker.
  std::unique_ptr<TExpression> ParseExpression(int& pos, int end, int left_operator);
  std::unique_ptr<TExpression> ParseOperand(int& pos, int end);
  std::unique_ptr<TExpression> ParseRange(int begin, int end);
  [[noreturn]] void Fail(int error, int pos);

  // Settings statements (parser_settings.cc).
  void ParseSettingsStatement();
  void ParseBlockKeyword(int keyword);
  void ParseSetting();
  void ApplyParamSetting(const std::string& name, int name_pos, int value_pos,
                         const TLiteral* value, const std::string* text);
  void ApplyFuncSetting(const std::string& name, int name_pos, int value_pos, int function,
                        bool other, const std::string* text);
  void CheckHook(int result, int name_pos, int value_pos);
  void ExpectEnd(int pos);

  const TToken* tokens_ = nullptr;
  int count_ = 0;

  int param_index_ = -1;
  int func_index_ = -1;
  std::string section_;
  bool settings_section_ = false;
  bool blocks_allowed_ = false;
  bool param_is_new_ = false;
  bool in_param_ = false;
  bool in_func_ = false;
};

}  // namespace zt
