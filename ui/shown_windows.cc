// The table of windows a screenshot run can open.
#include "ui/shown_windows.h"

#include <QEventLoop>
#include <QTimer>

#include "document/settings/config_manager.h"
#include "formula/entries/entry_kind.h"
#include "platform/program_folder.h"
#include "ui/entry_browser.h"
#include "ui/entry_preview.h"
#include "ui/formula_editor.h"
#include "ui/fractal_window.h"
#include "ui/gradient_editor.h"
#include "ui/main_window.h"
#include "ui/render_commands.h"

namespace zt {
namespace {

// The first parameter file of the parameter folder, as Open shows it, once the
// preview of its first set is there.
QWidget* OpenEntryBrowser(TMainWindow& window, const std::vector<std::string>&) {
  auto* browser = new TEntryBrowser(TEntryBrowseKind::kParameters, "", "", &window);
  QEventLoop wait;
  QTimer::singleShot(20000, &wait, &QEventLoop::quit);
  QObject::connect(browser->Preview(), &TEntryPreview::Ready, &wait, &QEventLoop::quit);
  QObject::connect(browser->Preview(), &TEntryPreview::Failed, &wait, &QEventLoop::quit);
  if (browser->Preview()->Busy()) wait.exec();
  return browser;
}

// The command line's first collection (else the shipped formulas) in the
// formula editor, with the messages of its first entry's compilation.
QWidget* OpenFormulaEditor(TMainWindow& window, const std::vector<std::string>& files) {
  std::string file = ResolveFolder(ConfigManager().FormulaDirectory) + "Standard.zfm";
  TEntryKind kind;
  for (auto it = files.rbegin(); it != files.rend(); ++it)
    if (EntryKindFromExtension(*it, kind)) file = *it;
  TFormulaEditor* editor = TFormulaEditor::Open(window, file);
  if (editor == nullptr) return new QWidget(&window, Qt::Window);
  editor->CompileEntry();
  return editor;
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

// One window a line, so that windows added on different branches merge.
// clang-format off
const TShownWindow kShownWindows[] = {
    {"entry-browser", OpenEntryBrowser},
    {"formula-editor", OpenFormulaEditor},
    {"options", OpenOptionsWindow},
    {"render-to-disk", OpenRenderToDiskWindow},
    {"batch-render", OpenBatchRenderWindow},
    {"rendering", OpenRenderingWindow},
    {"gradient-editor", OpenGradientEditor},
    {"alpha-editor", OpenAlphaEditor},
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
