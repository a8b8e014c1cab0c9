// Keeps the desktop program to one running instance per user. The first start
// listens on a local socket; a later start sends its working folder and command
// line over that socket to the first one and ends, and the first one opens the
// files. docs/desktop-startup.md describes the socket and the message.
//
// Thread safety: create the object, call Claim and run the event loop on the
// user-interface thread, after the QApplication exists. FilesReceived is emitted
// on that thread from the event loop.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalSocket;

namespace zt {

class TInstanceMessageReader;

// The socket's full path: "Zentrope_Private_Mutex_20-" and the user id, in
// $XDG_RUNTIME_DIR, or in the temporary folder when that variable is unset.
QString InstanceSocketPath();

class TSingleInstance : public QObject {
  Q_OBJECT

 public:
  // `socket_path`: where the instances meet (tests use their own).
  explicit TSingleInstance(QString socket_path = InstanceSocketPath(), QObject* parent = nullptr);

  // Claims the program for this process; call once, before any window exists.
  // False when another instance runs: it was handed the working folder and
  // `command_line` (the program path first, as QCoreApplication::arguments()
  // gives it), and the caller ends with status 0. True otherwise: this process
  // is the first and now listens, or, when it cannot listen or cannot reach a
  // running instance, carries on alone (a warning says so). Returns within 2 s.
  bool Claim(const QStringList& command_line);

  // True while later starts can reach this instance.
  bool Listening() const { return server_.isListening(); }

 signals:
  // The files that a later start named, as full paths in the order of its
  // command line; empty when it named none (the receiver comes to the front
  // either way).
  void FilesReceived(const QStringList& absolute_paths);

 private:
  void AcceptConnections();
  void Receive(QLocalSocket* socket, TInstanceMessageReader& reader);

  const QString socket_path_;
  QLocalServer server_;
};

}  // namespace zt
