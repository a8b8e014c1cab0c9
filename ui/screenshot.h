// The --screenshot mode: once every open document is calculated, the main
// window's picture (or that of the window named by --show) goes to a PNG file
// and the program ends (status 0, or 1 when the file could not be written).
#pragma once

#include <QObject>
#include <QPixmap>
#include <chrono>
#include <string>
#include <vector>

#include "platform/user_interface.h"
#include "ui/shown_windows.h"

namespace zt {

class TMainWindow;

// Writes `picture` as a PNG file that replaces `file` only when complete;
// false when it could not be written.
bool SavePng(const QPixmap& picture, const std::string& file);

// The user interface of a screenshot run: messages go to standard error,
// questions take their default answer, and browsing picks what the entry
// browser would start on (InitialEntryChoice) without showing it. Any thread.
class TScreenshotUserInterface : public TStdErrUserInterface {
 public:
  bool BrowseEntry(TEntryBrowseKind kind, std::string& file_name, std::string& entry_name) override;
};

// User-interface thread only. Watches the documents that are open when Start
// runs; the main window must outlive it.
class TScreenshot : public QObject {
  Q_OBJECT

 public:
  using TClock = std::chrono::steady_clock;

  // With `timing`, the milliseconds from `start` to the complete image go to
  // standard error. `shown` opens the window to picture instead of the main
  // window (nullptr for the main window), given the command line's `files`.
  TScreenshot(TMainWindow& window, std::string file, bool timing, TClock::time_point start,
              const TShownWindow* shown, std::vector<std::string> files);

  // Takes the picture as soon as every document is calculated (at once
  // without documents) and then ends the event loop.
  void Start();

 private:
  void Check();
  void Take();

  TMainWindow& window_;
  std::string file_;
  bool timing_;
  TClock::time_point start_;
  const TShownWindow* shown_;
  std::vector<std::string> files_;
  bool taken_ = false;
};

}  // namespace zt
