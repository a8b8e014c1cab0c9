// Reading and writing the little-endian fields of the setup files.
#include "setup/binary_fields.h"

#include <QtEndian>
#include <bit>
#include <cstring>

namespace zt::setup {

std::optional<QByteArray> ReadShortString(const char* field, int field_size) {
  const int length = static_cast<unsigned char>(field[0]);
  if (length >= field_size) return std::nullopt;
  return QByteArray(field + 1, length);
}

QByteArray ShortStringField(const QByteArray& text, int field_size) {
  Q_ASSERT(text.size() < field_size);
  QByteArray field(field_size, '\0');
  field[0] = static_cast<char>(text.size());
  std::memcpy(field.data() + 1, text.constData(), text.size());
  return field;
}

qint32 ReadInt32(const char* field) { return qFromLittleEndian<qint32>(field); }

double ReadDouble(const char* field) {
  return std::bit_cast<double>(qFromLittleEndian<quint64>(field));
}

void AppendInt32(QByteArray& out, qint32 value) {
  char bytes[4];
  qToLittleEndian(value, bytes);
  out.append(bytes, 4);
}

void AppendDouble(QByteArray& out, double value) {
  char bytes[8];
  qToLittleEndian(std::bit_cast<quint64>(value), bytes);
  out.append(bytes, 8);
}

}  // namespace zt::setup
