// Writing and reading "Uninst.dat".
#include "setup/uninstall_log.h"

#include <QFile>

#include "setup/binary_fields.h"
#include "setup/setup_data.h"
#include "setup/setup_error.h"

namespace zt::setup {
namespace {

constexpr char kTag[] = "QXUNINST";
constexpr int kTagSize = 8;
constexpr int kNamesOffset = 8, kNamesSize = 96;  // display name and settings key fields
constexpr int kKeyOffset = 40;
constexpr int kPathField = 256;

QString CannotCreate(const QString& path) {
  return QStringLiteral("Could not create the file '%1'.").arg(path);
}

[[noreturn]] void Unreadable() {
  throw ESetupError(QStringLiteral("Could not read the uninstall log file."));
}

QString ShortString(const char* field, int field_size) {
  const std::optional<QByteArray> text = ReadShortString(field, field_size);
  if (!text) Unreadable();
  return QString::fromUtf8(*text);
}

}  // namespace

QByteArray LogHeaderBytes(const QByteArray& setup_header, qint32 count) {
  QByteArray bytes(kTag, kTagSize);
  bytes += setup_header.mid(kNamesOffset, kNamesSize);
  AppendInt32(bytes, count);
  return bytes;
}

QByteArray LogRecordBytes(const TLogRecord& record) {
  const QByteArray path = record.Path.toUtf8();
  if (path.size() >= kPathField) {
    throw ESetupError(record.Folder
                          ? QStringLiteral("Could not create the directory '%1'.").arg(record.Path)
                          : CannotCreate(record.Path));
  }
  QByteArray bytes = ShortStringField(path, kPathField);
  AppendDouble(bytes, record.DateTime);
  AppendInt32(bytes, record.Folder ? 1 : 0);
  return bytes;
}

TUninstallLogWriter::TUninstallLogWriter(const QString& path, const QByteArray& setup_header)
    : file_(path), setup_header_(setup_header) {
  if (!file_.open(QIODevice::WriteOnly)) throw ESetupError(CannotCreate(path));
  file_.write(LogHeaderBytes(setup_header_, 0));
}

void TUninstallLogWriter::Append(const TLogRecord& record) {
  file_.write(LogRecordBytes(record));
  ++count_;
}

void TUninstallLogWriter::Commit() {
  // A failed write or seek is remembered by the file and fails the commit.
  if (file_.seek(0)) file_.write(LogHeaderBytes(setup_header_, count_));
  if (!file_.commit()) throw ESetupError(CannotCreate(file_.fileName()));
}

TUninstallLog ReadUninstallLog(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) Unreadable();
  const QByteArray header = file.read(kLogHeaderSize);
  if (header.size() != kLogHeaderSize || !header.startsWith(kTag)) Unreadable();
  TUninstallLog log;
  log.DisplayName = ShortString(header.constData() + kNamesOffset, 32);
  log.SettingsKey = ShortString(header.constData() + kKeyOffset, 64);
  const qint32 count = ReadInt32(header.constData() + kLogHeaderSize - 4);
  if (!IsValidSettingsKey(log.SettingsKey) || count < 0 ||
      file.size() - kLogHeaderSize < qint64{count} * kLogRecordSize)
    Unreadable();
  log.Records.reserve(count);
  for (qint32 i = 0; i < count; ++i) {
    const QByteArray bytes = file.read(kLogRecordSize);
    if (bytes.size() != kLogRecordSize) Unreadable();
    const qint32 flag = ReadInt32(bytes.constData() + kPathField + 8);
    TLogRecord record{ShortString(bytes.constData(), kPathField),
                      ReadDouble(bytes.constData() + kPathField), flag == 1};
    if (!record.Path.startsWith(u'/') || (flag != 0 && flag != 1)) Unreadable();
    log.Records.push_back(record);
  }
  return log;
}

}  // namespace zt::setup
