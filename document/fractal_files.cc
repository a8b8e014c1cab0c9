// The document's file commands: saving and opening fractal files through the
// fractal file writer and reader, and exporting images with each format's
// exporter and the options of the settings, all under the progress window.
#include <filesystem>
#include <string>

#include "document/export/export_bmp.h"
#include "document/export/export_jpeg.h"
#include "document/export/export_png.h"
#include "document/export/export_psd.h"
#include "document/export/export_tga.h"
#include "document/export/fractal_exporter.h"
#include "document/fractal.h"
#include "document/fractal_file.h"
#include "document/progress_window.h"
#include "document/settings/config_manager.h"
#include "platform/format.h"
#include "platform/user_interface.h"

namespace zt {
namespace {

std::string TitleOfFile(const std::string& name) {
  return std::filesystem::path(name).stem().string();
}

void RunExport(TFractal& fractal, TExportImage& image, const char* caption,
               const std::string& file_name) {
  TFractalExporter exporter(fractal, image);
  RunWithProgress(exporter, caption, file_name);
}

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
  const std::string file_name = file_name_;
  const std::string title = title_;
  const bool modified = modified_;
  try {
    TFractalReader reader(*this, name);
    RunWithProgress(reader, "Opening fractal file:", name);
  } catch (const EZentrope& error) {
    UserInterface().ShowMessage("Error", error.Message(), TMessageKind::kError);
    file_name_ = file_name;
    title_ = title;
    modified_ = modified;
    throw EFractalError(Format("Error opening '%s'", name.c_str()));
  }
  file_name_ = name;
  title_ = TitleOfFile(name);
  modified_ = false;
  FireChange();
}

void TFractal::ExportBMP(const std::string& file_name) {
  TExportBMPImage image(file_name);
  RunExport(*this, image, "Exporting bitmap image:", file_name);
}

void TFractal::ExportPSD(const std::string& file_name) {
  TExportPSDImage image(file_name, ConfigManager().ExportPSDLayers);
  RunExport(*this, image, "Exporting Photoshop image:", file_name);
}

void TFractal::ExportPNG(const std::string& file_name) {
  TExportPNGImage image(file_name);
  RunExport(*this, image, "Exporting PNG image:", file_name);
}

void TFractal::ExportTGA(const std::string& file_name) {
  TExportTGAImage image(file_name);
  RunExport(*this, image, "Exporting Targa image:", file_name);
}

void TFractal::ExportJPEG(const std::string& file_name) {
  const TConfigManager& config = ConfigManager();
  TExportJPEGImage image(file_name, config.ExportJPEGQuality, config.ExportJPEGBaseline);
  RunExport(*this, image, "Exporting JPEG image:", file_name);
}

}  // namespace zt
