// Chained hooks: order of the calls, and unhooking in any order.
#include "ui/hook_chain.h"

#include <gtest/gtest.h>

#include <string>

namespace zt {
namespace {

struct TSender {
  std::function<void(TSender&)> OnChange;
  void Fire() {
    if (OnChange) OnChange(*this);
  }
};

TEST(ChainedHookTest, ListenersRunAfterTheOwnerAndLeaveInAnyOrder) {
  TSender sender;
  std::string calls;
  sender.OnChange = [&calls](TSender&) { calls += "owner "; };
  TChainedHook<TSender> first, second;
  first.Hook(sender.OnChange, [&calls] { calls += "first "; });
  second.Hook(sender.OnChange, [&calls] { calls += "second "; });
  sender.Fire();
  EXPECT_EQ(calls, "owner first second ");

  // The first leaves while the second still wraps it.
  first.Unhook();
  calls.clear();
  sender.Fire();
  EXPECT_EQ(calls, "owner second ");

  // Leaving last unwinds both links: the owner's handler is back in the slot.
  second.Unhook();
  calls.clear();
  sender.Fire();
  EXPECT_EQ(calls, "owner ");
}

TEST(ChainedHookTest, HookingAgainDoesNotLengthenTheChain) {
  TSender sender;
  int calls = 0;
  {
    TChainedHook<TSender> hook;
    for (int i = 0; i < 3; ++i) hook.Hook(sender.OnChange, [&calls] { ++calls; });
    sender.Fire();
    EXPECT_EQ(calls, 1);
  }
  // Gone with the hook: the slot is empty as before.
  EXPECT_FALSE(sender.OnChange);
}

TEST(ChainedHookTest, AListenerMayUnhookWhileItRuns) {
  TSender sender;
  TChainedHook<TSender> hook;
  int calls = 0;
  hook.Hook(sender.OnChange, [&] {
    ++calls;
    hook.Unhook();
  });
  sender.Fire();
  sender.Fire();
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(sender.OnChange);
}

}  // namespace
}  // namespace zt
