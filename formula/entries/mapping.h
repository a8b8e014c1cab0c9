// A layer's location: where in the complex plane its image lies (center,
// magnification, rotation), the image size in pixels, and the chain of
// transformations that every pixel passes through after it has been mapped.
#pragma once

#include <complex>
#include <functional>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/entries/transform_list.h"
#include "platform/rect.h"

namespace zt {

using TComplex = std::complex<long double>;

// A mapping's part of a layer's undo record: the location and the chain of
// transformations in order.
struct TMappingSnapshot {
  TComplex Center{0, 0};
  long double Magnification = 1;
  long double Angle = 0;  // radians
  std::vector<TTransformSettings> Transforms;
};

// Always valid: the magnification is finite and above zero, and the scale, the
// sine and cosine of the angle and the corners follow every change.
//
// Changed on the user-interface thread only; each change fires OnChange. The
// calculation threads call MapPixel with their own calculation block, filled by
// FillCalcBlock before the calculation starts, while no change runs.
class TMapping {
 public:
  using TNotify = std::function<void(TMapping& sender)>;

  // Center 0, magnification 1, angle 0, an image of 0 x 0 pixels.
  TMapping();
  TMapping(const TMapping&) = delete;
  TMapping& operator=(const TMapping&) = delete;

  TComplex Center() const { return center_; }
  void SetCenter(TComplex center);

  long double Magnification() const { return magnification_; }
  // Raises EZentrope "Magnification must be larger than zero" for a value that is
  // not a finite number above zero; ignores a change of at most 0.0001 relative.
  void SetMagnification(long double magnification);

  // Radians in [0, 2 pi]; a change of at most 0.0001 is ignored.
  long double Angle() const { return angle_; }
  void SetAngle(long double radians);
  long double AngleDegrees() const;
  void SetAngleDegrees(long double degrees);
  long double Sine() const { return sine_; }
  long double Cosine() const { return cosine_; }

  int ImageWidth() const { return rect_.Width(); }
  int ImageHeight() const { return rect_.Height(); }
  // Negative sizes are ignored.
  void SetImageWidth(int width);
  void SetImageHeight(int height);
  // The rectangle of width x height pixels whose top-left corner is the origin,
  // (0, 0) unless moved. Pixels are counted from the origin: a layer that
  // calculates only a band of a larger image moves the origin to (0, -top), so
  // that its pixel row 0 is the image's row `top`.
  TRect ImageRect() const { return rect_; }
  void SetImageOrigin(int left, int top);

  // Complex units per pixel.
  long double Scale() const { return scale_; }

  // The 4:3 reference box around the center at this magnification: upper left
  // (x1, y1) and lower right (x2, y2).
  TComplex Corner1() const { return corner1_; }
  TComplex Corner2() const { return corner2_; }
  // Centers the location between two opposite corners (in any order) and
  // magnifies so that the 4:3 reference box just holds them. Raises the
  // magnification error when the corners coincide.
  void SetCorners(long double x1, long double y1, long double x2, long double y2);

  TTransformList& Transforms() { return transforms_; }
  const TTransformList& Transforms() const { return transforms_; }
  // The options of the chain's transformations: set on every item now and on
  // those the mapping makes later; whoever adds an item applies them first.
  const TCompileOptions& CompileOptions() const { return compile_options_; }
  void SetCompileOptions(const TCompileOptions& options);

  TMappingSnapshot SaveSnapshot() const;
  // Restores the location and rebuilds the chain: a transformation that already
  // holds the entry at its place keeps its compiled code. File errors pass on;
  // the chain then holds the transformations restored so far.
  void RestoreSnapshot(const TMappingSnapshot& snapshot);

  // Writes the location cells and the image size, and allocates and fills the
  // transformations' variable blocks.
  void FillCalcBlock(TCalcBlock& block) const;
  // Sets #pixel for the pixel (#x, #y) of the block moved by the sub-pixel
  // offsets dx, dy (0 without anti-aliasing), then runs the enabled
  // transformations in order until one sets #solid.
  void MapPixel(TCalcBlock& block, long double dx, long double dy) const;

  // Fired after every change of the location, the image size or the chain of
  // transformations.
  TNotify OnChange;

 private:
  void UpdateScale();
  void UpdateCorners();
  void Changed();

  TComplex center_{0, 0};
  TComplex corner1_;
  TComplex corner2_;
  long double magnification_ = 1;
  long double scale_ = 0;
  long double angle_ = 0;
  long double sine_ = 0;
  long double cosine_ = 1;
  TRect rect_;
  TTransformList transforms_;
  TCompileOptions compile_options_;
};

}  // namespace zt
