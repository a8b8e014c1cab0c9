// The message that a later start of the desktop program sends to the running
// one: a list of texts (its working folder, then its whole command line). On the
// wire: the byte count of the rest as an unsigned 32-bit little-endian number,
// then each text in UTF-8 followed by a zero byte, which no file name can hold.
//
// Thread safety: an encoder and a reader object per thread.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

namespace zt {

// The longest message accepted; real command lines are far shorter, so a longer
// one is not ours and is refused before it is collected.
inline constexpr quint32 kMaxInstanceMessage = 16 * 1024 * 1024;

QByteArray EncodeInstanceMessage(const QStringList& texts);

// Collects one message from the pieces in which a socket delivers it.
class TInstanceMessageReader {
 public:
  enum class TState { kIncomplete, kComplete, kInvalid };

  // Takes the next bytes and says how far the message is: invalid when it is
  // too long, its last text lacks the zero byte, or bytes follow it. Once it is
  // complete or invalid, further calls change nothing.
  TState Feed(QByteArrayView bytes);
  // The message's texts, once complete.
  const QStringList& Texts() const { return texts_; }

 private:
  TState Decode();

  QByteArray buffer_;
  QStringList texts_;
  TState state_ = TState::kIncomplete;
};

}  // namespace zt
