// The classes that the formula editor colors in one line of a collection file:
// keywords, built-in functions, section labels, @parameters, #symbols, entry
// names in headers, comments, strings and numbers. Free of Qt so tests can
// read the classes of a line directly.
#pragma once

#include <string_view>
#include <vector>

namespace zt {

enum class TSyntaxClass {
  kKeyword,
  kFunction,
  kLabel,
  kParameter,
  kSymbol,
  kEntryName,
  kComment,
  kString,
  kNumber
};

struct TSyntaxSpan {
  int Start;   // character index in the line
  int Length;  // characters
  TSyntaxClass Class;
};

// The colored spans of `line`, in order; what lies between them is plain text.
// Each line stands alone: comments and strings end with their line.
std::vector<TSyntaxSpan> ClassifyLine(std::string_view line);

}  // namespace zt
