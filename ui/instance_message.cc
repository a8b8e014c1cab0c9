// Encoding and collecting the message between two starts of the program.
#include "ui/instance_message.h"

#include <QtEndian>

namespace zt {
namespace {

constexpr qsizetype kHeaderSize = 4;

}  // namespace

QByteArray EncodeInstanceMessage(const QStringList& texts) {
  QByteArray body;
  for (const QString& text : texts) {
    body += text.toUtf8();
    body += '\0';
  }
  QByteArray message(kHeaderSize, '\0');
  qToLittleEndian<quint32>(quint32(body.size()), message.data());
  return message + body;
}

TInstanceMessageReader::TState TInstanceMessageReader::Feed(QByteArrayView bytes) {
  if (state_ != TState::kIncomplete) return state_;
  buffer_ += bytes;
  if (buffer_.size() < kHeaderSize) return state_;
  const quint32 size = qFromLittleEndian<quint32>(buffer_.constData());
  if (size > kMaxInstanceMessage || buffer_.size() > kHeaderSize + qsizetype(size))
    return state_ = TState::kInvalid;
  if (buffer_.size() < kHeaderSize + qsizetype(size)) return state_;
  return state_ = Decode();
}

TInstanceMessageReader::TState TInstanceMessageReader::Decode() {
  const QByteArrayView body = QByteArrayView(buffer_).sliced(kHeaderSize);
  if (!body.isEmpty() && body.back() != '\0') return TState::kInvalid;
  qsizetype start = 0;
  while (start < body.size()) {
    const qsizetype end = body.indexOf('\0', start);
    texts_.append(QString::fromUtf8(body.sliced(start, end - start)));
    start = end + 1;
  }
  buffer_.clear();
  return TState::kComplete;
}

}  // namespace zt
