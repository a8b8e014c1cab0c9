// The ordered chain of transformations of a mapping, with change notifications
// that let the owner stop a calculation before the chain changes under it.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "formula/entries/transform.h"

namespace zt {

// Owns its transformations; a reference to one stays valid until it is deleted
// or the list cleared. Only transformations that hold an entry are accepted.
//
// Every change first fires OnBeforeChange (always at once, so the owner can stop
// a running calculation) and then OnChange; while an update bracket is open,
// OnChange is only marked pending and fires once when the outermost bracket
// closes. The transformations' own events (recompilation) are the owner's to
// watch. Used on the user-interface thread only; calculation threads read the
// items while no change runs.
class TTransformList {
 public:
  using TNotify = std::function<void(TTransformList& sender)>;

  TTransformList() = default;
  TTransformList(const TTransformList&) = delete;
  TTransformList& operator=(const TTransformList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EZentrope "List index out of bounds (n)" for a wrong index.
  TTransform& Item(int index) const;

  // Raise "Cannot add empty transformation" / "Cannot insert empty
  // transformation" for a null or empty transformation; the list is unchanged
  // then. Insert accepts positions 0 to Count().
  void Add(std::unique_ptr<TTransform> transform);
  void Insert(int index, std::unique_ptr<TTransform> transform);
  // Moves the item at `from` so that it ends up at index `to`.
  void Move(int from, int to);
  void Delete(int index);
  void Clear();

  void BeginUpdate();
  void EndUpdate();

  // The sum of the items' variable-block sizes: the bytes of the chain's
  // variables in a calculation block.
  int VariableBlockSize() const;

  TNotify OnBeforeChange;
  TNotify OnChange;

 private:
  void CheckIndex(int index, int count) const;
  void BeforeChange();
  void Changed();

  std::vector<std::unique_ptr<TTransform>> items_;
  int update_count_ = 0;
  bool pending_ = false;
};

}  // namespace zt
