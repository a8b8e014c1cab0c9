// The machinery that gradients and alpha channels share: a ring of 400 indices
// holding a sorted, doubly linked list of control points, update brackets,
// change notifications with undo merging, selection, rotation, and the rebuild
// of the convert table segment by segment. TOwner derives from it (curiously
// recurring) and supplies the value of a point and the table writers.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "color/color_types.h"
#include "platform/error.h"
#include "platform/history_list.h"
#include "platform/random.h"

namespace zt {

// Change kinds: 0 general, 1 a point moved or recolored, 2 rotation. Consecutive
// changes of the same nonzero kind merge into one undo step.
inline constexpr int kChangeGeneral = 0;
inline constexpr int kChangePoint = 1;
inline constexpr int kChangeRotation = 2;

// TOwner must provide:
//   static void SetValue(TPoint&, const TValue&);  static TValue ValueOf(const TPoint&);
//   TValue DefaultValue() const;  void ClearTable();  void WriteSegment(const TPoint&);
//   void RotateTable(int delta);  void AfterChangeDelivered();
// Used on the user-interface thread only.
template <typename TOwner, typename TPoint, typename TValue>
class TControlRing {
 public:
  struct TSnapshot {
    int Position = 0;
    bool Smooth = false;
    std::vector<std::pair<int, TValue>> Points;  // index, value
  };
  using TNotify = std::function<void(TOwner& sender)>;
  using TPointNotify = std::function<void(TOwner& sender, TPoint* point)>;

  TControlRing(const TControlRing&) = delete;
  TControlRing& operator=(const TControlRing&) = delete;

  TPoint* First() const { return first_; }
  TPoint* Last() const { return last_; }
  TPoint* Current() const { return current_; }
  int Count() const { return static_cast<int>(points_.size()); }
  int Position() const { return position_; }
  bool Smooth() const { return smooth_; }
  bool Modified() const { return modified_; }
  THistoryList<TSnapshot>& History() { return *history_; }
  TColorEntry* ConvertTable() const { return convert_; }

  void BeginUpdate() { ++update_count_; }
  void EndUpdate() {
    if (update_count_ == 0) return;
    if (--update_count_ > 0) return;
    const int pending = pending_;
    pending_ = 0;
    if (pending == 1) SelectionChanged();
    if (pending == 2) Changed(pending_kind_);
  }

  void Clear() {
    BeginUpdate();
    points_.clear();
    first_ = last_ = current_ = nullptr;
    Changed(kChangeGeneral);
    EndUpdate();
  }

  // Raises "Control point index out of range". A point already at `index` is
  // recolored instead of adding a second one.
  TPoint* InsertPoint(int index, const TValue& value) {
    CheckIndex(index);
    TPoint* at = first_;
    while (at && at->Index < index) at = at->Next;
    if (at && at->Index == index) {
      TOwner::SetValue(*at, value);
      PointChanged(at, kChangeGeneral);
      return at;
    }
    auto point = std::make_unique<TPoint>();
    TPoint* p = point.get();
    p->Index = index;
    TOwner::SetValue(*p, value);
    points_.push_back(std::move(point));
    LinkBefore(p, at);
    if (Count() == 1) SetCurrent(p);
    PointChanged(p, kChangeGeneral);
    return p;
  }

  // Raises "Control point index out of range" or "Specified control point does
  // not exist". The point stops one index before a neighbour it would pass.
  void MovePoint(TPoint* point, int index, const TValue& value) {
    CheckIndex(index);
    CheckPoint(point);
    const int low = point->Prev ? point->Prev->Index + 1 : 0;
    const int high = point->Next ? point->Next->Index - 1 : kGradientIndices - 1;
    point->Index = std::clamp(index, low, high);
    TOwner::SetValue(*point, value);
    PointChanged(point, kChangePoint);
  }

  // The last point is never lost: it gives way to a point of the default value
  // at index 0.
  void DeletePoint(TPoint* point) {
    CheckPoint(point);
    const bool was_current = current_ == point;
    if (Count() == 1) {
      points_.clear();
      first_ = last_ = current_ = nullptr;
      auto fresh = std::make_unique<TPoint>();
      TOwner::SetValue(*fresh, Owner().DefaultValue());
      first_ = last_ = fresh.get();
      points_.push_back(std::move(fresh));
      SetCurrent(first_);
      Changed(kChangeGeneral);
      return;
    }
    TPoint* neighbour = point->Next ? point->Next : point->Prev;
    Unlink(point);
    Free(point);
    if (was_current) SetCurrent(first_);
    PointChanged(neighbour, kChangeGeneral);
  }

  // Deleting the current point focuses the first one, which clears the
  // selection when that one is not selected; so the points go by a list made first.
  void DeleteSelected() {
    std::vector<TPoint*> selected;
    for (TPoint* p = first_; p; p = p->Next)
      if (p->Selected) selected.push_back(p);
    BeginUpdate();
    for (TPoint* p : selected) DeletePoint(p);
    EndUpdate();
  }

  void SelectPoint(TPoint* point, bool selected) {
    CheckPoint(point);
    point->Selected = selected;
    SelectionChanged();
  }
  void SelectAll() { SetAllSelected(true); }
  void DeselectAll() { SetAllSelected(false); }

  void SetCurrent(TPoint* point) {
    if (!point) {
      current_ = nullptr;
      return;
    }
    if (point == current_ && point->Selected) return;
    current_ = point;
    if (!point->Selected) {
      DeselectAll();
      point->Selected = true;
      SelectionChanged();
    }
  }

  // Rotates the points and the table; with no points nothing changes at all.
  void SetPosition(int position) {
    if (!first_) return;
    position = std::clamp(position, -kMaxPosition, kMaxPosition);
    if (position == position_) return;
    int delta = position - position_;
    position_ = position;
    std::vector<TPoint*> ring;
    for (TPoint* p = first_; p; p = p->Next) {
      p->Index = ((p->Index + delta) % kGradientIndices + kGradientIndices) % kGradientIndices;
      ring.push_back(p);
    }
    std::sort(ring.begin(), ring.end(),
              [](const TPoint* a, const TPoint* b) { return a->Index < b->Index; });
    Relink(ring);
    if (delta > 200) delta -= kGradientIndices;
    if (delta < -199) delta += kGradientIndices;
    Owner().RotateTable(delta);
    Changed(kChangeRotation);
  }

  void SetSmooth(bool smooth) {
    if (smooth == smooth_) return;
    smooth_ = smooth;
    Changed(kChangeGeneral);
  }

  void Reverse() {
    std::vector<TPoint*> ring;
    for (TPoint* p = last_; p; p = p->Prev) {
      p->Index = kGradientIndices - 1 - p->Index;
      ring.push_back(p);
    }
    Relink(ring);
    Changed(kChangeGeneral);
  }

  // The next change starts a new undo step (the end of a drag or of typing).
  void EndMerge() { last_change_kind_ = 0; }

  TSnapshot SaveSnapshot() const { return *TakeSnapshot(); }

  // Makes the present state the history's only one, unmodified.
  void ResetHistory() {
    history_->Replace(TakeSnapshot());
    history_->Clear();
    modified_ = false;
  }

  void AssignSnapshot(const TSnapshot& snapshot) {
    EndMerge();
    BeginUpdate();
    Restore(snapshot);
    EndUpdate();
  }

  // Points from a random start below `start_limit` (halved when `halve_start`),
  // spaced 40 to 189 apart, each valued by `next_value`.
  void RandomizeWith(int start_limit, bool halve_start, const std::function<TValue()>& next_value) {
    BeginUpdate();
    SetPosition(0);
    Clear();
    TRandom& random = ProgramRandom();
    int index = static_cast<int>(random.Random(start_limit));
    if (halve_start) index /= 2;
    while (index < kGradientIndices) {
      InsertPoint(index, next_value());
      index += static_cast<int>(random.Random(150)) + 40;
    }
    EndUpdate();
  }

  // `count` points (clamped to 1 to 400) spread evenly round the ring.
  void RandomizeCountWith(int count, const std::function<TValue()>& next_value) {
    count = std::clamp(count, 1, kGradientIndices);
    BeginUpdate();
    SetPosition(0);
    Clear();
    for (int i = 0; i < count; ++i) {
      InsertPoint((2 * i * kGradientIndices + count) / (2 * count), next_value());
    }
    EndUpdate();
  }

  TNotify OnChange;
  TNotify OnDestroy;
  TPointNotify OnPointChange;

 protected:
  // Raises "Convert table does not exist" or "Temporary table does not exist".
  TControlRing(TColorEntry* convert, TColorEntry* temporary)
      : convert_(convert), temporary_(temporary) {
    if (!convert_) throw EZentrope("Convert table does not exist");
    if (!temporary_) throw EZentrope("Temporary table does not exist");
  }
  explicit TControlRing(std::unique_ptr<TColorTables> tables)
      : TControlRing(tables->Convert, tables->Temporary) {
    owned_tables_ = std::move(tables);
  }
  ~TControlRing() = default;

  // The owner calls this once its default points are in place.
  void StartHistory() {
    modified_ = false;
    history_ = std::make_unique<THistoryList<TSnapshot>>(TakeSnapshot(), 64);
    history_->OnUndoRedo = [this](THistoryList<TSnapshot>& history) {
      RestoreFromHistory(history.Current());
    };
  }

  static void CheckIndex(int index) {
    if (index < 0 || index >= kGradientIndices) throw EZentrope("Control point index out of range");
  }

  TColorEntry* TemporaryTable() const { return temporary_; }
  bool InUpdate() const { return update_count_ > 0; }
  void SetModified(bool modified) { modified_ = modified; }

  void Changed(int kind) {
    if (InUpdate()) {
      MarkPending(kind);
      return;
    }
    Record(kind);
    if (kind != kChangeRotation) RebuildAll();
    Deliver(kind, nullptr);
  }

  void PointChanged(TPoint* point, int kind) {
    if (InUpdate()) {
      MarkPending(kind);
      return;
    }
    Record(kind);
    RebuildAround(point);
    Deliver(kind, point);
  }

  void SelectionChanged() {
    if (InUpdate()) {
      if (pending_ == 0) pending_ = 1;
      return;
    }
    pending_ = 0;
    modified_ = true;
    if (OnPointChange) OnPointChange(Owner(), nullptr);
  }

  void RebuildAll() {
    if (!first_) {
      Owner().ClearTable();
      return;
    }
    for (TPoint* p = first_; p; p = p->Next) Owner().WriteSegment(*p);
  }

  // The neighbours of a segment on the ring.
  TPoint* Before(const TPoint& p) const { return p.Prev ? p.Prev : last_; }
  TPoint* After(const TPoint& p) const { return p.Next ? p.Next : first_; }

 private:
  TOwner& Owner() { return static_cast<TOwner&>(*this); }

  // A point that is not (or no longer) ours is as missing as none.
  void CheckPoint(const TPoint* point) const {
    const bool ours = point && std::any_of(points_.begin(), points_.end(),
                                           [point](const auto& p) { return p.get() == point; });
    if (!ours) throw EZentrope("Specified control point does not exist");
  }

  void LinkBefore(TPoint* p, TPoint* at) {
    p->Next = at;
    p->Prev = at ? at->Prev : last_;
    (p->Prev ? p->Prev->Next : first_) = p;
    (at ? at->Prev : last_) = p;
  }

  void Unlink(TPoint* p) {
    (p->Prev ? p->Prev->Next : first_) = p->Next;
    (p->Next ? p->Next->Prev : last_) = p->Prev;
  }

  void Free(TPoint* p) {
    std::erase_if(points_, [p](const auto& owned) { return owned.get() == p; });
  }

  void Relink(const std::vector<TPoint*>& ring) {
    first_ = last_ = nullptr;
    for (TPoint* p : ring) LinkBefore(p, nullptr);
  }

  void SetAllSelected(bool selected) {
    for (TPoint* p = first_; p; p = p->Next) p->Selected = selected;
    SelectionChanged();
  }

  void MarkPending(int kind) {
    if (pending_ < 2) {
      pending_ = 2;
      pending_kind_ = kind;
    } else if (kind != pending_kind_) {
      pending_kind_ = 0;
    }
  }

  void Record(int kind) {
    if (!history_) return;  // the owner's constructor is still laying out its defaults
    if (kind == kChangeGeneral || kind != last_change_kind_) {
      history_->Add(TakeSnapshot());
    } else {
      history_->Replace(TakeSnapshot());
    }
  }

  void Deliver(int kind, TPoint* point) {
    if (OnChange) OnChange(Owner());
    pending_ = 0;
    modified_ = true;
    last_change_kind_ = kind;
    if (OnPointChange) OnPointChange(Owner(), point);
    Owner().AfterChangeDelivered();
  }

  // Linear segments reach one point back; smooth ones two back and one ahead.
  void RebuildAround(TPoint* point) {
    if (smooth_ && Count() < 4) {
      RebuildAll();
      return;
    }
    std::vector<TPoint*> affected{point};
    if (smooth_) {
      affected = {Before(*Before(*point)), Before(*point), point, After(*point)};
    } else if (Count() >= 2) {
      affected.push_back(Before(*point));
    }
    // The ring's last segment must come last: it ends in the first point's entry.
    std::sort(affected.begin(), affected.end(),
              [](const TPoint* a, const TPoint* b) { return a->Index < b->Index; });
    affected.erase(std::unique(affected.begin(), affected.end()), affected.end());
    for (TPoint* p : affected) Owner().WriteSegment(*p);
  }

  std::unique_ptr<TSnapshot> TakeSnapshot() const {
    auto snapshot = std::make_unique<TSnapshot>();
    snapshot->Position = position_;
    snapshot->Smooth = smooth_;
    for (TPoint* p = first_; p; p = p->Next)
      snapshot->Points.emplace_back(p->Index, TOwner::ValueOf(*p));
    return snapshot;
  }

  void Restore(const TSnapshot& snapshot) {
    Clear();
    for (const auto& [index, value] : snapshot.Points) InsertPoint(index, value);
    position_ = snapshot.Position;
    SetSmooth(snapshot.Smooth);
  }

  // Undo and redo: the restored state is the history's own, so no new step.
  void RestoreFromHistory(const TSnapshot& snapshot) {
    ++update_count_;
    Restore(snapshot);
    --update_count_;
    const int pending = pending_;
    pending_ = 0;
    last_change_kind_ = 0;
    if (pending == 2) {
      RebuildAll();
      if (OnChange) OnChange(Owner());
    }
    if (pending != 0) {
      modified_ = true;
      if (OnPointChange) OnPointChange(Owner(), nullptr);
    }
    if (pending == 2) Owner().AfterChangeDelivered();
  }

  std::unique_ptr<TColorTables> owned_tables_;
  std::vector<std::unique_ptr<TPoint>> points_;
  TPoint* first_ = nullptr;
  TPoint* last_ = nullptr;
  TPoint* current_ = nullptr;
  std::unique_ptr<THistoryList<TSnapshot>> history_;
  int position_ = 0;
  TColorEntry* convert_;
  TColorEntry* temporary_;
  int last_change_kind_ = 0;
  int update_count_ = 0;
  int pending_ = 0;
  int pending_kind_ = 0;
  bool smooth_ = false;
  bool modified_ = false;
};

}  // namespace zt
