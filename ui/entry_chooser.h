// A simple entry chooser: the person picks a collection file of one kind
// (parameter sets, gradients, alpha channels, formulas, colorings,
// transformations) and one of its entries from a list of names and titles.
#pragma once

#include <QDialog>
#include <QString>
#include <optional>
#include <string>

#include "platform/user_interface.h"

class QLabel;
class QTreeWidget;

namespace zt {

struct TEntryChoice {
  std::string FileName;
  std::string EntryName;
};

// What the chooser needs to know about a kind of collection file.
struct TEntryKindInfo {
  const char* Noun;          // "parameter set", used in the window title
  const char* Filter;        // file dialog filter
  const char* TitleSection;  // the section whose title item names an entry
};
const TEntryKindInfo& EntryKindInfo(TEntryBrowseKind kind);
// The kind's folder setting, resolved against the program's folder.
std::string EntryKindFolder(TEntryBrowseKind kind);

// User-interface thread only. A file that cannot be read shows its error and
// leaves the list empty.
class TEntryChooser : public QDialog {
  Q_OBJECT

 public:
  // Shows `file_name` (and selects `entry_name` in it) when it exists; else the
  // first file of the kind in the kind's folder.
  TEntryChooser(TEntryBrowseKind kind, const std::string& file_name, const std::string& entry_name,
                QWidget* parent = nullptr);

  // Lists the entries of `file_name`; false when it cannot be read.
  bool SetFile(const std::string& file_name);
  const std::string& FileName() const { return file_name_; }
  // Selects the entry of that name (without regard to case); false when absent.
  bool SelectEntry(const std::string& entry_name);
  // The selected file and entry, or nothing without a selection.
  std::optional<TEntryChoice> Choice() const;
  QTreeWidget* EntryList() const { return list_; }

  // Runs the dialog modally; the choice when the person pressed OK.
  static std::optional<TEntryChoice> Choose(TEntryBrowseKind kind, const std::string& file_name,
                                            const std::string& entry_name,
                                            QWidget* parent = nullptr);

 private:
  void BrowseFile();

  TEntryBrowseKind kind_;
  std::string file_name_;
  QLabel* file_label_;
  QTreeWidget* list_;
};

}  // namespace zt
