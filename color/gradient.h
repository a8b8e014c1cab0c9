// The color gradient of a layer: control points with 12-bit colors on a ring of
// 400 indices, from which it writes the blue, green and red bytes of the layer's
// convert table (the alpha channel owns the opacity byte). The layer owns both
// tables and hands them in; they must outlive the gradient.
#pragma once

#include <array>
#include <filesystem>
#include <memory>

#include "color/color_types.h"
#include "color/control_ring.h"

namespace zt {

struct TGradientPoint {
  TGradientPoint* Next = nullptr;
  TGradientPoint* Prev = nullptr;
  TRGB12 Color;
  THSL Hsl;  // always the conversion of color
  int32_t Index = 0;
  bool Selected = false;
};

// Used on the user-interface thread only; it has no locks, and every edit
// rewrites the convert table in place.
class TGradient : public TControlRing<TGradient, TGradientPoint, TRGB12> {
 public:
  // The built-in gradient, edited in RGB or HSL mode. Raises "Convert table does
  // not exist" or "Temporary table does not exist".
  TGradient(TColorEntry* convert_table, TColorEntry* temporary_table, bool rgb_mode = true);
  // A gradient with tables of its own.
  explicit TGradient(bool rgb_mode = true);
  ~TGradient();

  bool RGBMode() const { return rgb_mode_; }
  void SetRGBMode(bool rgb_mode);

  // As MovePoint, with the color given in HSL.
  void MovePointHSL(TGradientPoint* point, int index, const THSL& hsl);
  void Invert();
  // Random colors (style 1), light and dark with one or two muted channels
  // (style 2), dark and light (style 3).
  void Randomize1();
  void Randomize2();
  void Randomize3();
  void RandomizeCount(int count);

  // Raises "Could not open MAP palette file '<name>'" or "Error reading MAP palette file".
  void ImportMAP(const std::filesystem::path& file_name);
  // Fits straight runs of the 256 colors (8 bits per channel) with a tolerance of
  // 4 and places a control point at each bend.
  void ImportPalette(const std::array<TRGB12, 256>& colors8, bool skip_first, bool skip_last);

 private:
  friend class TControlRing<TGradient, TGradientPoint, TRGB12>;

  static void SetValue(TGradientPoint& point, const TRGB12& color);
  static TRGB12 ValueOf(const TGradientPoint& point) { return point.Color; }
  TRGB12 DefaultValue() const { return {}; }
  void ClearTable();
  void WriteSegment(const TGradientPoint& point);
  void RotateTable(int delta);
  void AfterChangeDelivered() {}
  void BuildDefault(bool rgb_mode);

  bool rgb_mode_ = true;
};

}  // namespace zt
