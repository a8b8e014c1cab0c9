// The parameter and function lists: ownership, sorting by caption, change
// bracketing and value snapshots.
#include "formula/language/param_list.h"

#include <algorithm>

#include "platform/text.h"

namespace zt {

template <class TItem>
TItemList<TItem>::TItemList(std::string missingItemMessage)
    : missing_item_message_(std::move(missingItemMessage)) {}

template <class TItem>
int TItemList<TItem>::Add(std::unique_ptr<TItem> item) {
  if (!item) throw EParamError(missing_item_message_);
  item->OnChange = [this](TParamBase&) { ItemChanged(); };
  items_.push_back(std::move(item));
  return Count() - 1;
}

template <class TItem>
int TItemList<TItem>::AddSorted(std::unique_ptr<TItem> item) {
  const TItem* added = item.get();
  Add(std::move(item));
  std::stable_sort(items_.begin(), items_.end(),
                   [](const std::unique_ptr<TItem>& a, const std::unique_ptr<TItem>& b) {
                     return CompareText(a->Caption(), b->Caption()) < 0;
                   });
  const auto it =
      std::find_if(items_.begin(), items_.end(),
                   [added](const std::unique_ptr<TItem>& p) { return p.get() == added; });
  return static_cast<int>(it - items_.begin());
}

template <class TItem>
int TItemList<TItem>::IndexOfName(std::string_view name) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (SameText(items_[i]->Name(), name)) return static_cast<int>(i);
  }
  return -1;
}

template <class TItem>
void TItemList<TItem>::Delete(int index) {
  items_.erase(items_.begin() + index);
}

template <class TItem>
void TItemList<TItem>::Clear() {
  items_.clear();
}

template <class TItem>
void TItemList<TItem>::BeginUpdate() {
  ++update_count_;
}

template <class TItem>
void TItemList<TItem>::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ > 0 || !pending_) return;
  pending_ = false;
  if (OnChange) OnChange();
}

template <class TItem>
void TItemList<TItem>::ItemChanged() {
  if (update_count_ > 0) {
    pending_ = true;
  } else if (OnChange) {
    OnChange();
  }
}

template <class TItem>
typename TItemList<TItem>::TSnapshot TItemList<TItem>::SaveValues() const {
  TSnapshot snapshot;
  snapshot.Values.reserve(items_.size());
  for (const auto& item : items_) snapshot.Values.push_back(item->GetValue());
  return snapshot;
}

template <class TItem>
void TItemList<TItem>::RestoreValues(const TSnapshot& snapshot) {
  if (snapshot.Count() != Count()) return;
  BeginUpdate();
  for (std::size_t i = 0; i < items_.size(); ++i) items_[i]->SetValue(snapshot.Values[i]);
  EndUpdate();
}

template class TItemList<TParam>;
template class TItemList<TFunc>;

TParamList::TParamList() : TItemList<TParam>("Cannot add empty parameter") {}

TFuncList::TFuncList() : TItemList<TFunc>("Cannot add empty function") {}

}  // namespace zt
