// Conversions between file times and setup date-times.
#include "setup/file_time.h"

#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <cmath>

namespace zt::setup {
namespace {

constexpr double kUnixEpochDays = 25569;  // 1 January 1970 counted from 30 December 1899
constexpr double kMsecsPerDay = 86400000;
constexpr double kFirstDay = -693593;  // 1 January 0001
constexpr double kLastDay = 2958466;   // 1 January 10000

qint64 MsecsOf(double date_time) {
  return std::llround((date_time - kUnixEpochDays) * kMsecsPerDay);
}

}  // namespace

double DateTimeOf(const QDateTime& time) {
  return kUnixEpochDays + static_cast<double>(time.toMSecsSinceEpoch()) / kMsecsPerDay;
}

QDateTime FromDateTime(double date_time) {
  return QDateTime::fromMSecsSinceEpoch(MsecsOf(date_time), QTimeZone::utc());
}

bool IsValidDateTime(double date_time) {
  return std::isfinite(date_time) && date_time >= kFirstDay && date_time < kLastDay;
}

bool SameTime(double a, double b) { return MsecsOf(a) == MsecsOf(b); }

std::optional<double> ModificationTime(const QString& path) {
  const QDateTime time = QFileInfo(path).lastModified();
  if (!time.isValid()) return std::nullopt;
  return DateTimeOf(time);
}

bool SetModificationTime(const QString& path, double date_time) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) &&
         file.setFileTime(FromDateTime(date_time), QFileDevice::FileModificationTime);
}

}  // namespace zt::setup
