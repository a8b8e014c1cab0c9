// The formula editor: a window of its own that shows a formula, coloring or
// transformation collection (any text file, in fact) with line numbers and
// syntax coloring, compiles the entry at the cursor and lists the compiler's
// messages in a dock, and saves the file atomically. A saved file's entries
// compile again in every open document that uses them.
#pragma once

#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>

#include "formula/entries/entry_kind.h"

class QLabel;

namespace zt {

class TCodeEdit;
class TCompileMessagesDock;
class TMainWindow;

// User-interface thread only. Questions and errors go through the program's
// user interface.
class TFormulaEditor : public QMainWindow {
  Q_OBJECT

 public:
  explicit TFormulaEditor(QWidget* parent = nullptr);

  // The editor of `file` among the main window's, else a new one that loads it
  // and, once saved, recompiles the file's entries in the open documents;
  // shown and in front. nullptr with the error shown when the file cannot be read.
  static TFormulaEditor* Open(TMainWindow& window, const std::string& file);

  // Reads `file` (UTF-8, else Latin-1; either line end); false with the error
  // shown when it cannot be read.
  bool Load(const std::string& file);
  // Writes the text in the file's encoding and line ends through the atomic
  // writer, so a failed save leaves the file as it was; then OnSaved. False with
  // the error shown on failure.
  bool Save();
  // Compiles the entry at the cursor (collections of a known kind only) and
  // shows the messages; the message window hides after a clean compilation
  // when HideMsgUponSuccess is on.
  void CompileEntry();
  // Moves the cursor to a message's place (line and column from 1, the column
  // counting a tab as TabSize columns, as the compiler does).
  void JumpTo(int line, int column);

  const std::string& FileName() const { return file_; }
  bool Modified() const;
  TCodeEdit& Edit() const { return *edit_; }
  TCompileMessagesDock& Messages() const { return *messages_; }

  std::function<void(const std::string& file)> OnSaved;

 protected:
  // Asks "Save changes to '<file>'?" (Yes, No, Cancel) when modified.
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void UpdateTitle();
  void UpdatePosition();

  TCodeEdit* edit_;
  TCompileMessagesDock* messages_;
  QLabel* position_;
  QAction* compile_action_ = nullptr;
  std::string file_;
  std::optional<TEntryKind> kind_;
  bool latin1_ = false;
  bool crlf_ = false;
};

}  // namespace zt
