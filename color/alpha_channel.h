// The opacity counterpart of the gradient: control points with opacities (0
// transparent to 255 opaque) on the same ring, written into the fourth byte of
// the gradient entries of the layer's convert table. The layer owns both tables
// and hands them in; they must outlive the channel.
#pragma once

#include <memory>

#include "color/color_types.h"
#include "color/control_ring.h"

namespace zt {

struct TAlphaPoint {
  TAlphaPoint* Next = nullptr;
  TAlphaPoint* Prev = nullptr;
  int32_t Index = 0;
  int32_t Opacity = 0;
  bool Selected = false;
};

// Used on the user-interface thread only; it has no locks.
class TAlphaChannel : public TControlRing<TAlphaChannel, TAlphaPoint, int> {
 public:
  // Raises "Convert table does not exist" or "Temporary table does not exist".
  TAlphaChannel(TColorEntry* convert_table, TColorEntry* temporary_table);
  // A channel with tables of its own.
  TAlphaChannel();
  ~TAlphaChannel();

  // Raise "Control point index out of range", then "Opacity value out of range",
  // then (MovePoint) "Specified control point does not exist".
  TAlphaPoint* InsertPoint(int index, int opacity);
  void MovePoint(TAlphaPoint* point, int index, int opacity);

  // Some point has an opacity below 255; updated after every delivered change.
  bool Transparent() const { return transparent_; }
  void Invert();
  void Randomize();
  void RandomizeCount(int count);

  // Sent after every delivered change, once Transparent() is up to date.
  TNotify OnTransparencyChange;

 private:
  friend class TControlRing<TAlphaChannel, TAlphaPoint, int>;
  using TRing = TControlRing<TAlphaChannel, TAlphaPoint, int>;

  static void SetValue(TAlphaPoint& point, int opacity) { point.Opacity = opacity; }
  static int ValueOf(const TAlphaPoint& point) { return point.Opacity; }
  int DefaultValue() const { return 255; }
  void ClearTable() {}
  void WriteSegment(const TAlphaPoint& point);
  void RotateTable(int delta);
  void AfterChangeDelivered();
  void BuildDefault();

  bool transparent_ = false;
};

}  // namespace zt
