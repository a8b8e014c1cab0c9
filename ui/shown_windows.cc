// The table of windows a screenshot run can open.
#include "ui/shown_windows.h"

#include "ui/entry_chooser.h"
#include "ui/fractal_window.h"
#include "ui/gradient_editor.h"
#include "ui/main_window.h"

namespace zt {
namespace {

// The first parameter file of the parameter folder, as Open shows it.
QWidget* OpenEntryChooser(TMainWindow& window, const std::vector<std::string>&) {
  return new TEntryChooser(TEntryBrowseKind::kParameters, "", "", &window);
}

// The first document's current layer's gradient or alpha channel, else a new one.
QWidget* OpenGradientEditor(TMainWindow& window, const std::vector<std::string>&) {
  if (window.Documents().isEmpty()) return NewGradientEditor(&window);
  return EditLayerGradient(&window, window.Documents().front()->Fractal().CurrentLayer());
}
QWidget* OpenAlphaEditor(TMainWindow& window, const std::vector<std::string>&) {
  if (window.Documents().isEmpty()) return NewAlphaChannelEditor(&window);
  return EditLayerAlphaChannel(&window, window.Documents().front()->Fractal().CurrentLayer());
}

const TShownWindow kShownWindows[] = {
    {"entry-chooser", OpenEntryChooser},
    {"gradient-editor", OpenGradientEditor},
    {"alpha-editor", OpenAlphaEditor},
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
