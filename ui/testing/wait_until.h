// Waiting in user-interface tests for what worker threads bring about.
#pragma once

#include <QTest>
#include <functional>

#include "platform/thread.h"

namespace zt::testing {

// Waits up to `milliseconds` for `done`, running Qt events and the calls that
// worker threads post for the main thread. User-interface thread only.
inline bool WaitUntil(const std::function<bool()>& done, int milliseconds = 20000) {
  return QTest::qWaitFor(
      [&] {
        MainThreadDispatcher().ProcessPending();
        return done();
      },
      milliseconds);
}

}  // namespace zt::testing
