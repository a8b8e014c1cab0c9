// The fields that the installation data and the uninstall log are made of:
// little-endian numbers and short strings (a length byte and that many bytes,
// in a field of fixed size).
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

namespace zt::setup {

// The text of the short string at `field`; nullopt when its length byte does not
// fit the field of `field_size` bytes.
std::optional<QByteArray> ReadShortString(const char* field, int field_size);
// `text` as a short string field of `field_size` bytes, padded with zeros; the
// caller keeps `text` below `field_size` bytes.
QByteArray ShortStringField(const QByteArray& text, int field_size);

qint32 ReadInt32(const char* field);
double ReadDouble(const char* field);
void AppendInt32(QByteArray& out, qint32 value);
void AppendDouble(QByteArray& out, double value);

}  // namespace zt::setup
