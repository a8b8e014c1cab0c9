// File dialog filters in the program's "Description|*.EXT;*.EXT|..." form,
// turned into Qt's filter strings that match the extensions in either case.
#pragma once

#include <QString>
#include <QStringList>

namespace zt {

// "Fractal files (*.ZFR)|*.ZFR|All files (*.*)|*.*" gives "Fractal files (*.ZFR
// *.zfr)" and "All files (*)": each description keeps its text before the
// parenthesis, the patterns follow in upper and lower case.
QStringList QtFilters(const char* filters);

// The open dialog's list and the export and save dialogs' lists.
extern const char* const kOpenFilters;
extern const char* const kExportFilters;
extern const char* const kFractalFilters;
extern const char* const kParameterFilters;

}  // namespace zt
