// Entry names made from titles, and captions made from entry names.
#include "formula/language/entry_name.h"

#include <algorithm>
#include <filesystem>

#include "formula/language/code.h"

namespace zt {

namespace {

bool IsDropped(char c) {
  switch (c) {
    case '\t':
    case ' ':
    case '(':
    case ')':
    case ':':
    case ';':
    case '{':
    case '}': return true;
    default: return false;
  }
}

std::string UniqueName(TCode& code, const std::string& title) {
  const std::string name = MakeEntryName(title);
  if (!code.FindEntry(name)) return name;
  for (int n = 1;; ++n) {
    std::string candidate = name + std::to_string(n);
    if (!code.FindEntry(candidate)) return candidate;
  }
}

}  // namespace

std::string MakeEntryName(const std::string& title) {
  std::string name;
  bool raise = false;
  for (char c : title) {
    if (IsDropped(c)) {
      raise = true;
      continue;
    }
    name += raise && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    raise = false;
  }
  return name.empty() ? "Default" : name;
}

std::string MakeUniqueEntryName(const std::string& title, const std::string& file) {
  TCode code;
  std::error_code error;
  if (std::filesystem::exists(file, error)) {
    code.LoadFile(file);
  } else {
    code.FindFirstEntry();
  }
  return UniqueName(code, title);
}

std::string MakeUniqueEntryName(const std::string& title, const TFastStringList& lines) {
  TCode code;
  code.Lines.Assign(lines);
  code.FindFirstEntry();
  return UniqueName(code, title);
}

std::string EntryNameToCaption(const std::string& name) {
  std::string caption = name;
  std::replace(caption.begin(), caption.end(), '_', ' ');
  return caption;
}

}  // namespace zt
