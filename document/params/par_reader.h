// TParReader: reads entries of the parameter text format (parameter sets,
// gradients, alpha channels, pasted objects) key by key on top of the entry
// collection reader, and finds the formula, coloring and transformation entries
// a parameter set names — in the collection files, among the entries the text
// carries along, or by asking the person.
#pragma once

#include <complex>
#include <string>
#include <string_view>
#include <vector>

#include "formula/language/code.h"
#include "platform/error.h"

namespace zt {

// A structural error of the text: "Invalid file format (line %d)".
class EInvalidParFile : public EZentrope {
 public:
  using EZentrope::EZentrope;
};

// The kinds of entry a parameter set names, in FindEntry's numbering.
enum TParEntryKind : int {
  kParTransformation = 0,
  kParFormula = 1,
  kParInsideColoring = 2,
  kParOutsideColoring = 3
};

// One reader serves one load or paste on one thread; it is not synchronised.
// Its lists of reported parameters and chosen substitutions live as long as it
// does, so that one answer serves every layer of a parameter set.
class TParReader : public TCode {
 public:
  TParReader() = default;

  // The text (CR LF, LF or CR line ends), positioned on its first entry.
  void LoadFromText(std::string_view text);
  void LoadFromBuffer(const char* data, size_t length) { LoadFromText({data, length}); }
  // Loads the file through the collection reader and selects the named entry;
  // raises ECodeError when the file cannot be read or lacks the entry.
  void LoadFromFile(const std::string& file, const std::string& entry);

  // Collects the entry's leading comment lines; see the class comment of TCode.
  void EntryStarted() override;

  // Reads the next item. Returns false with an empty key at the end of a
  // section's items: then SectionName() names the section that follows, or is
  // empty at the end of the entry.
  bool ReadKey(std::string& key);
  const std::string& SectionName() const { return section_; }

  int ValueInteger() const;
  long double ValueFloat() const;
  std::complex<long double> ValueComplex() const;
  bool ValueBoolean() const;
  std::string ValueWord() const;  // lower case
  const std::string& ValueText() const { return value_; }
  bool IsQuoted() const { return quoted_; }

  // Raises EInvalidParFile with the current line, counted from 1.
  [[noreturn]] void Error() const;

  const std::vector<std::string>& Comments() const { return comments_; }

  // No messages and no interactive search while set.
  bool Quiet = false;

  // Warns once per (file, entry, parameter) that a parameter is missing.
  void ReportMissingParameter(const std::string& file, const std::string& entry,
                              const std::string& parameter);

  // What a Fractint import passed over because the shipped collections or the
  // palette folder lack it (an unknown fractal type, a missing palette file), or
  // because the entry names no type, as messages. The import goes on silently;
  // callers may report the list.
  void NoteSkipped(const std::string& message) { skipped_.push_back(message); }
  const std::vector<std::string>& Skipped() const { return skipped_; }

  // Provides the entry `file` / `entry` of `kind` when its collection file
  // lacks it: copies an entry the text carries into the collection file, or
  // offers the person a search. True when a usable entry was provided; `file`
  // and `entry` then name it.
  bool FindEntry(std::string& file, std::string& entry, TParEntryKind kind);
  using TCode::FindEntry;

  // The folder of the collection files of `kind` (its folder setting through
  // ResolveFolder), and `file` placed in it unless it is already absolute.
  static std::string KindFolder(TParEntryKind kind);
  static std::string InKindFolder(const std::string& file, TParEntryKind kind);
  // The name under which a parameter set carries the entry along:
  // "My_Forms.zfm:Julia" for entry Julia of My Forms.zfm.
  static std::string CarriedEntryName(const std::string& file, const std::string& entry);

 private:
  struct TMissing {
    std::string File, Entry, Parameter;
  };
  struct TSubstitution {
    std::string File, Entry, NewFile, NewEntry;
  };
  void SkipBlanksAndComments();
  bool CopyCarriedEntry(const std::string& file, const std::string& entry, TParEntryKind kind);

  std::vector<std::string> comments_;
  std::string section_;
  std::string value_;
  int item_line_ = 0;  // where the last item or section began, from 0
  bool quoted_ = false;
  std::vector<TMissing> missing_;
  std::vector<TSubstitution> substitutions_;
  std::vector<std::string> skipped_;
};

}  // namespace zt
