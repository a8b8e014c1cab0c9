// The formula editor's message window: the messages of the last compilation
// and its result line, under the caption "Messages - <entry>". A double click
// on a message asks the editor to jump to its place; F1 opens the help topic of
// the selected message (its identifier), or the overview topic.
#pragma once

#include <QDockWidget>
#include <string>

#include "formula/entries/entry_text_compile.h"

class QListWidget;

namespace zt {

// User-interface thread only.
class TCompileMessagesDock : public QDockWidget {
  Q_OBJECT

 public:
  explicit TCompileMessagesDock(QWidget* parent = nullptr);

  // Lists the compilation's messages and its result line.
  void ShowCompilation(const TEntryTextCompilation& compilation);
  QListWidget& List() const { return *list_; }
  // The help key of the selected message; the overview topic without one.
  std::string HelpKey() const;

 signals:
  // A message was chosen: its line and column, counted from 1 as shown.
  void JumpRequested(int line, int column);

 private:
  void Activate();

  QListWidget* list_;
};

}  // namespace zt
