// Texts of the compiler messages.
#include "formula/language/compile_error.h"

namespace zt {
namespace {

struct TMessage {
  const char* Identifier;
  const char* Text;
};

constexpr TMessage kErrors[kErrorCount] = {
    {"ERR_TOOMANYTOKENS", "Too many tokens in statement"},
    {"ERR_NOSTARTLABEL", "Initial label expected"},
    {"ERR_COLONLABEL", "Label only consisting of a colon is not allowed"},
    {"ERR_INVALIDLITERAL", "Syntax error in literal number"},
    {"ERR_INVALIDCHAR", "Invalid character encountered"},
    {"ERR_EXPOUTOFRANGE", "Exponent in floating-point literal out of range"},
    {"ERR_LITERALOUTOFRANGE", "Literal out of range"},
    {"ERR_UNTERMINATEDSTRING", "Unterminated string (\" expected)"},
    {"ERR_INVALIDPREDEFINED", "Invalid predefined symbol"},
    {"ERR_EXPREXPECTED", "Expression expected"},
    {"ERR_CLOSEPAREXPECTED", "')' expected"},
    {"ERR_FIRSTIMAGLITERAL", "Invalid complex literal format"},
    {"ERR_LITERALEXPECTED", "Literal expected"},
    {"ERR_OPERATOREXPECTED", "Operator expected"},
    {"ERR_PIPEEXPECTED", "'|' expected"},
    {"ERR_KEYWORDMISPLACED", "Keyword not allowed here"},
    {"ERR_VARIABLEEXPECTED", "Variable expected"},
    {"ERR_CANNOTASSIGN", "Left side cannot be assigned to"},
    {"ERR_COMMAEXPECTED", "',' or end of line expected"},
    {"ERR_INVALIDLABEL", "Invalid label encountered"},
    {"ERR_BOOLEXPREXPECTED", "Boolean expression expected"},
    {"ERR_TYPEERROR", "Incompatible types"},
    {"ERR_LABELEXPECTED", "Label or '}' expected"},
    {"ERR_ALREADYDECLARED", "Duplicate variable declaration"},
    {"ERR_ELSEIFMISPLACED", "ELSEIF before IF is not allowed"},
    {"ERR_ELSEAFTERELSE", "ELSE or ELSEIF after ELSE is not allowed"},
    {"ERR_ELSEMISPLACED", "ELSE before IF is not allowed"},
    {"ERR_ENDIFMISPLACED", "ENDIF before IF is not allowed"},
    {"ERR_ENDIFEXPECTED", "ENDIF expected after IF"},
    {"ERR_INVALIDPARAMETER", "Invalid parameter"},
    {"ERR_SETTINGEXPECTED", "Setting identifier expected"},
    {"ERR_INVALIDSETTING", "Invalid setting"},
    {"ERR_ASSIGNEXPECTED", "'=' expected"},
    {"ERR_PARAMNESTED", "Nesting of PARAM is not allowed"},
    {"ERR_IDENTIFIEREXPECTED", "Identifier expected"},
    {"ERR_ENDPARAMMISPLACED", "ENDPARAM before PARAM is not allowed"},
    {"ERR_DUPLICATEPARAM", "Duplicate parameter definition"},
    {"ERR_ENDPARAMEXPECTED", "ENDPARAM expected after PARAM"},
    {"ERR_MINEXCEEDSMAX", "MIN value is larger than MAX value"},
    {"ERR_INVALIDFUNCTION", "Invalid function"},
    {"ERR_FUNCNESTED", "Nesting of FUNC is not allowed"},
    {"ERR_ENDFUNCMISPLACED", "ENDFUNC before FUNC is not allowed"},
    {"ERR_DUPLICATEFUNC", "Duplicate function definition"},
    {"ERR_ENDFUNCEXPECTED", "ENDFUNC expected after FUNC"},
    {"ERR_ENDWHILEMISPLACED", "ENDWHILE before WHILE is not allowed"},
    {"ERR_ENDWHILEEXPECTED", "ENDWHILE expected after WHILE"},
    {"ERR_UNTILMISPLACED", "UNTIL before REPEAT is not allowed"},
    {"ERR_UNTILEXPECTED", "UNTIL expected after REPEAT"},
    {"ERR_STRINGEXPECTED", "String value expected"},
    {"ERR_READPREDEFINED", "Predefined symbol is not readable"},
    {"ERR_WRITEPREDEFINED", "Predefined symbol is not writeable"},
    {"ERR_FUNCTIONEXPECTED", "Function expected"},
};

constexpr TMessage kWarnings[kWarningCount] = {
    {"WARN_RESULTIGNORED", "Result of expression is ignored"},
    {"WARN_NOTDECLARED", "Variable has not been declared"},
    {"WARN_UNUSED", "Variable is written to, but never read back"},
    {"WARN_FROMBOOL", "Implicit conversion from boolean expression"},
    {"WARN_TOBOOL", "Implicit conversion to boolean expression"},
    {"WARN_WRITEPARAM", "Parameters should not be written to"},
    {"WARN_COMPLEXCOMPARE", "Imaginary part of complex numbers is ignored"},
    {"WARN_UNINITIALIZEDVARIABLE", "Variable might not have been initialized"},
};

const TMessage* Find(const TMessage* table, int count, int code) {
  return code >= 1 && code <= count ? &table[code - 1] : nullptr;
}

std::string Position(const std::string& file, int line, int column) {
  return file + " (" + std::to_string(line) + ":" + std::to_string(column) + "): ";
}

}  // namespace

const char* ErrorIdentifier(int code) {
  const TMessage* m = Find(kErrors, kErrorCount, code);
  return m ? m->Identifier : "";
}

const char* ErrorText(int code) {
  const TMessage* m = Find(kErrors, kErrorCount, code);
  return m ? m->Text : "";
}

const char* WarningIdentifier(int code) {
  const TMessage* m = Find(kWarnings, kWarningCount, code);
  return m ? m->Identifier : "";
}

const char* WarningText(int code) {
  const TMessage* m = Find(kWarnings, kWarningCount, code);
  return m ? m->Text : "";
}

ECompileError::ECompileError(int code, int line, int column, const std::string& detail)
    : EZentrope(detail.empty() ? std::string(ErrorText(code))
                               : std::string(ErrorText(code)) + ": " + detail),
      code_(code),
      line_(line),
      column_(column) {}

std::string FormatErrorMessage(const std::string& file, int line, int column,
                               const std::string& message) {
  return "Error: " + Position(file, line, column) + message;
}

std::string FormatWarningMessage(const std::string& file, int line, int column,
                                 const std::string& message) {
  return "Warning: " + Position(file, line, column) + message + ".";
}

std::string FormatCompileResult(bool success, const std::string& entry, const std::string& file) {
  return (success ? "Successfully compiled '" : "Unable to compile '") + entry + "' in '" + file +
         "'.";
}

std::string MessageWindowCaption(const std::string& entry) { return "Messages - " + entry; }

}  // namespace zt
