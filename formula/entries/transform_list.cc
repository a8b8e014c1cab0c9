// The owning, ordered chain of transformations and its change notifications.
#include "formula/entries/transform_list.h"

#include "platform/error.h"

namespace zt {

TTransform& TTransformList::Item(int index) const {
  CheckIndex(index, Count());
  return *items_[static_cast<std::size_t>(index)];
}

void TTransformList::CheckIndex(int index, int count) const {
  if (index < 0 || index >= count)
    throw EZentrope("List index out of bounds (" + std::to_string(index) + ")");
}

void TTransformList::Add(std::unique_ptr<TTransform> transform) {
  if (!transform || transform->IsEmpty()) throw EZentrope("Cannot add empty transformation");
  BeforeChange();
  items_.push_back(std::move(transform));
  Changed();
}

void TTransformList::Insert(int index, std::unique_ptr<TTransform> transform) {
  if (!transform || transform->IsEmpty()) throw EZentrope("Cannot insert empty transformation");
  CheckIndex(index, Count() + 1);
  BeforeChange();
  items_.insert(items_.begin() + index, std::move(transform));
  Changed();
}

void TTransformList::Move(int from, int to) {
  CheckIndex(from, Count());
  CheckIndex(to, Count());
  if (from == to) return;
  BeforeChange();
  auto item = std::move(items_[static_cast<std::size_t>(from)]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(item));
  Changed();
}

void TTransformList::Delete(int index) {
  CheckIndex(index, Count());
  BeforeChange();
  items_.erase(items_.begin() + index);
  Changed();
}

void TTransformList::Clear() {
  if (items_.empty()) return;
  BeforeChange();
  items_.clear();
  Changed();
}

void TTransformList::BeginUpdate() { ++update_count_; }

void TTransformList::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ == 0 && pending_) Changed();
}

int TTransformList::VariableBlockSize() const {
  int size = 0;
  for (const auto& item : items_) size += item->VariableBlockSize();
  return size;
}

void TTransformList::BeforeChange() {
  if (OnBeforeChange) OnBeforeChange(*this);
}

void TTransformList::Changed() {
  if (update_count_ > 0) {
    pending_ = true;
    return;
  }
  pending_ = false;
  if (OnChange) OnChange(*this);
}

}  // namespace zt
