// What the gradient and alpha channel editors do to their object, in one form for
// both: control points addressed by their place in the list (0 = lowest index),
// the values a point shows as channels (red, green, blue or hue, saturation,
// luminance, or opacity), the convert table as colors and channel curves, and the
// editing operations. The strip, the curves and the editor window work on this
// interface only, so they serve both kinds of object.
#pragma once

#include <QRgb>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "color/color_types.h"
#include "color/control_ring.h"
#include "platform/user_interface.h"
#include "ui/hook_chain.h"

namespace zt {

struct TChannelInfo {
  QString Name;
  int Max = 255;
  QRgb Color = 0;  // of its curve
};

// User-interface thread only, like the objects it edits. Point numbers must be
// below Count(). Edits that place or recolor one point are changes of the
// "point moved or recolored" kind, so a drag or a run of input is one undo step
// until EndMerge.
class TRingEditing {
 public:
  virtual ~TRingEditing() = default;

  virtual TEntryBrowseKind Kind() const = 0;
  // The edited object, to tell editors of the same object apart, and whether it
  // is the editor's own rather than a layer's.
  virtual const void* Object() const = 0;
  virtual bool OwnsObject() const = 0;
  virtual int Count() const = 0;
  virtual int IndexOf(int n) const = 0;
  virtual bool Selected(int n) const = 0;
  // The focused point, or -1.
  virtual int Current() const = 0;

  virtual int ChannelCount() const = 0;
  virtual TChannelInfo Channel(int c) const = 0;
  virtual int ChannelValue(int n, int c) const = 0;
  virtual void SetChannelValue(int n, int c, int value) = 0;
  // The channel as the convert table holds it at `entry` (0 to 51,199).
  virtual int TableChannel(int entry, int c) const = 0;
  // The convert table's entry as a color with its opacity.
  virtual QRgb TableColor(int entry) const = 0;
  // A point's color for its marker.
  virtual QRgb PointColor(int n) const = 0;

  // A point at `index` with the value the table has there; returns its number.
  virtual int Insert(int index) = 0;
  // Moves the point; it stops before a neighbour it would pass. Returns its number.
  virtual int Move(int n, int index) = 0;
  virtual void SetCurrent(int n) = 0;
  virtual void Select(int n, bool selected) = 0;
  virtual void SelectAll() = 0;
  virtual void DeleteSelected() = 0;
  // The selected points, kept for Paste in this program run.
  virtual void Copy() = 0;
  virtual bool CanPaste() const = 0;
  // The copied points, spaced as they were, from the current point's index on
  // (index 0 without one); they become the selection. One undo step.
  virtual void Paste() = 0;

  virtual int Position() const = 0;
  virtual void SetPosition(int position) = 0;
  virtual bool Smooth() const = 0;
  virtual void SetSmooth(bool smooth) = 0;
  virtual void Reverse() = 0;
  virtual void Invert() = 0;
  virtual QStringList RandomStyles() const = 0;
  virtual void Randomize(int style) = 0;
  virtual void RandomizeCount(int count) = 0;

  virtual void EndMerge() = 0;
  // The present state becomes the history's only one.
  virtual void ResetHistory() = 0;
  virtual bool CanUndo() const = 0;
  virtual bool CanRedo() const = 0;
  virtual void Undo() = 0;
  virtual void Redo() = 0;

  // An entry of a collection file of Kind(); LoadEntry returns the entry's title.
  // Both raise the library's errors; SaveEntry is false when the person cancelled
  // the overwrite question.
  virtual std::string LoadEntry(const std::string& file, const std::string& entry) = 0;
  virtual bool SaveEntry(const std::string& file, const std::string& title) = 0;

  // `changed` after every change of the object (from the editor or elsewhere),
  // `destroyed` when the object is about to go; chained after the handlers the
  // object has. The editing object must not be used after `destroyed`.
  virtual void Listen(std::function<void()> changed, std::function<void()> destroyed) = 0;
};

// The part both kinds share, over a TControlRing owner `TRing` whose points are
// `TPoint` and values `TValue`.
template <class TRing, class TPoint, class TValue>
class TRingEditingOf : public TRingEditing {
 public:
  // `ring` must outlive this object.
  explicit TRingEditingOf(TRing& ring) : ring_(ring) {}
  explicit TRingEditingOf(std::unique_ptr<TRing> owned)
      : owned_(std::move(owned)), ring_(*owned_) {}
  ~TRingEditingOf() override {
    change_hook_.Unhook();
    destroy_hook_.Unhook();
  }

  TRing& Ring() const { return ring_; }
  const void* Object() const override { return &ring_; }
  bool OwnsObject() const override { return owned_ != nullptr; }

  int Count() const override { return ring_.Count(); }
  int IndexOf(int n) const override { return Point(n)->Index; }
  bool Selected(int n) const override { return Point(n)->Selected; }
  int Current() const override { return NumberOf(ring_.Current()); }

  int Insert(int index) override {
    return NumberOf(ring_.InsertPoint(index, TableValue(index * kEntriesPerIndex)));
  }
  int Move(int n, int index) override {
    TPoint* point = Point(n);
    ring_.MovePoint(point, index, PointValue(*point));
    return NumberOf(point);
  }
  void SetCurrent(int n) override { ring_.SetCurrent(Point(n)); }
  void Select(int n, bool selected) override { ring_.SelectPoint(Point(n), selected); }
  void SelectAll() override { ring_.SelectAll(); }
  void DeleteSelected() override { ring_.DeleteSelected(); }

  void Copy() override {
    Clipboard().clear();
    for (TPoint* p = ring_.First(); p; p = p->Next)
      if (p->Selected) Clipboard().emplace_back(p->Index, PointValue(*p));
  }
  bool CanPaste() const override { return !Clipboard().empty(); }
  void Paste() override {
    if (Clipboard().empty()) return;
    const int base = ring_.Current() ? ring_.Current()->Index : 0;
    const int first = Clipboard().front().first;
    ring_.BeginUpdate();
    ring_.DeselectAll();
    for (const auto& [index, value] : Clipboard()) {
      TPoint* p = ring_.InsertPoint((base + index - first) % kGradientIndices, value);
      p->Selected = true;  // the bracket delivers one notification at its end
    }
    ring_.EndUpdate();
  }

  int Position() const override { return ring_.Position(); }
  void SetPosition(int position) override { ring_.SetPosition(position); }
  bool Smooth() const override { return ring_.Smooth(); }
  void SetSmooth(bool smooth) override { ring_.SetSmooth(smooth); }
  void Reverse() override { ring_.Reverse(); }
  void Invert() override { ring_.Invert(); }
  void RandomizeCount(int count) override { ring_.RandomizeCount(count); }

  void EndMerge() override { ring_.EndMerge(); }
  void ResetHistory() override { ring_.ResetHistory(); }
  bool CanUndo() const override { return ring_.History().CanUndo(); }
  bool CanRedo() const override { return ring_.History().CanRedo(); }
  void Undo() override { ring_.History().Undo(); }
  void Redo() override { ring_.History().Redo(); }

  void Listen(std::function<void()> changed, std::function<void()> destroyed) override {
    change_hook_.Hook(ring_.OnChange, std::move(changed));
    destroy_hook_.Hook(ring_.OnDestroy, [this, destroyed = std::move(destroyed)] {
      change_hook_.Unhook();
      destroy_hook_.Unhook();
      if (destroyed) destroyed();
    });
  }

 protected:
  // The value the convert table holds at `entry`.
  virtual TValue TableValue(int entry) const = 0;
  virtual TValue PointValue(const TPoint& point) const = 0;

  TPoint* Point(int n) const {
    TPoint* p = ring_.First();
    for (int i = 0; i < n && p; ++i) p = p->Next;
    if (!p) throw EZentrope("Specified control point does not exist");
    return p;
  }
  int NumberOf(const TPoint* point) const {
    int n = 0;
    for (TPoint* p = ring_.First(); p; p = p->Next, ++n)
      if (p == point) return n;
    return -1;
  }

 private:
  // One per kind of object, for the whole program run.
  static std::vector<std::pair<int, TValue>>& Clipboard() {
    static std::vector<std::pair<int, TValue>> points;
    return points;
  }

  std::unique_ptr<TRing> owned_;
  TRing& ring_;
  TChainedHook<TRing> change_hook_;
  TChainedHook<TRing> destroy_hook_;
};

}  // namespace zt
