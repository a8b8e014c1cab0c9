// The location of a layer: its derived values, its part of the calculation block
// and the mapping of pixels to the complex plane through the transformations.
#include "formula/entries/mapping.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

#include "formula/codegen/entry_thunk.h"
#include "platform/error.h"

namespace zt {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kTwoPi = 2 * kPi;
// Exact to the last bit: a shorter decimal constant moves angles on every load.
constexpr long double kInverseTwoPi = 1 / kTwoPi;
// Changes below these are rounding noise of a round trip through text or degrees.
constexpr long double kMagnificationTolerance = 0.0001L;
constexpr long double kAngleTolerance = 0.0001L;

[[noreturn]] void MagnificationError() {
  throw EZentrope("Magnification must be larger than zero");
}

bool ValidMagnification(long double magnification) {
  return magnification > 0 && std::isfinite(magnification);
}

// Into [0, 2 pi]. An angle already inside stays as it is, bit for bit, so that a
// stored angle set again does not drift.
long double NormalizeAngle(long double radians) {
  if (radians >= 0 && radians <= kTwoPi) return radians;
  if (radians >= 0) {
    const long double turns = radians * kInverseTwoPi;
    return (turns - std::trunc(turns)) * kTwoPi;
  }
  return radians + (std::trunc(-radians * kInverseTwoPi) + 1) * kTwoPi;
}

bool SameParamValue(const TParamValue& a, const TParamValue& b) {
  return a.Type == b.Type && std::memcmp(&a.Value.Re, &b.Value.Re, 10) == 0 &&
         std::memcmp(&a.Value.Im, &b.Value.Im, 10) == 0;
}

bool SameSettings(const TTransformSettings& a, const TTransformSettings& b) {
  if (a.FileName != b.FileName || a.EntryName != b.EntryName || a.Enabled != b.Enabled ||
      a.Params.size() != b.Params.size() || a.Funcs != b.Funcs)
    return false;
  for (std::size_t i = 0; i < a.Params.size(); ++i)
    if (a.Params[i].first != b.Params[i].first ||
        !SameParamValue(a.Params[i].second, b.Params[i].second))
      return false;
  return true;
}

}  // namespace

TMapping::TMapping() {
  UpdateScale();
  UpdateCorners();
  transforms_.OnChange = [this](TTransformList&) { Changed(); };
}

void TMapping::SetCenter(TComplex center) {
  if (center == center_) return;
  center_ = center;
  UpdateCorners();
  Changed();
}

void TMapping::SetMagnification(long double magnification) {
  if (!ValidMagnification(magnification)) MagnificationError();
  if (std::fabs(magnification_ / magnification - 1) <= kMagnificationTolerance) return;
  magnification_ = magnification;
  UpdateScale();
  UpdateCorners();
  Changed();
}

// A value that is not a number has no place on the circle and is ignored.
void TMapping::SetAngle(long double radians) {
  if (!std::isfinite(radians) || std::fabs(radians - angle_) <= kAngleTolerance) return;
  angle_ = NormalizeAngle(radians);
  sine_ = std::sin(angle_);
  cosine_ = std::cos(angle_);
  Changed();
}

long double TMapping::AngleDegrees() const { return angle_ * 180 * (1 / kPi); }

void TMapping::SetAngleDegrees(long double degrees) { SetAngle(degrees * kPi * (1.0L / 180)); }

void TMapping::SetImageWidth(int width) {
  if (width < 0 || width == rect_.Width()) return;
  rect_.Right = rect_.Left + width;
  UpdateScale();
  Changed();
}

void TMapping::SetImageHeight(int height) {
  if (height < 0 || height == rect_.Height()) return;
  rect_.Bottom = rect_.Top + height;
  UpdateScale();
  Changed();
}

void TMapping::SetImageOrigin(int left, int top) {
  if (left == rect_.Left && top == rect_.Top) return;
  rect_ = TRect{left, top, left + rect_.Width(), top + rect_.Height()};
  Changed();
}

// The corners may come in any order (a zoom box drawn from any of its corners);
// corners that coincide would give an infinite magnification.
void TMapping::SetCorners(long double x1, long double y1, long double x2, long double y2) {
  const long double dx = std::fabs(x2 - x1);
  const long double dy = std::fabs(y1 - y2);
  const long double magnification = dy >= dx ? 3 / dy : 4 / dx;
  if (!ValidMagnification(magnification)) MagnificationError();
  center_ = TComplex((x1 + x2) / 2, (y1 + y2) / 2);
  magnification_ = magnification;
  UpdateScale();
  UpdateCorners();
  Changed();
}

// At magnification 1 the 4:3 reference box fits the image exactly in the
// direction in which the image is relatively narrower.
void TMapping::UpdateScale() {
  const int width = rect_.Width();
  const int height = rect_.Height();
  if (3LL * width < 4LL * height)
    scale_ = width == 0 ? 4 / magnification_ : 4 / (magnification_ * width);
  else
    scale_ = height == 0 ? 3 / magnification_ : 3 / (magnification_ * height);
}

void TMapping::UpdateCorners() {
  const long double half_width = 2 / magnification_;
  const long double half_height = 1.5L / magnification_;
  corner1_ = TComplex(center_.real() - half_width, center_.imag() + half_height);
  corner2_ = TComplex(center_.real() + half_width, center_.imag() - half_height);
}

void TMapping::Changed() {
  if (OnChange) OnChange(*this);
}

void TMapping::SetCompileOptions(const TCompileOptions& options) {
  compile_options_ = options;
  for (int i = 0; i < transforms_.Count(); ++i) transforms_.Item(i).SetCompileOptions(options);
}

TMappingSnapshot TMapping::SaveSnapshot() const {
  TMappingSnapshot snapshot{center_, magnification_, angle_, {}};
  for (int i = 0; i < transforms_.Count(); ++i)
    snapshot.Transforms.push_back(transforms_.Item(i).SaveSettings());
  return snapshot;
}

void TMapping::RestoreSnapshot(const TMappingSnapshot& snapshot) {
  SetCenter(snapshot.Center);
  SetMagnification(snapshot.Magnification);
  SetAngle(snapshot.Angle);
  const int count = static_cast<int>(snapshot.Transforms.size());
  // The items' own notifications do not reach the chain's owner, so a kept item
  // that changed is announced here.
  bool kept_changed = false;
  transforms_.BeginUpdate();
  try {
    while (transforms_.Count() > count) transforms_.Delete(transforms_.Count() - 1);
    for (int i = 0; i < count; ++i) {
      const TTransformSettings& settings = snapshot.Transforms[static_cast<std::size_t>(i)];
      if (i < transforms_.Count()) {
        TTransform& kept = transforms_.Item(i);
        const TTransformSettings before = kept.SaveSettings();
        kept.ApplyParameters(settings);
        kept_changed = kept_changed || !SameSettings(before, kept.SaveSettings());
      } else {
        auto transform = std::make_unique<TTransform>();
        transform->SetCompileOptions(compile_options_);
        transform->ApplyParameters(settings);
        transforms_.Add(std::move(transform));
      }
    }
  } catch (...) {
    transforms_.EndUpdate();
    throw;
  }
  transforms_.EndUpdate();
  if (kept_changed) Changed();
}

void TMapping::FillCalcBlock(TCalcBlock& block) const {
  block.SetComplex(calc::kCenter, center_);
  block.SetExtended(calc::kMagn, magnification_);
  block.SetExtended(calc::kLocationFactor, scale_);
  block.SetExtended(calc::kAngle, angle_);
  block.SetExtended(calc::kSine, sine_);
  block.SetExtended(calc::kCosine, cosine_);
  block.SetInt32(calc::kWidth, rect_.Width());
  block.SetInt32(calc::kHeight, rect_.Height());
  block.SetInt32(calc::kHalfWidth, rect_.Width() / 2);
  block.SetInt32(calc::kHalfHeight, rect_.Height() / 2);

  const int total = transforms_.VariableBlockSize();
  block.SetUInt32(calc::kTransformSize, static_cast<std::uint32_t>(total));
  if (total == 0) {
    block.SetPointer(calc::kTransformVars, nullptr);
    block.SetPointer(calc::kTransformAlloc, nullptr);
    return;
  }
  std::uint8_t* vars =
      block.Allocate(static_cast<std::size_t>(total), calc::kTransformVars, calc::kTransformAlloc);
  for (int i = 0; i < transforms_.Count(); ++i) {
    const TTransform& transform = transforms_.Item(i);
    transform.StoreInitialValues(vars);
    vars += transform.VariableBlockSize();
  }
}

// The location comes from the block's copy (FillCalcBlock), so that the
// user-interface thread may change the mapping while pixels are mapped.
// #solid is cleared first: it is left over from the previous pixel (its
// coloring may have set it), and a stale value would stop the chain and mark
// this pixel as solid.
void TMapping::MapPixel(TCalcBlock& block, long double dx, long double dy) const {
  const TComplex center = block.Complex(calc::kCenter);
  const long double scale = block.Extended(calc::kLocationFactor);
  const long double sine = block.Extended(calc::kSine);
  const long double cosine = block.Extended(calc::kCosine);
  const long double u = (-block.Int32(calc::kHalfWidth) + block.Int32(calc::kX)) + dx;
  const long double v = block.Int32(calc::kHalfHeight) - (block.Int32(calc::kY) + dy);
  block.SetComplex(calc::kPixel, TComplex(center.real() + scale * (u * cosine - v * sine),
                                          center.imag() + scale * (v * cosine + u * sine)));
  block.SetByte(calc::kSolid, 0);

  // Each transformation sees its own variables; the pointer walks the chain's
  // block, also past disabled ones, and is put back for the next pixel.
  auto* const start = static_cast<std::uint8_t*>(block.Pointer(calc::kTransformVars));
  std::uint8_t* vars = start;
  for (int i = 0; i < transforms_.Count(); ++i) {
    const TTransform& transform = transforms_.Item(i);
    if (transform.Enabled() && transform.Procedure() != nullptr)
      CallProcedure(transform.Procedure(), block.Data());
    if (vars != nullptr) {
      vars += transform.VariableBlockSize();
      block.SetPointer(calc::kTransformVars, vars);
    }
    if (block.Byte(calc::kSolid) != 0) break;
  }
  block.SetPointer(calc::kTransformVars, start);
}

}  // namespace zt
