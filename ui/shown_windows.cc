// The table of windows a screenshot run can open.
#include "ui/shown_windows.h"

#include "ui/entry_chooser.h"
#include "ui/main_window.h"
#include "ui/render_commands.h"

namespace zt {
namespace {

// The first parameter file of the parameter folder, as Open shows it.
QWidget* OpenEntryChooser(TMainWindow& window, const std::vector<std::string>&) {
  return new TEntryChooser(TEntryBrowseKind::kParameters, "", "", &window);
}

// One window a line, so that windows added on different branches merge.
// clang-format off
const TShownWindow kShownWindows[] = {
    {"entry-chooser", OpenEntryChooser},
    {"options", OpenOptionsWindow},
    {"render-to-disk", OpenRenderToDiskWindow},
    {"batch-render", OpenBatchRenderWindow},
    {"rendering", OpenRenderingWindow},
};
// clang-format on

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
