// What the entry browser knows about collection files without showing
// anything: the kinds with their folders and filters, the files of a kind below
// a folder as a tree, the entries of a file with their titles and texts, and the
// choice the browser starts on. Free of Qt, so tests and the screenshot run's
// silent browser use it directly.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/user_interface.h"

namespace zt {

struct TEntryChoice {
  std::string FileName;
  std::string EntryName;
};

// What the browser needs to know about a kind of collection file.
struct TEntryKindInfo {
  const char* Noun;          // "parameter set", used in the window title
  const char* Filter;        // file dialog filter
  const char* TitleSection;  // the section whose title item names an entry
};
const TEntryKindInfo& EntryKindInfo(TEntryBrowseKind kind);
// The kind's folder setting, resolved against the program's folder.
std::string EntryKindFolder(TEntryBrowseKind kind);
// The file name has one of the kind's extensions (without regard to case).
bool IsFileOfKind(TEntryBrowseKind kind, const std::string& file);

// A folder or a file of the kind below the kind's folder.
struct TFolderNode {
  std::string Name;
  std::string Path;
  bool Folder = false;
  std::vector<TFolderNode> Children;  // folders first, each group by name
};
// The files of `kind` in `folder` and its subfolders (eight levels deep at
// most); folders without such files are left out.
TFolderNode KindFolderTree(TEntryBrowseKind kind, const std::string& folder);

// One entry of a collection file.
struct TEntryListing {
  std::string Name;
  std::string Title;
  int HeaderLine = 0;  // where its name starts, for the text
  int HeaderColumn = 0;
};
// The entries of `file` in file order; raises ECodeError when it cannot be read.
std::vector<TEntryListing> ListEntries(TEntryBrowseKind kind, const std::string& file);
// The lines of the entry from its name through its `}`, joined by line feeds.
std::string EntryText(const std::string& file, const TEntryListing& entry);

// The choice the browser starts on: `file_name` when it exists, else the first
// file of the kind in the kind's folder (by name, without regard to case); in
// it the entry `entry_name` (without regard to case), else its first entry.
// Nothing without such a file or entry.
std::optional<TEntryChoice> InitialEntryChoice(TEntryBrowseKind kind, const std::string& file_name,
                                               const std::string& entry_name);

}  // namespace zt
