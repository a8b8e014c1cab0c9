// Listening to the library's single-slot notifications (std::function members
// such as TFractal::OnChange) without taking them from their owners: a hook runs
// its listener after the handler it found in the slot, and unhooking leaves the
// handlers installed before and after it working.
#pragma once

#include <functional>
#include <memory>
#include <utility>

namespace zt {

// Used on the thread that fires the notification (the user-interface thread).
// The slot must outlive the hook, or Unhook must run before the slot goes.
template <class TSender>
class TChainedHook {
 public:
  using THandler = std::function<void(TSender&)>;

  TChainedHook() = default;
  ~TChainedHook() { Unhook(); }
  TChainedHook(const TChainedHook&) = delete;
  TChainedHook& operator=(const TChainedHook&) = delete;

  // Installs `listener` into `slot`, called after the handler the slot holds now.
  void Hook(THandler& slot, std::function<void()> listener) {
    Unhook();
    link_ = std::make_shared<TLink>();
    link_->Previous = std::move(slot);
    link_->Listener = std::move(listener);
    slot = TCall{link_};
    slot_ = &slot;
  }

  // Silences the listener. A link that later hooks still wrap keeps passing the
  // call on; retired links at the head of the slot are taken out, so that
  // hooking again and again does not lengthen the chain.
  void Unhook() {
    if (!slot_) return;
    link_->Listener = nullptr;
    while (const TCall* head = slot_->template target<TCall>()) {
      if (head->Link->Listener) break;
      THandler previous = head->Link->Previous;
      *slot_ = std::move(previous);
    }
    slot_ = nullptr;
    link_.reset();
  }

 private:
  struct TLink {
    THandler Previous;
    std::function<void()> Listener;  // empty once unhooked
  };
  // The installed handler; recognisable in the slot through std::function::target.
  struct TCall {
    std::shared_ptr<TLink> Link;
    void operator()(TSender& sender) const {
      // The slot may be reassigned (and this object freed) by the calls below.
      const std::shared_ptr<TLink> link = Link;
      if (link->Previous) link->Previous(sender);
      const std::function<void()> listener = link->Listener;
      if (listener) listener();
    }
  };

  THandler* slot_ = nullptr;
  std::shared_ptr<TLink> link_;
};

}  // namespace zt
