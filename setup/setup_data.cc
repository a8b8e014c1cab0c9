// Reading "Setup.dat".
#include "setup/setup_data.h"

#include <QStringList>
#include <algorithm>

#include "setup/binary_fields.h"
#include "setup/file_time.h"
#include "setup/setup_error.h"

namespace zt::setup {
namespace {

constexpr int kNameOffset = 8, kNameField = 32;
constexpr int kKeyOffset = 40, kKeyField = 64;
constexpr int kDateTimeOffset = 104;
constexpr qint64 kChunk = 1 << 16;

[[noreturn]] void Damaged() { throw ESetupError(ReadErrorMessage()); }

QString ShortString(const QByteArray& bytes, int offset, int field_size) {
  const std::optional<QByteArray> text = ReadShortString(bytes.constData() + offset, field_size);
  if (!text) Damaged();
  return QString::fromUtf8(*text);
}

bool ValidName(const QString& name) {
  return name != u"." && name != u".." && !name.contains(u'/') && !name.contains(QChar(0));
}

}  // namespace

QString CannotFindMessage(const QString& path) {
  return QStringLiteral(
             "Zentrope Setup cannot find the required file '%1'.\nMake sure it exists in the "
             "proper directory and try again.")
      .arg(path);
}

QString ReadErrorMessage() {
  return QStringLiteral(
      "Error reading from compressed data file.\nTry downloading Zentrope again.");
}

bool IsValidSettingsKey(const QString& key) {
  if (!key.startsWith(u'/')) return false;
  const QStringList parts = key.split(u'/', Qt::SkipEmptyParts);
  return !parts.isEmpty() && std::none_of(parts.begin(), parts.end(), [](const QString& part) {
    return part == u"." || part == u"..";
  });
}

TSetupHeader ParseSetupHeader(const QByteArray& raw) {
  TSetupHeader header;
  header.Raw = raw;
  header.DisplayName = ShortString(raw, kNameOffset, kNameField);
  header.SettingsKey = ShortString(raw, kKeyOffset, kKeyField);
  header.DateTime = ReadDouble(raw.constData() + kDateTimeOffset);
  if (header.DisplayName.isEmpty() || !ValidName(header.DisplayName) ||
      !IsValidSettingsKey(header.SettingsKey) || !IsValidDateTime(header.DateTime))
    Damaged();
  return header;
}

TSetupData::TSetupData(const QString& path) : file_(path) {
  if (!file_.open(QIODevice::ReadOnly)) throw ESetupError(CannotFindMessage(path));
  const QByteArray raw = file_.read(kSetupHeaderSize);
  if (raw.size() != kSetupHeaderSize) throw ESetupError(CannotFindMessage(path));
  header_ = ParseSetupHeader(raw);
}

int TSetupData::CountItems() {
  const int count = CountList(true) + CountList(false);
  file_.seek(kSetupHeaderSize);
  return count;
}

int TSetupData::CountList(bool stored) {
  int count = 0;
  while (const std::optional<TSetupItem> item = NextItem(stored)) {
    if (item->IsFolder()) {
      count += CountList(true);
    } else {
      SkipContent(item->Size);
      ++count;
    }
  }
  return count;
}

std::optional<TSetupItem> TSetupData::NextItem(bool stored) {
  const QByteArray record = file_.read(kItemRecordSize);
  if (record.size() != kItemRecordSize) Damaged();
  TSetupItem item{ShortString(record, 0, 32), ReadInt32(record.constData() + 32)};
  if (item.Name.isEmpty()) return std::nullopt;
  if (!ValidName(item.Name) || item.Size < -1 || (!stored && item.Size != 0)) Damaged();
  return item;
}

bool TSetupData::CopyContent(qint64 size, QIODevice& out) {
  bool written = true;
  while (size > 0) {
    const QByteArray chunk = file_.read(std::min(size, kChunk));
    if (chunk.isEmpty()) Damaged();
    written = written && out.write(chunk) == chunk.size();
    size -= chunk.size();
  }
  return written;
}

void TSetupData::SkipContent(qint64 size) {
  if (size > file_.size() - file_.pos()) Damaged();
  file_.seek(file_.pos() + size);
}

}  // namespace zt::setup
