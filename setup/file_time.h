// File times in the date-time form of the setup files: a 64-bit float counting
// days since 30 December 1899, 00:00 UTC, whose fraction is the time of day.
// Times are kept to the millisecond; two times are the same when they agree to
// the millisecond.
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace zt::setup {

double DateTimeOf(const QDateTime& time);
QDateTime FromDateTime(double date_time);
// False for values that are not finite or lie outside the years 1 to 9999.
bool IsValidDateTime(double date_time);
bool SameTime(double a, double b);

// The modification time of the file at `path` (links followed); nullopt when it
// cannot be read.
std::optional<double> ModificationTime(const QString& path);
// False when the time cannot be set.
bool SetModificationTime(const QString& path, double date_time);

}  // namespace zt::setup
