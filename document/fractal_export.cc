// The document's image export operations: each builds its format's exporter with
// the options of the settings and runs it under the progress window.
#include <string>

#include "document/settings/config_manager.h"
#include "document/export/export_bmp.h"
#include "document/export/export_jpeg.h"
#include "document/export/export_png.h"
#include "document/export/export_psd.h"
#include "document/export/export_tga.h"
#include "document/fractal.h"
#include "document/export/fractal_exporter.h"
#include "document/progress_window.h"

namespace zt {
namespace {

void RunExport(TFractal& fractal, TExportImage& image, const char* caption,
               const std::string& file_name) {
  TFractalExporter exporter(fractal, image);
  RunWithProgress(exporter, caption, file_name);
}

}  // namespace

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
