// The owning lists of an entry's parameters and functions, which gather the
// changes of their items into one notification per update bracket and save and
// restore all values at once.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formula/language/param.h"

namespace zt {

// The values of all items of a list, in list order.
template <class TItem>
struct TValueSnapshot {
  std::vector<typename TItem::TSnapshotValue> Values;
  int Count() const { return static_cast<int>(Values.size()); }
};

// Common to TParamList and TFuncList. Items are owned by the list; a reference to
// an item stays valid until the item is deleted or the list cleared. The list
// installs its own handler as each item's OnChange and must not move, so it is
// neither copied nor moved. Used by one compiler object on its own thread only.
template <class TItem>
class TItemList {
 public:
  using TSnapshot = TValueSnapshot<TItem>;

  TItemList(const TItemList&) = delete;
  TItemList& operator=(const TItemList&) = delete;

  // Appends `item` and returns its index; a null item raises EParamError.
  int Add(std::unique_ptr<TItem> item);
  // Appends `item`, sorts the whole list by Caption without regard to case
  // (stable), and returns the item's new index.
  int AddSorted(std::unique_ptr<TItem> item);
  // Index of the first item whose Name equals `name` without regard to case, or -1.
  int IndexOfName(std::string_view name) const;

  TItem& Items(int index) const { return *items_[static_cast<std::size_t>(index)]; }
  int Count() const { return static_cast<int>(items_.size()); }
  void Delete(int index);
  void Clear();

  // While an update bracket is open, item changes only mark a pending change;
  // closing the outermost bracket fires OnChange once if one is pending.
  void BeginUpdate();
  void EndUpdate();

  TSnapshot SaveValues() const;
  // Sets every item's value inside one update bracket; does nothing when the
  // snapshot holds another number of items.
  void RestoreValues(const TSnapshot& snapshot);

  // Fired when an item changed (once per outermost update bracket).
  std::function<void()> OnChange;

 protected:
  explicit TItemList(std::string missing_item_message);
  ~TItemList() = default;

 private:
  void ItemChanged();

  std::string missing_item_message_;
  std::vector<std::unique_ptr<TItem>> items_;
  int update_count_ = 0;
  bool pending_ = false;
};

class TParamList : public TItemList<TParam> {
 public:
  TParamList();
};

class TFuncList : public TItemList<TFunc> {
 public:
  TFuncList();
};

extern template class TItemList<TParam>;
extern template class TItemList<TFunc>;

}  // namespace zt
