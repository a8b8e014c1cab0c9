// Tests of the message between two starts: collected whole from any pieces,
// refused when it is not ours.
#include "ui/instance_message.h"

#include <gtest/gtest.h>

#include <QtEndian>

namespace zt {
namespace {

using TState = TInstanceMessageReader::TState;

TEST(InstanceMessage, ArrivesWholeWhateverThePieces) {
  const QStringList kMessages[] = {
      {},
      {"/home/ann", "zentrope", "my sets/a b.zpr", "Fraktal \u00fc\u00df.zfr", ""},
  };
  for (const QStringList& texts : kMessages) {
    const QByteArray message = EncodeInstanceMessage(texts);
    for (const qsizetype piece : {qsizetype(1), qsizetype(3), message.size()}) {
      TInstanceMessageReader reader;
      TState state = TState::kIncomplete;
      for (qsizetype at = 0; at < message.size(); at += piece) {
        EXPECT_EQ(state, TState::kIncomplete) << "piece " << piece << " at " << at;
        state = reader.Feed(QByteArrayView(message).sliced(at, qMin(piece, message.size() - at)));
      }
      EXPECT_EQ(state, TState::kComplete) << "piece " << piece;
      EXPECT_EQ(reader.Texts(), texts) << "piece " << piece;
    }
  }
}

QByteArray Header(quint32 size) {
  QByteArray header(4, '\0');
  qToLittleEndian(size, header.data());
  return header;
}

TEST(InstanceMessage, RefusesWhatIsNotOurs) {
  const struct {
    const char* Name;
    QByteArray Bytes;
  } kCases[] = {
      {"longer than any command line", Header(kMaxInstanceMessage + 1)},
      {"last text without its zero byte", Header(3) + "abc"},
      {"bytes after the message", Header(2) + QByteArray("a\0x", 3)},
  };
  for (const auto& c : kCases) {
    TInstanceMessageReader reader;
    EXPECT_EQ(reader.Feed(c.Bytes), TState::kInvalid) << c.Name;
    EXPECT_EQ(reader.Feed(QByteArray(1, '\0')), TState::kInvalid) << c.Name;
  }
}

}  // namespace
}  // namespace zt
