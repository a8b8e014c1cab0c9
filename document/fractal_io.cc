// The document's own file commands: saving and opening fractal files through
// the fractal file writer and reader, under the progress window.
#include <filesystem>

#include "document/fractal.h"
#include "document/fractal_file.h"
#include "document/progress_window.h"
#include "platform/format.h"
#include "platform/user_interface.h"

namespace zt {

namespace {

std::string TitleOfFile(const std::string& name) { return std::filesystem::path(name).stem().string(); }

}  // namespace

void TFractal::SaveToFile(const std::string& name) {
  TFractalWriter writer(*this, name);
  RunWithProgress(writer, "Saving fractal file:", name);
}

void TFractal::SaveAs(const std::string& name) {
  SaveToFile(name);
  file_name_ = name;
  title_ = TitleOfFile(name);
  modified_ = false;
  FireChange();
}

void TFractal::LoadFromFile(const std::string& name) {
  const std::string fileName = file_name_;
  const std::string title = title_;
  const bool modified = modified_;
  try {
    TFractalReader reader(*this, name);
    RunWithProgress(reader, "Opening fractal file:", name);
  } catch (const EZentrope& error) {
    UserInterface().ShowMessage("Error", error.Message(), TMessageKind::kError);
    file_name_ = fileName;
    title_ = title;
    modified_ = modified;
    throw EFractalError(Format("Error opening '%s'", name.c_str()));
  }
  file_name_ = name;
  title_ = TitleOfFile(name);
  modified_ = false;
  FireChange();
}

}  // namespace zt
