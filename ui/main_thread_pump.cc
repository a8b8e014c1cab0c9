// The dispatcher's posted handler queues ProcessPosted on the pump's thread.
#include "ui/main_thread_pump.h"

#include "platform/thread.h"

namespace zt {

TMainThreadPump::TMainThreadPump(QObject* parent) : QObject(parent) {
  MainThreadDispatcher().MakeCurrentThreadMain();
  MainThreadDispatcher().SetPostedHandler([this] {
    QMetaObject::invokeMethod(this, &TMainThreadPump::ProcessPosted, Qt::QueuedConnection);
  });
  // Calls posted before the pump existed.
  QMetaObject::invokeMethod(this, &TMainThreadPump::ProcessPosted, Qt::QueuedConnection);
}

TMainThreadPump::~TMainThreadPump() { MainThreadDispatcher().SetPostedHandler(nullptr); }

void TMainThreadPump::ProcessPosted() { MainThreadDispatcher().ProcessPending(); }

}  // namespace zt
