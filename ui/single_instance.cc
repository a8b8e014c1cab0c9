// The single-instance socket: claiming it, handing a command line to the running
// instance, and collecting the command lines of later starts.
#include "ui/single_instance.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <memory>
#include <utility>

#include "ui/command_line_words.h"
#include "ui/instance_message.h"

namespace zt {
namespace {

// Milliseconds; together well below the 2 s in which a later start ends.
constexpr int kLockWait = 500;
constexpr int kConnectWait = 500;
constexpr int kWriteWait = 800;

// The socket may lie in the shared temporary folder: only processes of this
// user may hand files to us or receive our command line.
bool PeerIsThisUser(const QLocalSocket& socket) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
         peer.uid == getuid();
}

enum class TSendResult { kSent, kNoListener, kFailed };

// Hands `message` to the instance that listens at `path`. kNoListener when
// nothing listens there: the name is free, or a crashed instance left it.
TSendResult SendToRunningInstance(const QString& path, const QByteArray& message) {
  QLocalSocket socket;
  socket.connectToServer(path);
  if (!socket.waitForConnected(kConnectWait)) {
    const QLocalSocket::LocalSocketError error = socket.error();
    return error == QLocalSocket::ServerNotFoundError ||
                   error == QLocalSocket::ConnectionRefusedError
               ? TSendResult::kNoListener
               : TSendResult::kFailed;
  }
  if (!PeerIsThisUser(socket)) return TSendResult::kFailed;
  socket.write(message);
  const QDeadlineTimer deadline(kWriteWait);
  while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(deadline.remainingTime())) {
  }
  const bool sent = socket.bytesToWrite() == 0;
  socket.disconnectFromServer();
  return sent ? TSendResult::kSent : TSendResult::kFailed;
}

}  // namespace

QString InstanceSocketPath() {
  QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (folder.isEmpty()) folder = QDir::tempPath();
  // The private name of version 2.0; the user id keeps users apart in a shared folder.
  return QDir(folder).filePath(QStringLiteral("Zentrope_Private_Mutex_20-%1").arg(getuid()));
}

TSingleInstance::TSingleInstance(QString socket_path, QObject* parent)
    : QObject(parent), socket_path_(std::move(socket_path)) {
  connect(&server_, &QLocalServer::newConnection, this, &TSingleInstance::AcceptConnections);
}

bool TSingleInstance::Claim(const QStringList& command_line) {
  // Starts at the same moment take turns, so that exactly one of them listens
  // and the others find it. A start that cannot get its turn (a stuck holder)
  // goes on without it rather than hang.
  QLockFile lock(socket_path_ + QStringLiteral(".lock"));
  lock.tryLock(kLockWait);
  const TSendResult sent = SendToRunningInstance(
      socket_path_, EncodeInstanceMessage(QStringList(QDir::currentPath()) + command_line));
  if (sent == TSendResult::kSent) return false;
  if (sent == TSendResult::kNoListener) QLocalServer::removeServer(socket_path_);
  if (!server_.listen(socket_path_)) {
    qWarning("Zentrope: cannot listen on %s (%s); later starts will run on their own",
             qPrintable(socket_path_), qPrintable(server_.errorString()));
  }
  return true;
}

void TSingleInstance::AcceptConnections() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    if (!PeerIsThisUser(*socket)) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    auto reader = std::make_shared<TInstanceMessageReader>();
    connect(socket, &QLocalSocket::readyRead, this,
            [this, socket, reader] { Receive(socket, *reader); });
    // A later start closes right after writing; what it wrote is still to be read.
    connect(socket, &QLocalSocket::disconnected, this, [this, socket, reader] {
      Receive(socket, *reader);
      socket->deleteLater();
    });
    Receive(socket, *reader);
  }
}

void TSingleInstance::Receive(QLocalSocket* socket, TInstanceMessageReader& reader) {
  const TInstanceMessageReader::TState state = reader.Feed(socket->readAll());
  if (state == TInstanceMessageReader::TState::kIncomplete) return;
  const QStringList texts = reader.Texts();
  // Done with this sender before the files open, which may take long and run
  // nested event loops.
  socket->disconnect(this);
  socket->abort();
  socket->deleteLater();
  if (state == TInstanceMessageReader::TState::kComplete && !texts.isEmpty())
    emit FilesReceived(FileNamesOfCommandLine(texts.sliced(1), texts.front()));
}

}  // namespace zt
