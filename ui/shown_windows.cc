// The table of windows a screenshot run can open.
#include "ui/shown_windows.h"

#include "ui/entry_chooser.h"
#include "ui/main_window.h"

namespace zt {
namespace {

// The first parameter file of the parameter folder, as Open shows it.
QWidget* OpenEntryChooser(TMainWindow& window, const std::vector<std::string>&) {
  return new TEntryChooser(TEntryBrowseKind::kParameters, "", "", &window);
}

const TShownWindow kShownWindows[] = {
    {"entry-chooser", OpenEntryChooser},
};

}  // namespace

const TShownWindow* FindShownWindow(std::string_view name) {
  for (const TShownWindow& shown : kShownWindows)
    if (name == shown.Name) return &shown;
  return nullptr;
}

std::string ShownWindowNames() {
  std::string names;
  for (const TShownWindow& shown : kShownWindows) {
    if (!names.empty()) names += ", ";
    names += shown.Name;
  }
  return names;
}

}  // namespace zt
