// The choice of what to do with a file by its extension.
#include "ui/file_opener.h"

#include <filesystem>
#include <functional>
#include <memory>

#include "document/fractal.h"
#include "document/fractal_params.h"
#include "document/settings/config_manager.h"
#include "platform/format.h"
#include "platform/text.h"
#include "platform/user_interface.h"
#include "ui/file_commands.h"
#include "ui/formula_editor.h"
#include "ui/fractal_window.h"
#include "ui/gradient_editor.h"
#include "ui/main_window.h"
#include "ui/render_form.h"

namespace zt {
namespace {

void ShowError(const std::string& text) {
  UserInterface().ShowMessage("Error", text, TMessageKind::kError);
}

// A new document titled `title`, loaded by `load`, in a window of its own; false
// with the error shown when loading fails.
bool AddLoadedDocument(TMainWindow& window, const std::string& title,
                       const std::function<void(TFractal&)>& load) {
  auto fractal = std::make_unique<TFractal>(title);
  try {
    load(*fractal);
  } catch (const EZentrope& e) {
    ShowError(e.what());
    return false;
  }
  StartHistory(*fractal);
  window.AddDocument(std::move(fractal));
  return true;
}

bool OpenFractalFile(TMainWindow& window, const std::string& file) {
  if (TFractalWindow* open = window.FindDocument(file)) {
    const TAnswer answer =
        UserInterface().Ask("Confirm",
                            "This document is already open:\r" + file + "\r\r" +
                                "Do you want to revert to the previously saved version?",
                            TButtons::kYesNo, TAnswer::kNo);
    bool reverted = false;
    if (answer == TAnswer::kYes) {
      try {
        open->Fractal().LoadFromFile(file);
        StartHistory(open->Fractal());
        reverted = true;
      } catch (const EZentrope& e) {
        ShowError(e.what());
      }
    }
    window.BringToFront(open);
    return reverted;
  }
  // LoadFromFile shows the reader's error; the one it raises names the file.
  return AddLoadedDocument(window, std::filesystem::path(file).stem().string(),
                           [&](TFractal& fractal) { fractal.LoadFromFile(file); });
}

bool OpenParameterSet(TMainWindow& window, const std::string& file) {
  std::string chosen_file = file, entry;
  if (!UserInterface().BrowseEntry(TEntryBrowseKind::kParameters, chosen_file, entry)) return false;
  return AddLoadedDocument(
      window, entry, [&](TFractal& fractal) { LoadParameterFile(fractal, chosen_file, entry); });
}

}  // namespace

bool OpenFileByExtension(TMainWindow& window, const std::string& file_name) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file_name, error)) {
    ShowError(Format("Could not open '%s'", file_name.c_str()));
    return false;
  }
  if (EndsWithText(file_name, ".zfr")) return OpenFractalFile(window, file_name);
  if (EndsWithText(file_name, ".zpr") || EndsWithText(file_name, ".par"))
    return OpenParameterSet(window, file_name);
  if (OpenInColorEditor(&window, file_name)) return false;
  if (EndsWithText(file_name, ".zdr")) {
    ResumeRenderFile(file_name, ConfigManager(), &window);
    return false;
  }
  return TFormulaEditor::Open(window, file_name) != nullptr;
}

}  // namespace zt
