// Writing and deleting the first-run settings.
#include "setup/first_run_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zt::setup {
namespace {

// The shipped parameter file and its set that the main program opens at start.
constexpr char kExampleFile[] = "Parameters/Examples.zpr";
constexpr char kExampleEntry[] = "ClassicMandelbrot";

struct TFolderSetting {
  const char* Key;
  const char* Folder;
};

constexpr TFolderSetting kFolderSettings[] = {
    {"AlphaChannelDirectory", "Alpha/"},
    {"ColoringDirectory", "Formula/"},
    {"ExportDirectory", "Export/"},
    {"FormulaDirectory", "Formula/"},
    {"FractalDirectory", "Fractal/"},
    {"GradientDirectory", "Gradient/"},
    {"OpenDirectory", ""},
    {"ParameterDirectory", "Parameters/"},
    {"TransformationDirectory", "Formula/"},
};

}  // namespace

QString SettingsFile(const QString& config_home, const QString& settings_key) {
  return QDir::cleanPath(config_home + settings_key) + QStringLiteral("/settings.ini");
}

void ApplyFirstRunSettings(TSettingsText& settings, const QString& destination) {
  for (const TFolderSetting& setting : kFolderSettings)
    settings.Set("Directories", setting.Key, destination + QLatin1String(setting.Folder));
  if (!settings.HasGroup("General")) {
    settings.Set("General", "Wallpaper", destination + QStringLiteral("Tile.bmp"));
    settings.Set("General", "WallpaperOptions", QStringLiteral("1"));
    settings.Set("General", "SoundWhenReady", destination + QStringLiteral("Click.wav"));
    settings.Set("General", "PlaySoundWhenReady", QStringLiteral("1"));
  }
  if (!settings.HasGroup("Defaults")) {
    settings.Set("Defaults", "DefaultParamEntry", QLatin1String(kExampleEntry));
    settings.Set("Defaults", "DefaultParamFile", destination + QLatin1String(kExampleFile));
    if (!settings.HasGroup("Environment"))
      settings.Set("Environment", "StartupFractalOptions", QStringLiteral("3"));
  }
}

bool WriteFirstRunSettings(const QString& file, const QString& destination) {
  QByteArray text;
  if (QFileInfo::exists(file)) {
    QFile old(file);
    if (!old.open(QIODevice::ReadOnly)) return false;
    text = old.readAll();
    if (old.error() != QFileDevice::NoError) return false;
  }
  TSettingsText settings(text);
  ApplyFirstRunSettings(settings, destination);
  if (!QDir().mkpath(QFileInfo(file).path())) return false;
  QSaveFile out(file);
  return out.open(QIODevice::WriteOnly) && out.write(settings.Text()) >= 0 && out.commit();
}

void DeleteSettings(const QString& config_home, const QString& settings_key) {
  QFile::remove(SettingsFile(config_home, settings_key));
  QDir home(QDir::cleanPath(config_home));
  QString key = QDir::cleanPath(settings_key);
  // rmdir removes only empty folders; the walk stops at the first that is not.
  while (key.size() > 1 && home.rmdir(key.mid(1))) key = QFileInfo(key).path();
}

}  // namespace zt::setup
