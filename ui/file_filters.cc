// Conversion of the program's filter lists into Qt's.
#include "ui/file_filters.h"

namespace zt {

const char* const kOpenFilters =
    "Fractal files (*.ZFR)|*.ZFR|Parameter files (*.ZPR; *.PAR)|*.ZPR;*.PAR|Gradient files "
    "(*.ZGR; *.MAP)|*.ZGR;*.MAP|Alpha channel files (*.ZAL)|*.ZAL|Transformation files "
    "(*.ZXF)|*.ZXF|Formula files (*.ZFM; *.FRM)|*.ZFM;*.FRM|Coloring files (*.ZCL)|*.ZCL|Disk "
    "render files (*.ZDR)|*.ZDR|All files (*.*)|*.*";
const char* const kExportFilters =
    "Bitmap image (*.BMP)|*.bmp|Photoshop image (*.PSD)|*.psd|PNG image (*.PNG)|*.png|JPEG "
    "image (*.JPG; *.JPEG)|*.jpg;*.jpeg|Targa image (*.TGA)|*.tga";
const char* const kFractalFilters = "Fractal file (*.ZFR)|*.zfr";
const char* const kParameterFilters = "Parameter files (*.ZPR)|*.ZPR|All files (*.*)|*.*";

QStringList QtFilters(const char* filters) {
  const QStringList parts = QString::fromUtf8(filters).split(u'|');
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].section(u'(', 0, 0).trimmed();
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
      if (pattern == u"*.*") {
        patterns << QStringLiteral("*");
        continue;
      }
      for (const QString& cased : {pattern.toUpper(), pattern.toLower()})
        if (!patterns.contains(cased)) patterns << cased;
    }
    result << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
  }
  return result;
}

}  // namespace zt
