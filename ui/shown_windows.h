// Windows that a screenshot run opens by name (--show NAME), so that pictures
// of dialogs and editors are taken the same way as the main window's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace zt {

class TMainWindow;

// Opens the window over `window`, which owns it, and returns it unshown.
// `files` are the files of the command line, already opened. User-interface
// thread only.
using TOpenShownWindow = QWidget* (*)(TMainWindow& window, const std::vector<std::string>& files);

struct TShownWindow {
  const char* Name;
  TOpenShownWindow Open;
};

// The window of that name; nullptr when there is none.
const TShownWindow* FindShownWindow(std::string_view name);
// The names, separated by ", ", for usage messages.
std::string ShownWindowNames();

}  // namespace zt
