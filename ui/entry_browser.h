// The entry browser: the collection files of one kind (parameter sets,
// gradients, alpha channels, formulas, colorings, transformations) below the
// kind's folder as a tree, the entries of the chosen file with their titles, the
// chosen entry's text, and for parameter sets a small preview calculated in the
// background. It answers the chosen file and entry, or nothing when cancelled.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "platform/user_interface.h"
#include "ui/entry_files.h"

class QLabel;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace zt {

class TEntryPreview;

// User-interface thread only. A file that cannot be read shows its error and
// leaves the entry list empty.
class TEntryBrowser : public QDialog {
  Q_OBJECT

 public:
  // Starts on InitialEntryChoice(kind, file_name, entry_name), or on the kind's
  // folder without a file.
  TEntryBrowser(TEntryBrowseKind kind, const std::string& file_name, const std::string& entry_name,
                QWidget* parent = nullptr);
  ~TEntryBrowser() override;

  // Lists the entries of `file_name`; false when it cannot be read.
  bool SetFile(const std::string& file_name);
  const std::string& FileName() const { return file_name_; }
  // Selects the entry of that name (without regard to case); false when absent.
  bool SelectEntry(const std::string& entry_name);
  // The selected file and entry, or nothing without a selection.
  std::optional<TEntryChoice> Choice() const;

  QTreeWidget& FolderTree() const { return *tree_; }
  QTreeWidget& EntryList() const { return *list_; }
  QPlainTextEdit& EntryTextView() const { return *text_; }
  QLabel& PreviewLabel() const { return *preview_label_; }
  TEntryPreview* Preview() const { return preview_; }  // null unless parameter sets

  // Runs the browser modally; the choice when the person pressed OK.
  static std::optional<TEntryChoice> Choose(TEntryBrowseKind kind, const std::string& file_name,
                                            const std::string& entry_name,
                                            QWidget* parent = nullptr);

 private:
  void FillTree();
  void MarkFileInTree();
  void BrowseFile();
  void EntryChosen();

  TEntryBrowseKind kind_;
  std::string file_name_;
  std::vector<TEntryListing> entries_;
  QLabel* file_label_;
  QTreeWidget* tree_;
  QTreeWidget* list_;
  QPlainTextEdit* text_;
  QLabel* preview_label_;
  TEntryPreview* preview_ = nullptr;
};

}  // namespace zt
