// Reading the parameter text format: items, value forms, comment lines, the
// missing-parameter warning and the search for missing entries.
#include "document/params/par_reader.h"

#include <charconv>
#include <filesystem>
#include <limits>

#include "document/settings/config_manager.h"
#include "platform/fast_string_list.h"
#include "platform/format.h"
#include "platform/number_format.h"
#include "platform/program_folder.h"
#include "platform/text.h"
#include "platform/user_interface.h"

namespace zt {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsAbsolute(const std::string& file) {
  return (!file.empty() && (file[0] == '\\' || file[0] == '/')) ||
         (file.size() > 1 && file[1] == ':');
}

std::string WithoutFolder(const std::string& file) {
  const size_t slash = file.find_last_of("/\\");
  return slash == std::string::npos ? file : file.substr(slash + 1);
}

TEntryBrowseKind BrowseKind(TParEntryKind kind) {
  switch (kind) {
    case kParTransformation: return TEntryBrowseKind::kTransformation;
    case kParFormula: return TEntryBrowseKind::kFormula;
    default: return TEntryBrowseKind::kColoring;
  }
}

}  // namespace

void TParReader::LoadFromText(std::string_view text) {
  TFastStringList lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.Add(std::string(text.substr(start, end - start)));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
  Lines = std::move(lines);
  FileName.clear();
  FileDate = {};
  FindFirstEntry();
}

void TParReader::LoadFromFile(const std::string& file, const std::string& entry) {
  LoadFile(file);
  SelectEntry(entry);
}

void TParReader::EntryStarted() {
  TCode::EntryStarted();
  comments_.clear();
  section_.clear();
  for (;;) {
    while (!EndOfEntry && IsBlank(CurrentChar())) NextChar();
    if (EndOfEntry || CurrentChar() != ';') break;
    const std::string& line = Lines[Line];
    comments_.emplace_back(TrimLeft(std::string_view(line).substr(Column + 1)));
    SkipRestOfLine();
  }
  item_line_ = Line;
}

void TParReader::SkipBlanksAndComments() {
  for (;;) {
    while (!EndOfEntry && IsBlank(CurrentChar())) NextChar();
    if (EndOfEntry || CurrentChar() != ';') return;
    SkipRestOfLine();
  }
}

bool TParReader::ReadKey(std::string& key) {
  key.clear();
  value_.clear();
  quoted_ = false;
  SkipBlanksAndComments();
  item_line_ = Line;
  if (EndOfEntry) {
    section_.clear();
    return false;
  }
  std::string name(1, CurrentChar());
  NextChar();
  while (!EndOfEntry) {
    const char c = CurrentChar();
    if (IsBlank(c) || c == ':' || c == '=') break;
    name += c;
    NextChar();
  }
  if (!EndOfEntry && CurrentChar() == ':') {
    NextChar();
    section_ = LowerCase(name);
    return false;
  }
  if (EndOfEntry || CurrentChar() != '=') {
    key = LowerCase(name);
    return true;
  }
  NextChar();
  if (EndOfEntry) {
    section_.clear();
    return false;
  }
  key = LowerCase(name);
  if (CurrentChar() == '"') {
    quoted_ = true;
    NextChar();
    while (!EndOfEntry && CurrentChar() != '"') {
      value_ += CurrentChar();
      NextChar();
    }
    NextChar();
    return true;
  }
  while (!EndOfEntry && !IsBlank(CurrentChar())) {
    value_ += CurrentChar();
    NextChar();
  }
  return true;
}

int TParReader::ValueInteger() const {
  std::string_view text = value_;
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
    throw EInvalidParFile("'" + value_ + "' is not a valid integer value");
  }
  return static_cast<int>(value);
}

long double TParReader::ValueFloat() const {
  long double value = 0;
  if (!ParseNumber(value_, value)) {
    throw EInvalidParFile("'" + value_ + "' is not a valid floating point value");
  }
  return value;
}

std::complex<long double> TParReader::ValueComplex() const {
  const size_t slash = value_.find('/');
  if (slash == std::string::npos) Error();
  long double re = 0, im = 0;
  const std::string real = value_.substr(0, slash), imag = value_.substr(slash + 1);
  if (!ParseNumber(real, re))
    throw EInvalidParFile("'" + real + "' is not a valid floating point value");
  if (!ParseNumber(imag, im))
    throw EInvalidParFile("'" + imag + "' is not a valid floating point value");
  return {re, im};
}

bool TParReader::ValueBoolean() const {
  if (SameText(value_, "yes")) return true;
  if (SameText(value_, "no")) return false;
  Error();
}

std::string TParReader::ValueWord() const { return LowerCase(value_); }

void TParReader::Error() const {
  throw EInvalidParFile(Format("Invalid file format (line %d)", item_line_ + 1));
}

void TParReader::ReportMissingParameter(const std::string& file, const std::string& entry,
                                        const std::string& parameter) {
  if (Quiet) return;
  for (const TMissing& m : missing_) {
    if (SameText(m.File, file) && SameText(m.Entry, entry) && SameText(m.Parameter, parameter))
      return;
  }
  missing_.push_back({file.substr(0, 255), entry.substr(0, 127), parameter.substr(0, 123)});
  UserInterface().ShowMessage("Warning",
                              Format("Could not locate the parameter '%s'\rin '%s' in '%s'.\r\r"
                                     "The parameter set may not be restored correctly.",
                                     parameter.c_str(), entry.c_str(), file.c_str()),
                              TMessageKind::kWarning);
}

std::string TParReader::KindFolder(TParEntryKind kind) {
  // An empty or relative setting means the shipped data, wherever the program
  // runs from (build tree or installed).
  const TConfigManager& config = ConfigManager();
  switch (kind) {
    case kParTransformation: return ResolveFolder(config.TransformationDirectory);
    case kParFormula: return ResolveFolder(config.FormulaDirectory);
    default: return ResolveFolder(config.ColoringDirectory);
  }
}

std::string TParReader::InKindFolder(const std::string& file, TParEntryKind kind) {
  const std::string folder = KindFolder(kind);
  if (IsAbsolute(file)) return file;
  return (std::filesystem::path(folder) / file).string();
}

std::string TParReader::CarriedEntryName(const std::string& file, const std::string& entry) {
  std::string name = WithoutFolder(file);
  for (char& c : name) {
    if (c == ' ') c = '_';
  }
  return name + ":" + entry;
}

bool TParReader::CopyCarriedEntry(const std::string& file, const std::string& entry,
                                  TParEntryKind kind) {
  TCode text;
  text.Lines = Lines;
  std::string carried = CarriedEntryName(file, entry);
  if (!text.FindEntry(carried)) {
    carried = "FRM:" + entry;
    if (kind != kParFormula || !text.FindEntry(carried)) return false;
  }
  TFastStringList copy;
  text.CopyEntry(copy);
  if (copy.Count() == 0) return false;
  copy.Set(0, entry + copy[0].substr(carried.size()));
  try {
    if (!std::filesystem::exists(file)) {
      if (!TFastStringList().SaveToFile(file)) return false;
    }
    TCode collection;
    collection.LoadFile(file);
    collection.AppendEntry(copy);
  } catch (const ECodeError&) {
    return false;
  }
  return true;
}

bool TParReader::FindEntry(std::string& file, std::string& entry, TParEntryKind kind) {
  const std::string path = InKindFolder(file, kind);
  if (CopyCarriedEntry(path, entry, kind)) {
    file = path;
    return true;
  }
  if (Quiet) return false;
  for (const TSubstitution& s : substitutions_) {
    if (SameText(s.File, file) && SameText(s.Entry, entry)) {
      file = s.NewFile;
      entry = s.NewEntry;
      return true;
    }
  }
  const TAnswer answer = UserInterface().Ask(
      "Confirm",
      Format("Could not find the entry '%s' in '%s'.\r\rDo you want to search for it yourself?",
             entry.c_str(), file.c_str()),
      TButtons::kYesNo, TAnswer::kNo);
  if (answer != TAnswer::kYes) return false;
  std::string picked_file = path, picked_entry = entry;
  if (!UserInterface().BrowseEntry(BrowseKind(kind), picked_file, picked_entry)) return false;
  substitutions_.push_back({file.substr(0, 255), entry.substr(0, 127), picked_file.substr(0, 255),
                            picked_entry.substr(0, 123)});
  file = picked_file;
  entry = picked_entry;
  return true;
}

}  // namespace zt
