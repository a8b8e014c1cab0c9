// What the options dialog shows: every setting a person sets, page by page,
// each with its caption and the kind of field that edits it. The ranges come
// from the settings themselves (TConfigManager::Describe).
#pragma once

#include <span>

namespace zt {

enum class TOptionKind {
  kHeading,   // a caption over the rows below it; no setting
  kCheck,     // boolean
  kNumber,    // integer in its range
  kFraction,  // floating-point number in its range
  kChoice,    // integer: the n-th choice stands for First + n
  kText,      // one line
  kLines,     // several lines, stored with CR LF between them
  kFolder,    // a folder, stored ending in '/'
  kFile,      // a file name
  kColor,     // red + 256 * green + 65536 * blue
  kFont,      // a font family name
};

struct TOptionRow {
  const char* Page;
  TOptionKind Kind;
  const char* Key;  // the setting's key; null for a heading
  const char* Caption;
  const char* Choices = nullptr;  // kChoice: the choices separated by '|'
  int First = 0;                  // kChoice: the value of the first choice
};

inline constexpr const char* kOptionPages[] = {"General",   "Defaults",   "Calculation",
                                               "Rendering", "Export",     "Directories",
                                               "Editor",    "Environment"};

// Every row, in the order the pages show them.
std::span<const TOptionRow> OptionRows();

}  // namespace zt
