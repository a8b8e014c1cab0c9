// The desktop program's messages, questions, entry browsing and clipboard:
// message boxes, the entry browser and the system clipboard's plain text.
#pragma once

#include <string>

#include "platform/user_interface.h"

class QWidget;

namespace zt {

// Any thread may call ShowMessage, Ask and BrowseEntry. A worker thread's call
// is handed to the user-interface thread through the main-thread dispatcher and
// blocks until the person closed the box; the user-interface thread runs those
// calls even while it waits for calculation threads, so a box from a thread
// that is being stopped cannot deadlock. The boxes are modal to the program's
// active window.
class TQtUserInterface : public TUserInterface {
 public:
  void ShowMessage(const std::string& caption, const std::string& text, TMessageKind kind) override;
  TAnswer Ask(const std::string& caption, const std::string& question, TButtons buttons,
              TAnswer default_answer) override;
  bool BrowseEntry(TEntryBrowseKind kind, std::string& file_name, std::string& entry_name) override;
};

// The clipboard's plain text, and putting text there. User-interface thread.
std::string ClipboardText();
void SetClipboardText(const std::string& text);

}  // namespace zt
