// Events, the main-thread dispatcher and TSafeThread's stop protocol on top of
// std::thread. Priorities become per-thread nice values.
#include "platform/thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <exception>

namespace zt {

TEvent::TEvent(bool manual_reset, bool initially_set)
    : manual_reset_(manual_reset), set_(initially_set) {}

void TEvent::Set() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = true;
  }
  if (manual_reset_)
    changed_.notify_all();
  else
    changed_.notify_one();
}

void TEvent::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  set_ = false;
}

bool TEvent::IsSet() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return set_;
}

void TEvent::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return set_; });
  if (!manual_reset_) set_ = false;
}

bool TEvent::Wait(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return set_; }))
    return false;
  if (!manual_reset_) set_ = false;
  return true;
}

// One posted call and the signal that it ran.
struct TMainThreadDispatcher::TPosted {
  std::function<void()> Call;
  std::exception_ptr Error;
  TEvent Done{true};
};

TMainThreadDispatcher::TMainThreadDispatcher() = default;

bool TMainThreadDispatcher::IsMainThread() const {
  const std::thread::id main = main_thread_.load();
  if (main != std::thread::id()) return main == std::this_thread::get_id();
  // Not the creating thread: a worker may be the first to reach the dispatcher.
  return syscall(SYS_gettid) == getpid();
}

void TMainThreadDispatcher::MakeCurrentThreadMain() {
  main_thread_.store(std::this_thread::get_id());
}

void TMainThreadDispatcher::Invoke(const std::function<void()>& call) {
  if (IsMainThread()) {
    call();
    return;
  }
  auto posted = std::make_shared<TPosted>();
  posted->Call = call;
  std::function<void()> handler;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(posted);
    handler = posted_handler_;
  }
  posted_.notify_all();
  if (handler) handler();
  posted->Done.Wait();
  // The worker takes the only reference, so the exception ends in this thread.
  std::exception_ptr error = std::move(posted->Error);
  posted->Error = nullptr;
  if (error) std::rethrow_exception(error);
}

int TMainThreadDispatcher::ProcessPending() {
  int count = 0;
  for (;;) {
    std::shared_ptr<TPosted> posted;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (queue_.empty()) return count;
      posted = queue_.front();
      queue_.pop_front();
    }
    try {
      posted->Call();
    } catch (...) {
      posted->Error = std::current_exception();
    }
    posted->Done.Set();
    ++count;
  }
}

void TMainThreadDispatcher::WaitFor(const std::function<bool()>& done) {
  const bool main = IsMainThread();
  for (;;) {
    if (main) ProcessPending();
    if (done()) return;
    std::unique_lock<std::mutex> lock(mutex_);
    const std::uint64_t wakes = wakes_;
    posted_.wait_for(lock, std::chrono::milliseconds(10),
                     [&] { return wakes_ != wakes || (main && !queue_.empty()); });
  }
}

void TMainThreadDispatcher::WaitFor(TEvent& event) {
  WaitFor([&event] { return event.IsSet(); });
}

void TMainThreadDispatcher::Wake() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++wakes_;
  }
  posted_.notify_all();
}

void TMainThreadDispatcher::SetPostedHandler(std::function<void()> handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  posted_handler_ = std::move(handler);
}

TMainThreadDispatcher& MainThreadDispatcher() {
  // Never destroyed: a discarded thread that is still finishing may wake the
  // dispatcher while the program exits.
  static TMainThreadDispatcher* dispatcher = new TMainThreadDispatcher;
  return *dispatcher;
}

TSafeThread::TSafeThread() = default;

TSafeThread::~TSafeThread() { StopAndJoin(); }

void TSafeThread::Resume() {
  if (started_.exchange(true)) return;
  thread_ = std::thread([this] { Run(); });
}

void TSafeThread::Run() {
  native_id_.store(static_cast<int>(syscall(SYS_gettid)));
  ApplyPriority();
  Execute();
  DoTerminate();
}

void TSafeThread::DoTerminate() {
  terminate_called_.store(true);
  if (!main_thread_waiting_.load()) MainThreadDispatcher().Invoke([this] { DeliverOnTerminate(); });
  bool free_self;
  {
    std::lock_guard<std::mutex> lock(free_mutex_);
    finished_.store(true);
    free_self = free_when_finished_;
  }
  if (free_self) {
    // Nobody owns the object any more: it goes with its thread.
    thread_.detach();
    MainThreadDispatcher().Wake();
    delete this;
    return;
  }
  finished_event_.Set();
  MainThreadDispatcher().Wake();
}

void TSafeThread::DeliverOnTerminate() {
  if (on_terminate_called_.exchange(true)) return;
  if (OnTerminate) OnTerminate(*this);
}

void TSafeThread::WaitFor() {
  if (Suspended()) return;
  MainThreadDispatcher().WaitFor(finished_event_);
}

void TSafeThread::StopAndJoin() {
  if (!thread_.joinable()) return;
  on_terminate_called_.store(true);
  Terminate();
  WaitFor();
  thread_.join();
}

void TSafeThread::SafeFreeOwned(std::unique_ptr<TSafeThread> thread) {
  if (!thread) return;
  if (!thread->Suspended()) {
    // Holding the lock keeps DoTerminate from finishing (and freeing) meanwhile.
    std::lock_guard<std::mutex> lock(thread->free_mutex_);
    if (!thread->finished_.load()) {
      thread->Terminate();
      thread->Abort();
      thread->free_when_finished_ = true;
      thread.release();
      return;
    }
  }
  thread.reset();
}

void TSafeThread::SafeWaitFor(TSafeThread* thread) {
  if (thread == nullptr || thread->Suspended()) return;
  if (!MainThreadDispatcher().IsMainThread()) {
    thread->WaitFor();
    return;
  }
  thread->main_thread_waiting_.store(!thread->terminate_called_.load());
  // Always waits: a thread that already handed its termination to the main
  // thread is blocked until the wait below runs that call, and returning before
  // it has finished would let the caller treat a live thread as ended.
  thread->WaitFor();
  thread->DeliverOnTerminate();
}

void TSafeThread::SetPriority(int priority) {
  if (priority < 1) priority = 1;
  if (priority > 4) priority = 4;
  priority_.store(priority);
  ApplyPriority();
}

void TSafeThread::ApplyPriority() {
  static constexpr int kNice[] = {19, 10, 0, 0};
  const int id = native_id_.load();
  if (id == 0 || finished_.load()) return;
  // A normal user may lower a thread's priority but not raise it again: ignored.
  setpriority(PRIO_PROCESS, static_cast<id_t>(id), kNice[priority_.load() - 1]);
}

}  // namespace zt
