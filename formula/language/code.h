// TCode: the reader of entry collection files (formulas, coloring algorithms,
// transformations; parameter, gradient and alpha channel files use the same
// entry syntax). It loads a file into a line list, finds `name { ... }` entries,
// walks one entry's body character by character for the tokenizer, reads entry
// titles for the browsers and makes the few edits the editor needs.
#pragma once

#include <filesystem>
#include <string>

#include "platform/error.h"
#include "platform/fast_string_list.h"

namespace zt {

// Raised for an unreadable or unwritable file and for a missing entry.
class ECodeError : public EZentrope {
 public:
  using EZentrope::EZentrope;
};

// The full reading state, for look-ahead: save it, read on, restore it.
struct TCodePosition {
  int Line = 0;
  int Column = 0;
  bool EndOfEntry = true;
  bool LineEnd = false;
};

// One TCode belongs to one compiler (or file reader) object and is used only by
// the thread that owns that object; nothing here is synchronised.
//
// Reading model: after ResetToBody the position stands on the first body
// character. NextChar moves on; a line break reads as one blank (LineEnd set,
// position already at column 0 of the next line); a `\` that is the last
// non-blank character of a line joins the next non-blank line without a line
// end; the first `}` reached (or the end of the file) sets EndOfEntry. Every
// step is O(1) apart from the line-continuation skip.
class TCode {
 public:
  TCode();
  virtual ~TCode() = default;
  TCode(const TCode&) = delete;
  TCode& operator=(const TCode&) = delete;

  TFastStringList Lines;
  std::string FileName;                  // empty for a list filled by the caller
  std::string EntryName;                 // entry found last
  std::string EntryArgs;                 // text between the header's parentheses
  std::string Title;                     // title of the entry found last (see ReadTitles)
  std::string TitleSection = "DEFAULT";  // upper case, without the colon
  int Line = 0;                          // reading position, from 0
  int Column = 0;
  int HeaderLine = 0;  // first character of the entry name
  int HeaderColumn = 0;
  int EndLine = 0;  // closing `}` (or end of file); exact only while ReadTitles
  int EndColumn = 0;
  int BodyLine = 0;  // the opening `{` line and the column just after it
  int BodyColumn = 0;
  int TabSize = 0;  // tab width the lines were loaded with (cache key)
  // Modification time of FileName when it was loaded (cache key); the file
  // system's own time type, compared for equality only.
  std::filesystem::file_time_type FileDate{};
  bool Found = false;       // an entry is current
  bool ReadTitles = false;  // read each entry's title while scanning
  bool LineEnd = false;     // the position stands on a line end (reads as a blank)
  bool EndOfEntry = true;   // the position reached the closing `}` or the end of the file
  // The entries are read as Fractint's formula files write them. Headers may put
  // "=" or a bracketed settings list ("[float=y]") between the name (with its
  // symmetry) and the `{`: these are dropped before the name is taken. The
  // tokenizer also takes Fractint's function `cosxx` (the conjugate of cos) and
  // reads integer literals beyond 32 bits as real numbers, since Fractint's
  // numbers are all real. LoadFile sets it for files ending in ".frm" (any
  // case); our own collections never use it.
  bool FractintDialect = false;

  // Called whenever the position is put back to the start of the current
  // entry's body. Does nothing here.
  virtual void EntryStarted() {}

  // The tab width of the next LoadFile, clamped to 1..16 (2 by default).
  void SetTabSize(int size);
  // Loads `file` unless it is the one loaded, unchanged, with the same tab
  // width; then FindFirstEntry. Raises "Could not open '%s'".
  void LoadFile(const std::string& file);
  void FindFirstEntry();
  // Scans on from after the current entry's `{` (or the SetPosition point)
  // for the next header; sets Found.
  void FindNextEntry();
  // Makes the named entry current (names compared without regard to case);
  // raises "Could not find the entry '%s' in '%s'".
  void SelectEntry(const std::string& name);
  // Like SelectEntry, but answers false instead of raising.
  bool FindEntry(const std::string& name);
  // Makes the first entry whose header's `{` lies at or after (line, column) current.
  void SetPosition(int line, int column);
  void ResetToBody();

  TCodePosition SavePosition() const;
  void RestorePosition(const TCodePosition& position);
  void NextChar();
  // The character at the position: a blank while LineEnd, 0 at EndOfEntry or
  // without a current entry.
  char CurrentChar() const;
  // True on the last character of a line (or beyond, or on a line end), and
  // when no entry is current or it has ended.
  bool AtLastChar() const;
  // Skips the rest of the line (a `;` comment) so that the position stands on
  // the line end; skipped characters are not tested for `}`.
  void SkipRestOfLine();

  // Edits of the current entry; each saves to FileName when it is not empty
  // (raises "Could not create '%s'" when that fails) and does nothing when no
  // entry is current.
  void SetTitle(const std::string& title);
  void DeleteEntry();
  // Appends an entry's lines at the end, one blank line after the last entry.
  void AppendEntry(const TFastStringList& entry);
  // Fills `target` with the current entry from its name through its `}`.
  void CopyEntry(TFastStringList& target) const;
  // Moves the text of `line` from `column` on into a new line after it and
  // returns the new line's index.
  int SplitLine(int line, int column);

 private:
  struct TBodyLayout;
  void ScanBody(TBodyLayout& layout) const;
  static bool ReadTitleSetting(const std::string& line, int l, size_t from, size_t stop,
                               TBodyLayout& layout);
  static bool ContinueTitle(const std::string& line, int l, size_t from, size_t stop,
                            TBodyLayout& layout);
  bool ParseHeader(const std::string& line, int start, int brace);
  void StartEntry(int brace_line, int brace_column);
  void ReadTitle();
  void NotFound();
  void Save();

  // Where FindNextEntry goes on: the first character to examine, and whether
  // everything before it on its line is known to be free of comments.
  int scan_line_ = 0;
  int scan_column_ = 0;
  bool scan_resumes_ = false;
  int tab_size_ = 2;  // for the next LoadFile
};

}  // namespace zt
