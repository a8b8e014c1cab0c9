// Tests of the undo history: the ring buffer at its bounds, what Add discards,
// notifications, and that every snapshot handed over is freed exactly once.
#include "platform/history_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "testing/test_support.h"

namespace zt {
namespace {

// A snapshot that records its value in `freed` when it is destroyed.
struct TSnap {
  long Value;
  std::multiset<long>* Freed;
  ~TSnap() { Freed->insert(Value); }
};

class HistoryList : public ::testing::Test {
 protected:
  std::unique_ptr<TSnap> Snap(long value) { return std::make_unique<TSnap>(value, &freed_); }
  std::multiset<long> freed_;
};

TEST_F(HistoryList, DepthMustLieBetweenOneAnd256AndOneKeepsTheLatest) {
  auto message = [&](int depth) {
    return testing::ErrorMessageOf([&] { THistoryList<TSnap> history(Snap(1), depth); });
  };
  EXPECT_EQ(message(0), "Invalid history list depth value");
  EXPECT_EQ(message(257), "Invalid history list depth value");
  EXPECT_EQ(message(256), "");

  // Depth one keeps only the latest state.
  freed_.clear();
  THistoryList<TSnap> history(Snap(1), 1);
  history.Add(Snap(2));
  EXPECT_EQ(freed_, std::multiset<long>{1});
  EXPECT_EQ(history.Count(), 1);
  EXPECT_FALSE(history.CanUndo());
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.Current().Value, 2);
}

TEST_F(HistoryList, FullRingDropsTheOldestAndUndoRedoWalkTheRest) {
  int changes = 0, undo_redos = 0;
  {
    THistoryList<TSnap> history(Snap(1), 4);
    history.OnChange = [&](THistoryList<TSnap>&) { ++changes; };
    history.OnUndoRedo = [&](THistoryList<TSnap>&) { ++undo_redos; };
    for (long n = 2; n <= 6; ++n) history.Add(Snap(n));
    EXPECT_EQ(history.Count(), 4);
    EXPECT_EQ(freed_, (std::multiset<long>{1, 2}));
    EXPECT_EQ(history.Item(0).Value, 3);
    EXPECT_EQ(history.Item(3).Value, 6);
    EXPECT_THROW(history.Item(4), EZentrope);
    EXPECT_THROW(history.Item(-1), EZentrope);

    history.Undo();
    history.Undo();
    history.Undo();
    EXPECT_EQ(history.Current().Value, 3);
    changes = undo_redos = 0;
    history.Undo();  // at the oldest: nothing, and no notification
    EXPECT_EQ(changes + undo_redos, 0);
    history.Redo();
    EXPECT_EQ(history.Current().Value, 4);
    EXPECT_EQ(undo_redos, 1);
    EXPECT_EQ(changes, 1);

    // A new state after an undo discards what Redo could have reached.
    history.Add(Snap(7));
    EXPECT_EQ(freed_, (std::multiset<long>{1, 2, 5, 6}));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Count(), 3);
  }
  // The history frees what it still holds when it goes.
  EXPECT_EQ(freed_, (std::multiset<long>{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(HistoryList, ClearReplaceAndDisabledHistoriesKeepOwnership) {
  {
    THistoryList<TSnap> history(Snap(1), 8);
    for (long n = 2; n <= 4; ++n) history.Add(Snap(n));
    history.Undo();
    int changes = 0;
    history.OnChange = [&](THistoryList<TSnap>&) { ++changes; };
    history.Replace(Snap(30));  // frees 3, no notification
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(history.Current().Value, 30);
    history.Clear();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(history.Count(), 1);
    EXPECT_EQ(history.Item(0).Value, 30);
    EXPECT_EQ(freed_, (std::multiset<long>{1, 2, 3, 4}));

    history.SetEnabled(false);
    history.Add(Snap(50));  // not recorded: freed at once
    history.Undo();
    EXPECT_EQ(history.Current().Value, 30);
    EXPECT_EQ(freed_.count(50), 1u);
  }
  EXPECT_EQ(freed_.count(30), 1u);
}

}  // namespace
}  // namespace zt
