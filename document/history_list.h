// The bounded undo/redo history that gradients, alpha channels, layers and
// documents keep of themselves: opaque snapshots in a ring buffer, one of them
// current. The history owns every snapshot handed to it and frees it through the
// owner's callback; it never looks inside one.
#pragma once

#include <functional>
#include <vector>

#include "platform/error.h"

namespace zt {

// Used on the thread of its owner (the user-interface thread).
class THistoryList {
 public:
  using TSnapshot = void*;
  using TFreeSnapshot = std::function<void(TSnapshot)>;
  using TNotify = std::function<void(THistoryList& sender)>;

  // Raises "Free procedure has not been assigned" without `free_snapshot` and
  // "Invalid history list depth value" for a depth outside 1 to 256.
  THistoryList(TFreeSnapshot free_snapshot, TSnapshot initial, int depth);
  ~THistoryList();
  THistoryList(const THistoryList&) = delete;
  THistoryList& operator=(const THistoryList&) = delete;

  // Records a new state after the current one; the states Redo could reach go.
  void Add(TSnapshot snapshot);
  void Undo();
  void Redo();
  bool CanUndo() const { return current_ != first_; }
  bool CanRedo() const { return current_ != last_; }
  // Frees the current snapshot and keeps `snapshot` in its place, without notice.
  void Replace(TSnapshot snapshot);
  // Keeps only the current snapshot.
  void Clear();
  int Count() const;
  // The snapshot `index` steps after the oldest; raises "Item does not exist in
  // history list" for an index outside 0 to Count() - 1.
  TSnapshot Item(int index) const;
  TSnapshot Current() const { return slots_[current_]; }
  int Depth() const { return depth_; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }

  TNotify OnChange;
  // After Undo or Redo moved the current snapshot, before OnChange.
  TNotify OnUndoRedo;

 private:
  int Next(int index) const { return index + 1 == depth_ ? 0 : index + 1; }
  int Previous(int index) const { return index == 0 ? depth_ - 1 : index - 1; }
  void Free(int index);
  void Notify(const TNotify& event);

  std::vector<TSnapshot> slots_;
  int depth_;
  int first_ = 0;
  int last_ = 0;
  int current_ = 0;
  bool enabled_ = true;
  TFreeSnapshot free_snapshot_;
};

}  // namespace zt
