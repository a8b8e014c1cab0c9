// File menu commands: the dialogs and the work after them.
#include "ui/file_commands.h"

#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>

#include "document/disk/render_checks.h"
#include "document/fractal.h"
#include "document/settings/config_manager.h"
#include "platform/program_folder.h"
#include "platform/text.h"
#include "platform/user_interface.h"
#include "ui/export_options.h"
#include "ui/file_filters.h"
#include "ui/main_window.h"
#include "ui/save_parameters_dialog.h"

namespace zt {
namespace {

struct TExportFormat {
  const char* Extension;
  const char* OtherExtension;  // also accepted, or null
  void (TFractal::*Export)(const std::string&);
};

constexpr TExportFormat kExportFormats[] = {
    {".bmp", nullptr, &TFractal::ExportBMP}, {".psd", nullptr, &TFractal::ExportPSD},
    {".png", nullptr, &TFractal::ExportPNG}, {".jpg", ".jpeg", &TFractal::ExportJPEG},
    {".tga", nullptr, &TFractal::ExportTGA},
};

void ShowError(const std::string& text) {
  UserInterface().ShowMessage("Error", text, TMessageKind::kError);
}

// The folder of `file` as a folder setting (ending in '/').
std::string FolderOf(const QString& file) {
  return QFileInfo(file).absolutePath().toStdString() + "/";
}

// Starts a file dialog in `folder` with `name` proposed.
QString StartPath(const std::string& folder, const std::string& name) {
  return QString::fromStdString((std::filesystem::path(folder) / name).string());
}

// The "Save Fractal" dialog; an empty answer when cancelled.
QString AskFractalFile(const std::string& proposed, QWidget* parent) {
  QFileDialog dialog(parent, QStringLiteral("Save Fractal"),
                     StartPath(ResolveFolder(ConfigManager().FractalDirectory), proposed));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(QtFilters(kFractalFilters));
  dialog.setDefaultSuffix(QStringLiteral("zfr"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().front();
}

}  // namespace

std::unique_ptr<TFractal> NewDocument(const std::string& title) {
  const TConfigManager& config = ConfigManager();
  auto fractal = std::make_unique<TFractal>(title);
  fractal->BeginUpdate();
  fractal->SetWidth(config.DefaultImageWidth);
  fractal->SetHeight(config.DefaultImageHeight);
  fractal->SetResolution(static_cast<double>(config.DefaultImageResolution));
  fractal->SetGamma(static_cast<double>(config.DefaultImageGamma));
  fractal->EndUpdate();
  StartHistory(*fractal);
  return fractal;
}

void StartHistory(TFractal& fractal) {
  fractal.History().Clear();
  fractal.SetModified(false);
}

void OpenWithDialog(TMainWindow& window) {
  TConfigManager& config = ConfigManager();
  const QStringList filters = QtFilters(kOpenFilters);
  QString filter = filters.value(std::clamp(config.OpenFormat, 1, 9) - 1);
  const QStringList files = QFileDialog::getOpenFileNames(
      &window, QStringLiteral("Open"), QString::fromStdString(ResolveFolder(config.OpenDirectory)),
      filters.join(QStringLiteral(";;")), &filter);
  if (files.isEmpty()) return;
  if (filters.contains(filter)) config.OpenFormat = static_cast<int>(filters.indexOf(filter)) + 1;
  if (config.UseLastDirectory) config.OpenDirectory = FolderOf(files.front());
  std::vector<std::string> names;
  for (const QString& file : files) names.push_back(file.toStdString());
  window.OpenFiles(names);
}

bool SaveDocument(TFractal& fractal, QWidget* parent) {
  if (fractal.FileName().empty()) return SaveDocumentAs(fractal, parent);
  return SaveDocumentTo(fractal, fractal.FileName(), false);
}

bool SaveDocumentAs(TFractal& fractal, QWidget* parent) {
  const QString file = AskFractalFile(FileNameFromTitle(fractal.Title()), parent);
  if (file.isEmpty()) return false;
  if (ConfigManager().UseLastDirectory) ConfigManager().FractalDirectory = FolderOf(file);
  return SaveDocumentTo(fractal, file.toStdString(), false);
}

bool SaveDocumentCopy(TFractal& fractal, QWidget* parent) {
  const QString file = AskFractalFile("Copy of " + FileNameFromTitle(fractal.Title()), parent);
  return !file.isEmpty() && SaveDocumentTo(fractal, file.toStdString(), true);
}

bool SaveDocumentTo(TFractal& fractal, const std::string& chosen, bool copy) {
  const std::string file = EndsWithText(chosen, ".zfr") ? chosen : chosen + ".zfr";
  try {
    if (copy)
      fractal.SaveToFile(file);
    else
      fractal.SaveAs(file);
  } catch (const EZentrope& e) {
    ShowError(e.what());
    return false;
  }
  return true;
}

void SaveParametersWithDialog(TFractal& fractal, QWidget* parent) {
  TSaveParametersDialog dialog(fractal, parent);
  dialog.exec();
}

std::string ChooseExportFile(const std::string& name, QWidget* parent, int& format) {
  TConfigManager& config = ConfigManager();
  const QStringList filters = QtFilters(kExportFilters);
  QFileDialog dialog(parent, QStringLiteral("Export Image"),
                     StartPath(ResolveFolder(config.ExportDirectory), name));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filters);
  const auto suffix_for = [&](const QString& filter) {
    const int index = std::max(0, static_cast<int>(filters.indexOf(filter)));
    dialog.setDefaultSuffix(QString::fromUtf8(kExportFormats[index].Extension + 1));
  };
  const QString initial = filters.value(std::clamp(config.ExportFormat, 1, 5) - 1);
  dialog.selectNameFilter(initial);
  suffix_for(initial);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, suffix_for);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
  const QString file = dialog.selectedFiles().front();
  config.ExportFormat =
      std::clamp(static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1, 1, 5);
  if (config.UseLastDirectory) config.ExportDirectory = FolderOf(file);
  if (config.ExportFormat == 2 && TPhotoshopOptionsDialog(parent).exec() != QDialog::Accepted)
    return "";
  if (config.ExportFormat == 4 && TJpegOptionsDialog(parent).exec() != QDialog::Accepted) return "";
  format = config.ExportFormat;
  return WithExportExtension(file.toStdString(), format);
}

bool ExportWithDialog(TFractal& fractal, QWidget* parent) {
  int format = 1;
  const std::string file = ChooseExportFile(FileNameFromTitle(fractal.Title()), parent, format);
  return !file.empty() && !ExportDocumentTo(fractal, file, format).empty();
}

std::string WithExportExtension(const std::string& chosen, int format) {
  const TExportFormat& f = kExportFormats[std::clamp(format, 1, 5) - 1];
  const bool has_extension = EndsWithText(chosen, f.Extension) ||
                             (f.OtherExtension && EndsWithText(chosen, f.OtherExtension));
  return has_extension ? chosen : chosen + f.Extension;
}

std::string ExportDocumentTo(TFractal& fractal, const std::string& chosen, int format) {
  const TExportFormat& f = kExportFormats[std::clamp(format, 1, 5) - 1];
  const std::string file = WithExportExtension(chosen, format);
  try {
    (fractal.*f.Export)(file);
  } catch (const EZentrope& e) {
    ShowError(e.what());
    return "";
  }
  return file;
}

}  // namespace zt
