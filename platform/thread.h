// Threads of the program: events, the main-thread dispatcher through which worker
// threads hand work to the user-interface thread, and TSafeThread, the worker
// base class whose stop-and-discard protocol never deadlocks against the main
// thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace zt {

// A signal that threads wait for. An auto-reset event lets exactly one waiter
// through per Set and then resets itself; a manual-reset event stays set until
// Reset. Any thread may call any member.
class TEvent {
 public:
  explicit TEvent(bool manual_reset = false, bool initially_set = false);
  TEvent(const TEvent&) = delete;
  TEvent& operator=(const TEvent&) = delete;

  void Set();
  void Reset();
  bool IsSet() const;
  void Wait();
  // Returns false when `milliseconds` passed without the event being set.
  bool Wait(int milliseconds);

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  const bool manual_reset_;
  bool set_;  // guarded by mutex_
};

// Runs calls on the main (user-interface) thread on behalf of worker threads.
// A worker's Invoke posts the call and blocks until the main thread has run it;
// the main thread runs posted calls in ProcessPending and whenever it waits
// through WaitFor. A graphical front end calls ProcessPending from its event
// loop, which SetPostedHandler wakes; the command line waits with WaitFor.
//
// The main thread is the process's initial thread until another one calls
// MakeCurrentThreadMain. Invoke may be called from any thread (on the main
// thread it runs the call at once); ProcessPending and WaitFor belong to the main
// thread (elsewhere WaitFor only waits).
class TMainThreadDispatcher {
 public:
  TMainThreadDispatcher();
  TMainThreadDispatcher(const TMainThreadDispatcher&) = delete;
  TMainThreadDispatcher& operator=(const TMainThreadDispatcher&) = delete;

  bool IsMainThread() const;
  void MakeCurrentThreadMain();

  // An exception thrown by the call is rethrown in the invoking thread.
  void Invoke(const std::function<void()>& call);
  // Runs every call posted so far. Returns how many ran.
  int ProcessPending();
  // Returns when `done` holds, running posted calls meanwhile. `done` is checked
  // after every Wake, every posted call and at least every 10 ms.
  void WaitFor(const std::function<bool()>& done);
  void WaitFor(TEvent& event);
  // Tells waiting WaitFor calls to check their condition again.
  void Wake();
  // `handler` runs on the posting thread after each call a worker posted, outside
  // the dispatcher's lock, so that an event loop can schedule ProcessPending on
  // the main thread. It must not wait for the main thread. Empty removes it.
  void SetPostedHandler(std::function<void()> handler);

 private:
  struct TPosted;

  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::shared_ptr<TPosted>> queue_;  // guarded by mutex_
  std::function<void()> posted_handler_;        // guarded by mutex_
  std::atomic<std::thread::id> main_thread_{};  // none: the process's initial thread
  std::uint64_t wakes_ = 0;                     // guarded by mutex_
};

// The program-wide dispatcher, created on first use.
TMainThreadDispatcher& MainThreadDispatcher();

// A worker thread created suspended. Resume starts Execute in a new thread; when
// Execute returns, DoTerminate delivers OnTerminate on the main thread (through
// the dispatcher) and marks the thread finished.
//
// Discarding: SafeFree and SafeWaitFor (see below) are the ways the owner stops
// or waits for a thread; both are meant for the main thread. Objects the thread
// reads (everything Execute touches) must outlive the thread: a thread handed to
// SafeFree while running keeps running until Execute notices the termination.
//
// Threads: Resume, SetPriority, Terminate, Abort and the queries may be called
// from any thread; OnTerminate must be set before Resume and runs on the main
// thread, at most once. Subclasses whose Execute reads their own members must
// call StopAndJoin in their destructor.
class TSafeThread {
 public:
  TSafeThread();
  TSafeThread(const TSafeThread&) = delete;
  TSafeThread& operator=(const TSafeThread&) = delete;
  virtual ~TSafeThread();

  // Starts the thread (once); later calls do nothing.
  void Resume();
  bool Suspended() const { return !started_.load(); }
  // Asks Execute to return; Execute polls Terminated().
  void Terminate() { terminated_.store(true); }
  bool Terminated() const { return terminated_.load(std::memory_order_relaxed); }
  // True once DoTerminate has run (OnTerminate delivered or handed over).
  bool Finished() const { return finished_.load(); }
  // Waits until the thread has finished; on the main thread posted calls run meanwhile.
  // Returns at once for a suspended thread.
  void WaitFor();

  // 1 lowest, 2 below normal, 3 normal, 4 above normal; applied as the thread's nice
  // value (19, 10, 0, 0). A level the system refuses is ignored.
  void SetPriority(int priority);
  int Priority() const { return priority_.load(); }

  // Called when the thread stops, so that a running calculation ends soon; the
  // base does nothing. Any thread.
  virtual void Abort() {}

  // Runs on the main thread after Execute returned.
  std::function<void(TSafeThread&)> OnTerminate;

  // Discards a thread: nothing when `thread` is empty. A started, unfinished thread
  // is marked to free itself, asked to terminate and aborted; it deletes itself
  // when it ends. Any other thread is destroyed at once. `thread` is empty afterwards.
  template <class T>
  static void SafeFree(std::unique_ptr<T>& thread) {
    SafeFreeOwned(std::unique_ptr<TSafeThread>(thread.release()));
  }
  static void SafeFreeOwned(std::unique_ptr<TSafeThread> thread);

  // Waits for a started thread and then delivers its OnTerminate on the main thread
  // directly (if not delivered yet). Called from another thread it only waits.
  static void SafeWaitFor(TSafeThread* thread);

 protected:
  // The thread's work; it polls Terminated() and must not let exceptions escape.
  virtual void Execute() = 0;
  // Stops a started thread without delivering OnTerminate and waits for it. For
  // destructors of subclasses, before their members go away.
  void StopAndJoin();

 private:
  void Run();
  void DoTerminate();
  void DeliverOnTerminate();
  void ApplyPriority();

  std::thread thread_;
  std::mutex free_mutex_;  // orders free-when-finished against finished
  TEvent finished_event_{true};
  std::atomic<bool> started_{false};
  std::atomic<bool> terminated_{false};
  std::atomic<bool> main_thread_waiting_{false};
  std::atomic<bool> terminate_called_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> on_terminate_called_{false};
  bool free_when_finished_ = false;  // guarded by free_mutex_
  std::atomic<int> priority_{3};
  std::atomic<int> native_id_{0};  // the kernel's id of the running thread, 0 before
};

}  // namespace zt
