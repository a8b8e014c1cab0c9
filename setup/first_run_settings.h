// The settings that an installation gives the main program for its first run,
// and their removal. They live in the main program's settings file,
// <configuration folder><settings key>/settings.ini.
#pragma once

#include <QString>

#include "setup/settings_text.h"

namespace zt::setup {

QString SettingsFile(const QString& config_home, const QString& settings_key);

// The folders of the installation in "Directories", always; "General" and
// "Defaults" only when the group is missing, and "Environment" only when it is
// missing and "Defaults" was too, since its start-up choice opens the default
// parameter set that "Defaults" names. `destination` ends in "/".
void ApplyFirstRunSettings(TSettingsText& settings, const QString& destination);

// Applies the first-run settings to the file, replacing it whole; false when the
// file exists but cannot be read (then it stays untouched) or cannot be written.
bool WriteFirstRunSettings(const QString& file, const QString& destination);

// Deletes the settings file, then each folder of the key that is left empty.
void DeleteSettings(const QString& config_home, const QString& settings_key);

}  // namespace zt::setup
