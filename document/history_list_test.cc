// Tests of the undo history: the ring buffer at its bounds, what Add discards,
// notifications, and that every snapshot handed over is freed exactly once.
#include "document/history_list.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "testing/test_support.h"

namespace zt {
namespace {

// Snapshots are distinct small integers cast to pointers; freeing records them.
struct TFreed {
  std::multiset<long> Values;
  THistoryList::TFreeSnapshot Callback() {
    return [this](THistoryList::TSnapshot s) { Values.insert(reinterpret_cast<long>(s)); };
  }
};

THistoryList::TSnapshot Snap(long n) { return reinterpret_cast<THistoryList::TSnapshot>(n); }
long Value(THistoryList::TSnapshot s) { return reinterpret_cast<long>(s); }

TEST(HistoryList, CreationChecksItsArguments) {
  TFreed freed;
  auto message = [&](THistoryList::TFreeSnapshot free, int depth) {
    return testing::ErrorMessageOf([&] { THistoryList history(std::move(free), Snap(1), depth); });
  };
  EXPECT_EQ(message(nullptr, 4), "Free procedure has not been assigned");
  EXPECT_EQ(message(freed.Callback(), 0), "Invalid history list depth value");
  EXPECT_EQ(message(freed.Callback(), 257), "Invalid history list depth value");
  EXPECT_EQ(message(freed.Callback(), 256), "");
}

TEST(HistoryList, DepthOneKeepsOnlyTheLatestState) {
  TFreed freed;
  THistoryList history(freed.Callback(), Snap(1), 1);
  history.Add(Snap(2));
  EXPECT_EQ(freed.Values, std::multiset<long>{1});
  EXPECT_EQ(history.Count(), 1);
  EXPECT_FALSE(history.CanUndo());
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(Value(history.Current()), 2);
}

TEST(HistoryList, FullRingDropsTheOldestAndUndoRedoWalkTheRest) {
  TFreed freed;
  int changes = 0, undo_redos = 0;
  {
    THistoryList history(freed.Callback(), Snap(1), 4);
    history.OnChange = [&](THistoryList&) { ++changes; };
    history.OnUndoRedo = [&](THistoryList&) { ++undo_redos; };
    for (long n = 2; n <= 6; ++n) history.Add(Snap(n));
    EXPECT_EQ(history.Count(), 4);
    EXPECT_EQ(freed.Values, (std::multiset<long>{1, 2}));
    EXPECT_EQ(Value(history.Item(0)), 3);
    EXPECT_EQ(Value(history.Item(3)), 6);
    EXPECT_THROW(history.Item(4), EZentrope);
    EXPECT_THROW(history.Item(-1), EZentrope);

    history.Undo();
    history.Undo();
    history.Undo();
    EXPECT_EQ(Value(history.Current()), 3);
    changes = undo_redos = 0;
    history.Undo();  // at the oldest: nothing, and no notification
    EXPECT_EQ(changes + undo_redos, 0);
    history.Redo();
    EXPECT_EQ(Value(history.Current()), 4);
    EXPECT_EQ(undo_redos, 1);
    EXPECT_EQ(changes, 1);

    // A new state after an undo discards what Redo could have reached.
    history.Add(Snap(7));
    EXPECT_EQ(freed.Values, (std::multiset<long>{1, 2, 5, 6}));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Count(), 3);
  }
  // The history frees what it still holds when it goes.
  EXPECT_EQ(freed.Values, (std::multiset<long>{1, 2, 3, 4, 5, 6, 7}));
}

TEST(HistoryList, ClearReplaceAndDisabledHistoriesKeepOwnership) {
  TFreed freed;
  {
    THistoryList history(freed.Callback(), Snap(1), 8);
    for (long n = 2; n <= 4; ++n) history.Add(Snap(n));
    history.Undo();
    int changes = 0;
    history.OnChange = [&](THistoryList&) { ++changes; };
    history.Replace(Snap(30));  // frees 3, no notification
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(Value(history.Current()), 30);
    history.Clear();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(history.Count(), 1);
    EXPECT_EQ(Value(history.Item(0)), 30);
    EXPECT_EQ(freed.Values, (std::multiset<long>{1, 2, 3, 4}));

    history.SetEnabled(false);
    history.Add(Snap(50));  // not recorded, but owned: freed at once
    history.Undo();
    EXPECT_EQ(Value(history.Current()), 30);
    EXPECT_EQ(freed.Values.count(50), 1u);
  }
  EXPECT_EQ(freed.Values.count(30), 1u);
}

}  // namespace
}  // namespace zt
