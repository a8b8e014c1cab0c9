// Compiling the entry at a line of a collection file's text.
#include "formula/entries/entry_text_compile.h"

#include <memory>

#include "platform/text.h"

namespace zt {

TEntryTextCompilation CompileEntryInText(TEntryKind kind, const std::string& text, int line,
                                         const std::string& file, const TCompileOptions& options) {
  std::unique_ptr<TFormulaBase> compiler = MakeEntryObject(kind);
  compiler->SetCompileOptions(options);
  TCode& code = compiler->Code();
  code.FileName = file;
  code.FractintDialect = EndsWithText(file, ".frm");
  code.Lines.TabSize = options.TabSize;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
    code.Lines.Add(text.substr(start, stop - start));
    start = end + 1;
  }

  TEntryTextCompilation result;
  int header_line = -1, header_column = 0;
  for (code.FindFirstEntry(); code.Found; code.FindNextEntry()) {
    if (header_line >= 0 && code.HeaderLine > line) break;
    header_line = code.HeaderLine;
    header_column = code.HeaderColumn;
    result.EntryName = code.EntryName;
  }
  if (header_line < 0) return result;
  result.Found = true;
  TMessageCollector messages(*compiler, file);
  // By position, so that of two entries with one name the one at the line compiles.
  code.SetPosition(header_line, header_column);
  compiler->Change(4);
  result.Success = !compiler->CompileFailed();
  result.Messages = messages.Messages();
  result.Result = FormatCompileResult(result.Success, result.EntryName, file);
  return result;
}

int CharacterColumn(const std::string& line, int column, int tab_size) {
  int at = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    at += line[i] == '\t' ? tab_size : 1;
    if (at > column) return static_cast<int>(i);
  }
  return static_cast<int>(line.size());
}

}  // namespace zt
