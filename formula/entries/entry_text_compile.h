// Compiling an entry from a collection file's text as an editor holds it
// (saved or not), and the way back from the compiler's columns, which count a
// tab as TabSize blanks, to the characters of the line.
#pragma once

#include <string>
#include <vector>

#include "formula/entries/compile_messages.h"
#include "formula/entries/entry_kind.h"
#include "formula/language/compile_options.h"

namespace zt {

struct TEntryTextCompilation {
  bool Found = false;  // the text holds an entry
  std::string EntryName;
  bool Success = false;
  std::vector<TCompileMessage> Messages;
  std::string Result;  // "Successfully compiled '...' in '...'." or "Unable to compile ..."
};

// Compiles, as an entry object of `kind`, the entry of `text` in which line
// `line` (from 0) lies: the last entry whose header starts on or before it, else
// the first one. `file` names the file in the messages; a name ending in ".frm"
// reads Fractint's headers. Thread: any, one compilation per call.
TEntryTextCompilation CompileEntryInText(TEntryKind kind, const std::string& text, int line,
                                         const std::string& file, const TCompileOptions& options);

// The index of the character of `line` at which the compiler's column
// `column` (from 0, each tab counted as `tab_size` columns) lies; the line's
// length for columns beyond it.
int CharacterColumn(const std::string& line, int column, int tab_size);

}  // namespace zt
