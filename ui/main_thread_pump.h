// Drives the program-wide main-thread dispatcher from the Qt event loop: a call
// that a worker thread posts wakes the user-interface thread, which runs it
// from a queued slot.
#pragma once

#include <QObject>

namespace zt {

// Created on the user-interface thread, which becomes the dispatcher's main
// thread; lives as long as the event loop, after every window that owns
// calculating documents (a worker may post until its thread ends). Any thread
// may trigger it through the dispatcher; ProcessPosted runs on the
// user-interface thread.
class TMainThreadPump : public QObject {
  Q_OBJECT

 public:
  explicit TMainThreadPump(QObject* parent = nullptr);
  ~TMainThreadPump() override;

 private:
  void ProcessPosted();
};

}  // namespace zt
