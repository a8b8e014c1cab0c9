// Compiler messages: the error and warning codes with their identifiers and texts,
// the exception that carries an error, and the formats of the message window.
#pragma once

#include <cstdint>
#include <string>

#include "platform/error.h"

namespace zt {

constexpr int kErrorCount = 52;
constexpr int kWarningCount = 8;

// Error codes, 1 to 52.
enum TErrorCode : std::uint8_t {
  ERR_TOOMANYTOKENS = 1,
  ERR_NOSTARTLABEL,
  ERR_COLONLABEL,
  ERR_INVALIDLITERAL,
  ERR_INVALIDCHAR,
  ERR_EXPOUTOFRANGE,
  ERR_LITERALOUTOFRANGE,
  ERR_UNTERMINATEDSTRING,
  ERR_INVALIDPREDEFINED,
  ERR_EXPREXPECTED,
  ERR_CLOSEPAREXPECTED,
  ERR_FIRSTIMAGLITERAL,
  ERR_LITERALEXPECTED,
  ERR_OPERATOREXPECTED,
  ERR_PIPEEXPECTED,
  ERR_KEYWORDMISPLACED,
  ERR_VARIABLEEXPECTED,
  ERR_CANNOTASSIGN,
  ERR_COMMAEXPECTED,
  ERR_INVALIDLABEL,
  ERR_BOOLEXPREXPECTED,
  ERR_TYPEERROR,
  ERR_LABELEXPECTED,
  ERR_ALREADYDECLARED,
  ERR_ELSEIFMISPLACED,
  ERR_ELSEAFTERELSE,
  ERR_ELSEMISPLACED,
  ERR_ENDIFMISPLACED,
  ERR_ENDIFEXPECTED,
  ERR_INVALIDPARAMETER,
  ERR_SETTINGEXPECTED,
  ERR_INVALIDSETTING,
  ERR_ASSIGNEXPECTED,
  ERR_PARAMNESTED,
  ERR_IDENTIFIEREXPECTED,
  ERR_ENDPARAMMISPLACED,
  ERR_DUPLICATEPARAM,
  ERR_ENDPARAMEXPECTED,
  ERR_MINEXCEEDSMAX,
  ERR_INVALIDFUNCTION,
  ERR_FUNCNESTED,
  ERR_ENDFUNCMISPLACED,
  ERR_DUPLICATEFUNC,
  ERR_ENDFUNCEXPECTED,
  ERR_ENDWHILEMISPLACED,
  ERR_ENDWHILEEXPECTED,
  ERR_UNTILMISPLACED,
  ERR_UNTILEXPECTED,
  ERR_STRINGEXPECTED,
  ERR_READPREDEFINED,
  ERR_WRITEPREDEFINED,
  ERR_FUNCTIONEXPECTED,
};

// Warning codes, 1 to 8.
enum TWarningCode : std::uint8_t {
  WARN_RESULTIGNORED = 1,
  WARN_NOTDECLARED,
  WARN_UNUSED,
  WARN_FROMBOOL,
  WARN_TOBOOL,
  WARN_WRITEPARAM,
  WARN_COMPLEXCOMPARE,
  WARN_UNINITIALIZEDVARIABLE,
};

// Identifier ("ERR_..."), used as the help key, and text of an error code; empty for
// codes out of range.
const char* ErrorIdentifier(int code);
const char* ErrorText(int code);
const char* WarningIdentifier(int code);
const char* WarningText(int code);

// A compile error: code, line and column counted from 0, and an optional detail.
// The message is the code's text, followed by ": " and the detail when there is one.
class ECompileError : public EZentrope {
 public:
  ECompileError(int code, int line, int column, const std::string& detail = "");

  int Code() const { return code_; }
  int Line() const { return line_; }
  int Column() const { return column_; }

 private:
  int code_;
  int line_;
  int column_;
};

// Lines of the message window; line and column are counted from 1 here.
std::string FormatErrorMessage(const std::string& file, int line, int column,
                               const std::string& message);
std::string FormatWarningMessage(const std::string& file, int line, int column,
                                 const std::string& message);
std::string FormatCompileResult(bool success, const std::string& entry, const std::string& file);
// Caption of the message window, and the help key of its overview topic.
std::string MessageWindowCaption(const std::string& entry);
constexpr const char* kCompileMessagesOverviewTopic = "COMPMSG_OVERVIEW";

}  // namespace zt
