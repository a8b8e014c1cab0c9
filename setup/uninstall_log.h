// The uninstall log "Uninst.dat" in the installation folder: a 108-byte header
// ("QXUNINST", the display name and settings key fields of the installation
// data, the record count) and 268-byte records, one per installed file, shortcut
// and folder, a folder's record after those of its contents. docs/setup.md gives
// the layout as a grammar.
#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <vector>

namespace zt::setup {

inline constexpr int kLogHeaderSize = 108;
inline constexpr int kLogRecordSize = 268;

struct TLogRecord {
  QString Path;         // full path, at most 255 bytes of UTF-8
  double DateTime = 0;  // the modification time the file is expected to keep
  bool Folder = false;
};

struct TUninstallLog {
  QString DisplayName;
  QString SettingsKey;
  std::vector<TLogRecord> Records;
};

// The header for `count` records, its names copied from the 112-byte header of
// the installation data.
QByteArray LogHeaderBytes(const QByteArray& setup_header, qint32 count);
// Raises ESetupError ("Could not create the file '...'." or "... the directory
// '...'.") when the path does not fit its field.
QByteArray LogRecordBytes(const TLogRecord& record);

// Writes a log while an installation runs. The file appears, replacing an older
// log, only with Commit, so a failed installation leaves the older log whole.
// The installing thread only.
class TUninstallLogWriter {
 public:
  // Raises ESetupError "Could not create the file '...'." when the file cannot
  // be created.
  TUninstallLogWriter(const QString& path, const QByteArray& setup_header);
  void Append(const TLogRecord& record);
  int Count() const { return count_; }
  // Writes the final count into the header and puts the log in place; raises
  // ESetupError as the constructor does.
  void Commit();

 private:
  QSaveFile file_;
  QByteArray setup_header_;
  qint32 count_ = 0;
};

// Reads a whole log; raises ESetupError "Could not read the uninstall log
// file." when it cannot be read or is damaged (another tag, a count below zero
// or beyond the file, a string longer than its field, a path that is not
// absolute, a flag other than 0 and 1, an invalid settings key).
TUninstallLog ReadUninstallLog(const QString& path);

}  // namespace zt::setup
