// The undo history's ring buffer.
#include "document/history_list.h"

namespace zt {

THistoryList::THistoryList(TFreeSnapshot free_snapshot, TSnapshot initial, int depth)
    : depth_(depth), free_snapshot_(std::move(free_snapshot)) {
  if (!free_snapshot_) throw EZentrope("Free procedure has not been assigned");
  if (depth < 1 || depth > 256) throw EZentrope("Invalid history list depth value");
  slots_.assign(static_cast<std::size_t>(depth), nullptr);
  slots_[0] = initial;
}

THistoryList::~THistoryList() {
  for (int i = first_;; i = Next(i)) {
    Free(i);
    if (i == last_) break;
  }
}

void THistoryList::Free(int index) {
  if (slots_[index]) free_snapshot_(slots_[index]);
  slots_[index] = nullptr;
}

void THistoryList::Notify(const TNotify& event) {
  if (event) event(*this);
}

void THistoryList::Add(TSnapshot snapshot) {
  if (!enabled_) {
    // The history owns what it is given, recorded or not.
    free_snapshot_(snapshot);
    return;
  }
  for (int i = current_; i != last_;) {
    i = Next(i);
    Free(i);
  }
  int next = Next(current_);
  if (next == first_) {
    Free(first_);
    first_ = Next(first_);
  }
  current_ = last_ = next;
  slots_[current_] = snapshot;
  Notify(OnChange);
}

void THistoryList::Undo() {
  if (!enabled_ || !CanUndo()) return;
  current_ = Previous(current_);
  Notify(OnUndoRedo);
  Notify(OnChange);
}

void THistoryList::Redo() {
  if (!enabled_ || !CanRedo()) return;
  current_ = Next(current_);
  Notify(OnUndoRedo);
  Notify(OnChange);
}

void THistoryList::Replace(TSnapshot snapshot) {
  if (!enabled_) {
    free_snapshot_(snapshot);
    return;
  }
  Free(current_);
  slots_[current_] = snapshot;
}

void THistoryList::Clear() {
  for (int i = first_;; i = Next(i)) {
    if (i != current_) Free(i);
    if (i == last_) break;
  }
  first_ = last_ = current_;
  Notify(OnChange);
}

int THistoryList::Count() const {
  return last_ >= first_ ? last_ + 1 - first_ : depth_ + 1 + last_ - first_;
}

THistoryList::TSnapshot THistoryList::Item(int index) const {
  if (index < 0 || index >= Count()) throw EZentrope("Item does not exist in history list");
  return slots_[(first_ + index) % depth_];
}

}  // namespace zt
