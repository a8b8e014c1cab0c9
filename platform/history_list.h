// The bounded undo/redo history that gradients, alpha channels and documents
// keep of themselves: snapshots of the owner's type in a ring buffer, one of
// them current. The history owns every snapshot handed to it and never looks
// inside one.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/error.h"

namespace zt {

// Used on the thread of its owner (the user-interface thread).
template <typename TSnapshot>
class THistoryList {
 public:
  using TNotify = std::function<void(THistoryList& sender)>;

  // Raises "Invalid history list depth value" for a depth outside 1 to 256.
  THistoryList(std::unique_ptr<TSnapshot> initial, int depth) : depth_(depth) {
    if (depth < 1 || depth > 256) throw EZentrope("Invalid history list depth value");
    slots_.resize(static_cast<std::size_t>(depth));
    slots_[0] = std::move(initial);
  }
  THistoryList(const THistoryList&) = delete;
  THistoryList& operator=(const THistoryList&) = delete;

  // Records a new state after the current one; the states Redo could reach go.
  // A disabled history drops the snapshot.
  void Add(std::unique_ptr<TSnapshot> snapshot) {
    if (!enabled_) return;
    for (int i = current_; i != last_;) {
      i = Next(i);
      slots_[i].reset();
    }
    const int next = Next(current_);
    if (next == first_) {
      slots_[first_].reset();
      first_ = Next(first_);
    }
    current_ = last_ = next;
    slots_[current_] = std::move(snapshot);
    Notify(OnChange);
  }

  void Undo() {
    if (!enabled_ || !CanUndo()) return;
    current_ = Previous(current_);
    Notify(OnUndoRedo);
    Notify(OnChange);
  }

  void Redo() {
    if (!enabled_ || !CanRedo()) return;
    current_ = Next(current_);
    Notify(OnUndoRedo);
    Notify(OnChange);
  }

  bool CanUndo() const { return current_ != first_; }
  bool CanRedo() const { return current_ != last_; }

  // Puts `snapshot` in the current one's place, without notice.
  void Replace(std::unique_ptr<TSnapshot> snapshot) {
    if (enabled_) slots_[current_] = std::move(snapshot);
  }

  // Keeps only the current snapshot.
  void Clear() {
    for (int i = first_;; i = Next(i)) {
      if (i != current_) slots_[i].reset();
      if (i == last_) break;
    }
    first_ = last_ = current_;
    Notify(OnChange);
  }

  int Count() const { return last_ >= first_ ? last_ + 1 - first_ : depth_ + 1 + last_ - first_; }

  // The snapshot `index` steps after the oldest; raises "Item does not exist in
  // history list" for an index outside 0 to Count() - 1.
  const TSnapshot& Item(int index) const {
    if (index < 0 || index >= Count()) throw EZentrope("Item does not exist in history list");
    return *slots_[(first_ + index) % depth_];
  }
  const TSnapshot& Current() const { return *slots_[current_]; }
  int Depth() const { return depth_; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }

  TNotify OnChange;
  // After Undo or Redo moved the current snapshot, before OnChange.
  TNotify OnUndoRedo;

 private:
  int Next(int index) const { return index + 1 == depth_ ? 0 : index + 1; }
  int Previous(int index) const { return index == 0 ? depth_ - 1 : index - 1; }
  void Notify(const TNotify& event) {
    if (event) event(*this);
  }

  std::vector<std::unique_ptr<TSnapshot>> slots_;
  int depth_;
  int first_ = 0;
  int last_ = 0;
  int current_ = 0;
  bool enabled_ = true;
};

}  // namespace zt
