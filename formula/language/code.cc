// Entry collection reader: header search, the body character walk, title
// reading and the edits of single entries.
#include "formula/language/code.h"

#include <algorithm>
#include <string_view>

#include "platform/text.h"

namespace zt {

namespace {

// Blank in the sense of trimming: blanks, tabs and other control characters.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool IsBlankLine(const std::string& line) { return std::all_of(line.begin(), line.end(), IsBlank); }

// True when only blanks follow `from`. Stops at the first other character, so
// a walk over one line costs O(line length) in total.
bool OnlyBlanksFrom(const std::string& line, size_t from) {
  for (size_t i = from; i < line.size(); ++i) {
    if (!IsBlank(line[i])) return false;
  }
  return true;
}

// First occurrence of `what` (upper case) in line[from, to), ignoring case.
size_t FindNoCase(const std::string& line, std::string_view what, size_t from, size_t to) {
  if (what.empty() || to < what.size()) return std::string::npos;
  for (size_t i = from; i + what.size() <= to; ++i) {
    if (SameText(std::string_view(line).substr(i, what.size()), what)) return i;
  }
  return std::string::npos;
}

size_t SkipBlanks(const std::string& line, size_t from, size_t to) {
  while (from < to && IsBlank(line[from])) ++from;
  return from;
}

// A section label (`name:`) starts at `at`.
bool IsLabelAt(const std::string& line, size_t at, size_t to) {
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (at >= to || !letter(line[at])) return false;
  size_t i = at + 1;
  while (i < to && (letter(line[i]) || (line[i] >= '0' && line[i] <= '9'))) ++i;
  return i < to && line[i] == ':';
}

// The end of a Fractint header's text without its trailing "=" and bracketed
// settings lists; `end` itself when nothing else would be left or a bracket is
// not matched.
size_t WithoutFractintSettings(const std::string& line, size_t begin, size_t end) {
  size_t stripped = end;
  for (;;) {
    while (stripped > begin && IsBlank(line[stripped - 1])) --stripped;
    if (stripped == begin) return end;
    if (line[stripped - 1] == '=') {
      --stripped;
      continue;
    }
    if (line[stripped - 1] != ']') return stripped;
    int depth = 0;
    size_t p = stripped;
    while (p > begin) {
      --p;
      if (line[p] == ']') ++depth;
      if (line[p] == '[' && --depth == 0) break;
    }
    if (depth != 0) return end;
    stripped = p;
  }
}

}  // namespace

// What ScanBody learns about the current entry. Columns are columns of Lines.
struct TCode::TBodyLayout {
  bool Closed = false;  // a `}` ends the entry at EndLine/EndColumn
  int EndLine = 0;
  int EndColumn = 0;
  int SectionLine = -1;          // line of the first TitleSection label
  bool StatementsFirst = false;  // the body starts with a statement, not a label
  bool TitleFound = false;
  bool TitleClosed = false;
  std::string Title;
  int ValueLine = 0;  // first character after the opening quote
  int ValueColumn = 0;
  int CloseLine = 0;  // the closing quote, or the end of the text read when unclosed
  int CloseColumn = 0;
};

TCode::TCode() = default;

void TCode::SetTabSize(int size) { tab_size_ = std::clamp(size, 1, 16); }

void TCode::LoadFile(const std::string& file) {
  const int tab_size = tab_size_;
  std::error_code error;
  auto date = std::filesystem::last_write_time(file, error);
  if (error) throw ECodeError("Could not open '" + file + "'");
  if (!FileName.empty() && file == FileName && date == FileDate && tab_size == TabSize) {
    FindFirstEntry();
    return;
  }
  TFastStringList lines;
  lines.TabSize = tab_size;
  if (!lines.LoadFromFile(file)) throw ECodeError("Could not open '" + file + "'");
  Lines = std::move(lines);
  FileName = file;
  FractintDialect = EndsWithText(file, ".frm");
  FileDate = date;
  TabSize = tab_size;
  FindFirstEntry();
}

void TCode::FindFirstEntry() { SetPosition(0, 0); }

void TCode::SetPosition(int line, int column) {
  Line = std::max(line, 0);
  Column = std::max(column, 0);
  scan_line_ = Line;
  scan_column_ = Column;
  scan_resumes_ = false;
  FindNextEntry();
}

void TCode::FindNextEntry() {
  for (int l = scan_line_; l < Lines.Count(); ++l) {
    const std::string& line = Lines[l];
    size_t pos = l == scan_line_ ? std::min(static_cast<size_t>(scan_column_), line.size()) : 0;
    size_t text_start = pos;
    if (pos > 0 && !scan_resumes_) {
      // Starting in the middle of a line: a comment before the start hides the
      // rest, and a header's text may begin before the start.
      if (line.find(';') < pos) continue;
      size_t previous = line.rfind('{', pos - 1);
      text_start = previous == std::string::npos ? 0 : previous + 1;
    }
    for (;;) {
      size_t hit = line.find_first_of("{;", pos);
      if (hit == std::string::npos || line[hit] == ';') break;
      if (ParseHeader(line, static_cast<int>(text_start), static_cast<int>(hit))) {
        HeaderLine = l;
        StartEntry(l, static_cast<int>(hit));
        return;
      }
      pos = text_start = hit + 1;
    }
  }
  NotFound();
}

// Takes the name (and arguments) from line[start, brace), the text before a
// `{`. Returns false for a header without a name.
bool TCode::ParseHeader(const std::string& line, int start, int brace) {
  size_t begin = static_cast<size_t>(start);
  size_t end = static_cast<size_t>(brace);
  while (end > begin && IsBlank(line[end - 1])) --end;
  if (end == begin) return false;
  if (FractintDialect) end = WithoutFractintSettings(line, begin, end);
  std::string args;
  if (line[end - 1] == ')') {
    --end;
    begin = SkipBlanks(line, begin, end);
    while (end > begin && IsBlank(line[end - 1])) --end;
    size_t p = end;
    while (p > begin && line[p - 1] != ' ' && line[p - 1] != '\t' && line[p - 1] != '(') --p;
    if (p <= begin + 1) return false;  // no delimiter, or it opens the text
    args = line.substr(p, end - p);
    end = p - 1;
    while (end > begin && IsBlank(line[end - 1])) --end;
    if (end == begin) return false;
  }
  size_t p = end;
  while (p > begin && line[p - 1] != ' ' && line[p - 1] != '\t' && line[p - 1] != '}') --p;
  if (p == end) return false;
  EntryName = line.substr(p, end - p);
  EntryArgs = std::move(args);
  HeaderColumn = static_cast<int>(p);
  return true;
}

void TCode::StartEntry(int brace_line, int brace_column) {
  Found = true;
  BodyLine = brace_line;
  BodyColumn = brace_column + 1;
  scan_line_ = brace_line;
  scan_column_ = brace_column + 1;
  scan_resumes_ = true;
  ResetToBody();
  ReadTitle();
}

void TCode::ReadTitle() {
  Title = EntryName;
  if (!ReadTitles) {
    EndLine = BodyLine;
    EndColumn = BodyColumn;
    return;
  }
  TBodyLayout layout;
  ScanBody(layout);
  EndLine = layout.EndLine;
  EndColumn = layout.EndColumn;
  if (layout.TitleFound && (layout.TitleClosed || !layout.Title.empty())) Title = layout.Title;
}

void TCode::NotFound() {
  Found = false;
  EntryName.clear();
  EntryArgs.clear();
  Title.clear();
  LineEnd = false;
  EndOfEntry = true;
}

bool TCode::FindEntry(const std::string& name) {
  if (Found && EntryName == name) {
    ResetToBody();
    return true;
  }
  FindFirstEntry();
  while (Found && !SameText(EntryName, name)) FindNextEntry();
  return Found;
}

void TCode::SelectEntry(const std::string& name) {
  if (!FindEntry(name)) {
    throw ECodeError("Could not find the entry '" + name + "' in '" + FileName + "'");
  }
}

void TCode::ResetToBody() {
  LineEnd = false;
  if (!Found) {
    EndOfEntry = true;
    return;
  }
  Line = BodyLine;
  Column = BodyColumn - 1;
  EndOfEntry = false;
  NextChar();
  EntryStarted();
}

TCodePosition TCode::SavePosition() const { return {Line, Column, EndOfEntry, LineEnd}; }

void TCode::RestorePosition(const TCodePosition& position) {
  Line = position.Line;
  Column = position.Column;
  EndOfEntry = position.EndOfEntry;
  LineEnd = position.LineEnd;
}

void TCode::NextChar() {
  if (EndOfEntry || !Found) return;
  if (LineEnd) {
    LineEnd = false;
  } else {
    ++Column;
  }
  const int count = Lines.Count();
  if (Line < 0 || Line >= count) {
    EndOfEntry = true;
    return;
  }
  if (Column >= static_cast<int>(Lines[Line].size())) {
    ++Line;
    Column = 0;
    LineEnd = true;
    return;
  }
  // A `\` ending a line joins the next non-blank line; that line may itself
  // consist of a joining `\`.
  while (Lines[Line][Column] == '\\' && OnlyBlanksFrom(Lines[Line], Column + 1)) {
    ++Line;
    while (Line < count && IsBlankLine(Lines[Line])) ++Line;
    if (Line >= count) {
      Column = 0;
      LineEnd = true;
      return;
    }
    Column = static_cast<int>(SkipBlanks(Lines[Line], 0, Lines[Line].size()));
  }
  if (Lines[Line][Column] == '}') EndOfEntry = true;
}

char TCode::CurrentChar() const {
  if (!Found || EndOfEntry) return 0;
  if (LineEnd || Line < 0 || Line >= Lines.Count()) return ' ';
  const std::string& line = Lines[Line];
  return Column >= 0 && Column < static_cast<int>(line.size()) ? line[Column] : ' ';
}

bool TCode::AtLastChar() const {
  if (!Found || EndOfEntry || LineEnd || Line < 0 || Line >= Lines.Count()) return true;
  return Column >= static_cast<int>(Lines[Line].size()) - 1;
}

void TCode::SkipRestOfLine() {
  if (!Found || EndOfEntry || LineEnd) return;  // a line end has nothing left to skip
  if (Line >= 0 && Line < Lines.Count()) Column = static_cast<int>(Lines[Line].size());
  NextChar();
}

// Walks the current entry from its `{` as the title reader sees it: each line
// cut at `;` and at the first `}`; a TitleSection label switches the section
// on, any other label off; inside it the first `title = "..."` setting is read,
// continued over lines that end in `\`. Colons inside double quotes are text.
void TCode::ScanBody(TBodyLayout& layout) const {
  const std::string section = TitleSection;
  bool in_section = false;
  bool in_title = false;
  bool saw_text = false;
  const int count = Lines.Count();
  int l = BodyLine;
  for (; l < count; ++l) {
    const std::string& line = Lines[l];
    size_t from = l == BodyLine ? std::min(static_cast<size_t>(BodyColumn), line.size()) : 0;
    size_t stop = std::min(line.find(';', from), line.size());
    size_t brace = line.find('}', from);
    bool last = brace < stop;
    if (last) {
      stop = brace;
      layout.Closed = true;
      layout.EndLine = l;
      layout.EndColumn = static_cast<int>(brace);
    }
    size_t first = SkipBlanks(line, from, stop);
    if (!saw_text && first < stop) {
      saw_text = true;
      layout.StatementsFirst = !IsLabelAt(line, first, stop);
    }
    if (in_title) {
      in_title = ContinueTitle(line, l, first, stop, layout);
    } else {
      size_t section_end = std::string::npos;
      bool any_colon = false;
      bool quoted = false;
      for (size_t i = from; i < stop; ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] != ':' || quoted) continue;
        any_colon = true;
        if (section_end == std::string::npos && i - from >= section.size() &&
            SameText(std::string_view(line).substr(i - section.size(), section.size()), section)) {
          section_end = i + 1;
        }
      }
      size_t start = from;
      if (section_end != std::string::npos) {
        in_section = true;
        start = section_end;
        if (layout.SectionLine < 0) layout.SectionLine = l;
      } else if (any_colon) {
        in_section = false;
      }
      if (in_section && !layout.TitleFound)
        in_title = ReadTitleSetting(line, l, start, stop, layout);
    }
    if (last) break;
  }
  if (!layout.Closed) {
    layout.EndLine = count - 1;
    layout.EndColumn = count > 0 ? static_cast<int>(Lines[count - 1].size()) - 1 : -1;
  }
}

// Looks for `title = "` in line[from, stop); returns whether the title goes on
// at the next line.
bool TCode::ReadTitleSetting(const std::string& line, int l, size_t from, size_t stop,
                             TBodyLayout& layout) {
  size_t p = FindNoCase(line, "TITLE", from, stop);
  if (p == std::string::npos) return false;
  p = SkipBlanks(line, p + 5, stop);
  if (p >= stop || line[p] != '=') return false;
  p = SkipBlanks(line, p + 1, stop);
  if (p >= stop || line[p] != '"') return false;
  layout.TitleFound = true;
  layout.ValueLine = l;
  layout.ValueColumn = static_cast<int>(p + 1);
  return ContinueTitle(line, l, p + 1, stop, layout);
}

// Adds line[from, stop) to the title up to a closing quote; returns whether the
// text ends in a joining `\`.
bool TCode::ContinueTitle(const std::string& line, int l, size_t from, size_t stop,
                          TBodyLayout& layout) {
  size_t quote = line.find('"', from);
  layout.CloseLine = l;
  if (quote < stop) {
    layout.Title += line.substr(from, quote - from);
    layout.CloseColumn = static_cast<int>(quote);
    layout.TitleClosed = true;
    return false;
  }
  size_t end = stop;
  while (end > from && IsBlank(line[end - 1])) --end;
  layout.CloseColumn = static_cast<int>(end);
  bool joins = end > from && line[end - 1] == '\\';
  layout.Title += line.substr(from, end - from - (joins ? 1 : 0));
  return joins;
}

int TCode::SplitLine(int line, int column) {
  std::string text = Lines[line];
  size_t at = std::clamp(static_cast<size_t>(std::max(column, 0)), size_t{0}, text.size());
  Lines.Set(line, text.substr(0, at));
  Lines.Insert(line + 1, text.substr(at));
  return line + 1;
}

void TCode::SetTitle(const std::string& title) {
  if (!Found) return;
  // A quote or a line break would end the setting early and spoil the entry.
  std::string clean = title;
  for (char& c : clean) {
    if (c == '"') c = '\'';
    if (c == '\r' || c == '\n') c = ' ';
  }
  TBodyLayout layout;
  ScanBody(layout);
  const std::string setting = "  title = \"" + clean + "\"";
  if (layout.TitleFound) {
    std::string tail =
        (layout.TitleClosed ? "" : "\"") + Lines[layout.CloseLine].substr(layout.CloseColumn);
    Lines.Set(layout.ValueLine,
              Lines[layout.ValueLine].substr(0, layout.ValueColumn) + clean + tail);
    if (layout.CloseLine > layout.ValueLine) {
      Lines.Delete(layout.ValueLine + 1, layout.CloseLine - layout.ValueLine);
    }
  } else if (layout.SectionLine >= 0) {
    Lines.Insert(layout.SectionLine + 1, setting);
  } else {
    std::string label = TitleSection + ":";
    std::transform(label.begin(), label.end(), label.begin(), [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    int at;
    if (!layout.StatementsFirst) {
      // Labels come first: the new section goes right after the `{`.
      at = BodyLine + 1;
      if (!OnlyBlanksFrom(Lines[BodyLine], BodyColumn)) SplitLine(BodyLine, BodyColumn);
    } else if (!layout.Closed) {
      at = Lines.Count();
    } else {
      // Statements before any label belong to the default section of the
      // entry kind; a new label in front of them would capture them, so the
      // section goes after them, before the `}`.
      at = layout.EndLine;
      size_t from = layout.EndLine == BodyLine ? BodyColumn : 0;
      if (SkipBlanks(Lines[at], from, layout.EndColumn) < static_cast<size_t>(layout.EndColumn)) {
        at = SplitLine(layout.EndLine, layout.EndColumn);
      }
    }
    Lines.Insert(at, label);
    Lines.Insert(at + 1, setting);
  }
  ResetToBody();
  ReadTitle();
  Save();
}

void TCode::DeleteEntry() {
  if (!Found) return;
  TBodyLayout layout;
  ScanBody(layout);
  const int header = HeaderLine;
  std::string merged = Lines[header].substr(0, HeaderColumn);
  if (layout.Closed) merged += Lines[layout.EndLine].substr(layout.EndColumn + 1);
  Lines.Set(header, merged);
  Lines.Delete(header + 1, layout.EndLine - header);
  // Close the gap: the blank lines around it become one, or none at either end
  // of the file.
  int first = header + 1;
  if (IsBlankLine(merged)) {
    first = header;
    while (first > 0 && IsBlankLine(Lines[first - 1])) --first;
  }
  int last = first;
  while (last < Lines.Count() && IsBlankLine(Lines[last])) ++last;
  int keep = first > 0 && last < Lines.Count() ? 1 : 0;
  if (last - first > keep) Lines.Delete(first + keep, last - first - keep);
  NotFound();
  scan_line_ = std::min(first, Lines.Count());
  scan_column_ = 0;
  scan_resumes_ = false;
  Save();
}

void TCode::AppendEntry(const TFastStringList& entry) {
  TFastStringList copy;
  copy.Assign(entry);
  while (Lines.Count() > 0 && IsBlankLine(Lines[Lines.Count() - 1]))
    Lines.Delete(Lines.Count() - 1);
  if (Lines.Count() > 0) Lines.Add("");
  for (int i = 0; i < copy.Count(); ++i) Lines.Add(copy[i]);
  Save();
}

void TCode::CopyEntry(TFastStringList& target) const {
  TFastStringList copy;
  if (Found) {
    TBodyLayout layout;
    ScanBody(layout);
    for (int l = HeaderLine; l <= layout.EndLine; ++l) {
      std::string text = Lines[l];
      if (l == layout.EndLine && layout.Closed) text.resize(layout.EndColumn + 1);
      if (l == HeaderLine) text.erase(0, HeaderColumn);
      copy.Add(std::move(text));
    }
  }
  target.Clear();
  for (int i = 0; i < copy.Count(); ++i) target.Add(copy[i]);
}

void TCode::Save() {
  if (FileName.empty()) return;
  if (!Lines.SaveToFile(FileName)) throw ECodeError("Could not create '" + FileName + "'");
  // The file now holds exactly Lines, so the cache stays valid.
  std::error_code error;
  auto date = std::filesystem::last_write_time(FileName, error);
  if (!error) FileDate = date;
}

}  // namespace zt
