// Tests of events, the main-thread dispatcher and the stop protocol of TSafeThread.
#include "platform/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

namespace zt {
namespace {

using Clock = std::chrono::steady_clock;

// An automatic event lets one wait through per Set; a manual one stays set until Reset.
TEST(EventTest, ResetModes) {
  for (bool manual : {false, true}) {
    TEvent event(manual);
    EXPECT_FALSE(event.Wait(0));
    event.Set();
    EXPECT_TRUE(event.Wait(0));
    EXPECT_EQ(event.Wait(0), manual) << manual;
    event.Set();
    event.Wait();  // the untimed wait resets the same way
    EXPECT_EQ(event.IsSet(), manual) << manual;
    event.Reset();
    EXPECT_FALSE(event.Wait(0));
  }
  EXPECT_TRUE(TEvent(true, true).IsSet());
}

TEST(EventTest, TimedWaitReturnsWhenAnotherThreadSets) {
  TEvent event;
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    event.Set();
  });
  const auto start = Clock::now();
  EXPECT_TRUE(event.Wait(5000));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  setter.join();
  const auto before = Clock::now();
  EXPECT_FALSE(event.Wait(30));
  EXPECT_GE(Clock::now() - before, std::chrono::milliseconds(30));
}

TEST(DispatcherTest, MainThreadIsTheInitialThreadWhoeverCreatesTheDispatcher) {
  // Workers often reach the program-wide dispatcher before the main thread does.
  std::unique_ptr<TMainThreadDispatcher> dispatcher;
  bool worker_is_main = true;
  std::thread worker([&] {
    dispatcher = std::make_unique<TMainThreadDispatcher>();
    worker_is_main = dispatcher->IsMainThread();
  });
  worker.join();
  EXPECT_FALSE(worker_is_main);
  EXPECT_TRUE(dispatcher->IsMainThread());
  std::thread other([&] { dispatcher->MakeCurrentThreadMain(); });
  other.join();
  EXPECT_FALSE(dispatcher->IsMainThread());
}

TEST(DispatcherTest, PostedHandlerLetsAnEventLoopRunTheCall) {
  // The handler stands for an event loop: it only signals, and the main thread
  // runs the posted call once signalled, without polling the queue.
  TMainThreadDispatcher dispatcher;
  TEvent signalled;
  std::atomic<int> handler_calls{0};
  dispatcher.SetPostedHandler([&] {
    ++handler_calls;
    signalled.Set();
  });
  bool ran = false;
  std::thread worker([&] { dispatcher.Invoke([&] { ran = true; }); });
  ASSERT_TRUE(signalled.Wait(10000));
  EXPECT_EQ(dispatcher.ProcessPending(), 1);
  worker.join();
  EXPECT_TRUE(ran);
  ran = false;
  dispatcher.Invoke([&] { ran = true; });  // on the main thread: runs at once, nothing posted
  EXPECT_TRUE(ran);
  EXPECT_EQ(handler_calls.load(), 1);
}

TEST(DispatcherTest, WorkerInvokeRunsOnTheMainThreadAndPassesExceptionsBack) {
  TMainThreadDispatcher dispatcher;
  std::thread::id ran_on;
  std::string caught;
  TEvent done(true);
  std::thread worker([&] {
    EXPECT_FALSE(dispatcher.IsMainThread());
    dispatcher.Invoke([&] { ran_on = std::this_thread::get_id(); });
    try {
      dispatcher.Invoke([] { throw std::runtime_error("posted failure"); });
    } catch (const std::runtime_error& e) {
      caught = e.what();
    }
    done.Set();
  });
  dispatcher.WaitFor(done);
  worker.join();
  EXPECT_EQ(ran_on, std::this_thread::get_id());
  EXPECT_EQ(caught, "posted failure");
  EXPECT_EQ(dispatcher.ProcessPending(), 0);
}

// Counts to a limit or until terminated; records what the protocol does.
class TCountingThread : public TSafeThread {
 public:
  explicit TCountingThread(std::atomic<int>* destroyed = nullptr) : destroyed_(destroyed) {}
  ~TCountingThread() override {
    StopAndJoin();
    if (destroyed_ != nullptr) ++*destroyed_;
  }
  void Abort() override { Aborted = true; }

  std::atomic<bool> Aborted{false};
  std::atomic<bool> RunForever{false};
  std::atomic<int> Count{0};

 protected:
  void Execute() override {
    while (!Terminated() && (RunForever || Count < 1000)) {
      ++Count;
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
  }

 private:
  std::atomic<int>* destroyed_;
};

TEST(SafeThreadTest, OnTerminateRunsOnceOnTheMainThread) {
  TCountingThread thread;
  int delivered = 0;
  std::thread::id delivered_on;
  thread.OnTerminate = [&](TSafeThread& sender) {
    EXPECT_EQ(&sender, &thread);
    ++delivered;
    delivered_on = std::this_thread::get_id();
  };
  EXPECT_TRUE(thread.Suspended());
  thread.Resume();
  thread.Resume();
  MainThreadDispatcher().WaitFor([&] { return thread.Finished(); });
  TSafeThread::SafeWaitFor(&thread);
  EXPECT_EQ(delivered, 1);
  EXPECT_EQ(delivered_on, std::this_thread::get_id());
  EXPECT_EQ(thread.Count, 1000);
}

TEST(SafeThreadTest, SafeWaitForOnTheMainThreadDoesNotDeadlock) {
  // The worker's termination would wait for the main thread; SafeWaitFor must
  // deliver OnTerminate itself (or run the posted call) instead of blocking.
  for (int round = 0; round < 20; ++round) {
    TCountingThread thread;
    thread.RunForever = true;
    int delivered = 0;
    thread.OnTerminate = [&](TSafeThread&) { ++delivered; };
    thread.Resume();
    std::this_thread::sleep_for(std::chrono::microseconds(round * 100));
    thread.Terminate();
    TSafeThread::SafeWaitFor(&thread);
    EXPECT_TRUE(thread.Finished());
    EXPECT_EQ(delivered, 1);
  }
}

TEST(SafeThreadTest, SafeFreeOfARunningThreadLetsItFreeItself) {
  std::atomic<int> destroyed{0};
  auto thread = std::make_unique<TCountingThread>(&destroyed);
  thread->RunForever = true;
  std::atomic<bool> aborted_seen{false};
  int delivered = 0;
  thread->OnTerminate = [&](TSafeThread& sender) {
    aborted_seen = static_cast<TCountingThread&>(sender).Aborted.load();
    ++delivered;
  };
  thread->Resume();
  TSafeThread::SafeFree(thread);
  EXPECT_EQ(thread, nullptr);
  MainThreadDispatcher().WaitFor([&] { return destroyed.load() == 1; });
  EXPECT_TRUE(aborted_seen);
  EXPECT_EQ(delivered, 1);
}

// Waiting for a suspended thread returns at once without delivery; freeing it
// (or a finished one) destroys it at once.
TEST(SafeThreadTest, SuspendedOrFinishedThreadsAreWaitedForAndFreedAtOnce) {
  std::atomic<int> destroyed{0};
  auto suspended = std::make_unique<TCountingThread>(&destroyed);
  int delivered = 0;
  suspended->OnTerminate = [&](TSafeThread&) { ++delivered; };
  TSafeThread::SafeWaitFor(suspended.get());
  TSafeThread::SafeWaitFor(nullptr);
  EXPECT_EQ(delivered, 0);
  EXPECT_FALSE(suspended->Finished());
  TSafeThread::SafeFree(suspended);
  EXPECT_EQ(destroyed, 1);

  auto finished = std::make_unique<TCountingThread>(&destroyed);
  finished->Resume();
  TSafeThread::SafeWaitFor(finished.get());
  TSafeThread::SafeFree(finished);
  EXPECT_EQ(destroyed, 2);

  std::unique_ptr<TCountingThread> none;
  TSafeThread::SafeFree(none);
  EXPECT_EQ(destroyed, 2);
}

TEST(SafeThreadTest, DestroyingARunningThreadStopsItWithoutDelivery) {
  int delivered = 0;
  {
    TCountingThread thread;
    thread.RunForever = true;
    thread.OnTerminate = [&](TSafeThread&) { ++delivered; };
    thread.Resume();
  }
  MainThreadDispatcher().ProcessPending();
  EXPECT_EQ(delivered, 0);
}

TEST(SafeThreadTest, PriorityIsClampedAndFailuresIgnored) {
  TCountingThread thread;
  thread.SetPriority(0);
  EXPECT_EQ(thread.Priority(), 1);
  thread.RunForever = true;
  thread.Resume();
  thread.SetPriority(4);  // raising the nice value back is refused for normal users
  EXPECT_EQ(thread.Priority(), 4);
  thread.SetPriority(9);
  EXPECT_EQ(thread.Priority(), 4);
  thread.Terminate();
  TSafeThread::SafeWaitFor(&thread);
}

}  // namespace
}  // namespace zt
