// The choice of what to do with a file by its extension.
#include "ui/file_opener.h"

#include <filesystem>
#include <functional>
#include <memory>

#include "document/fractal.h"
#include "document/fractal_params.h"
#include "platform/format.h"
#include "platform/text.h"
#include "platform/user_interface.h"
#include "ui/file_commands.h"
#include "ui/fractal_window.h"
#include "ui/gradient_editor.h"
#include "ui/main_window.h"

namespace zt {
namespace {

// Files whose window is still to come: what the person is told instead.
struct TLaterFile {
  const char* Extension;  // null: every other extension
  const char* Message;
  bool ChooseEntry;
  TEntryBrowseKind Kind;
};

constexpr TLaterFile kLaterFiles[] = {
    {".zdr", "Disk render files open in the disk render window, which is not available yet.", false,
     TEntryBrowseKind::kParameters},
    {nullptr,
     "Formula, coloring and transformation files open in the entry editor, which is not "
     "available yet.",
     false, TEntryBrowseKind::kFormula},
};

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

void TellLater(const TLaterFile& later, const std::string& file) {
  std::string chosen_file = file, entry;
  if (later.ChooseEntry && !UserInterface().BrowseEntry(later.Kind, chosen_file, entry)) return;
  std::string text = std::string(later.Message) + "\r\r" + chosen_file;
  if (!entry.empty()) text += "\rEntry: " + entry;
  UserInterface().ShowMessage("Information", text, TMessageKind::kInformation);
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
  for (const TLaterFile& later : kLaterFiles) {
    if (later.Extension == nullptr || EndsWithText(file_name, later.Extension)) {
      TellLater(later, file_name);
      break;
    }
  }
  return false;
}

}  // namespace zt
