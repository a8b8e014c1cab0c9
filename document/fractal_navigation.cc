// Navigation of a document's selected layers: zoom at a point or to a rectangle,
// pan, rotate and crop. Each moves the mappings of the selected layers; the update
// manager previews the move on the old pixels, which stay visible until the
// recalculation replaces them.
#include "document/fractal.h"

#include <cmath>

#include "document/settings/config_manager.h"

namespace zt {

namespace {

// The complex value under the pixel position (x, y), which may lie between pixels.
TComplex PointAt(const TMapping& mapping, long double x, long double y) {
  const long double u = -(mapping.ImageWidth() / 2) + x;
  const long double v = mapping.ImageHeight() / 2 - y;
  const long double scale = mapping.Scale();
  return mapping.Center() + TComplex(scale * (u * mapping.Cosine() - v * mapping.Sine()),
                                     scale * (v * mapping.Cosine() + u * mapping.Sine()));
}

// The preview shift that, after a zoom by `factor` about the image center, brings
// the pixel position (x, y) to where it was (`keep`) or to the center.
int PreviewShift(long double position, int half, long double factor, bool keep) {
  const long double offset = position - half;
  return static_cast<int>(std::lround(keep ? -offset * (factor - 1) : -offset * factor));
}

// The magnification that gives an image of width x height pixels the units per
// pixel `scale` (the mapping's rule for the scale, solved for the magnification).
long double MagnificationForScale(long double scale, int width, int height) {
  if (3LL * width < 4LL * height) return 4 / (scale * width);
  return 3 / (scale * height);
}

}  // namespace

std::vector<TLayer*> TFractal::PrepareNavigation() {
  std::vector<TLayer*> selected;
  for (int i = 0; i < layers_->Count(); ++i) {
    TLayer& layer = (*layers_)[i];
    if (!layer.Selected()) continue;
    // The preview resamples the pixels that the pieces would otherwise write.
    layer.Stop();
    layer.SetClearOnStart(false);
    selected.push_back(&layer);
  }
  return selected;
}

void TFractal::Zoom(int x, int y, double factor, bool to_center, bool animate) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  const bool center = to_center && ConfigManager().ZoomDestination == 1;
  BeginUpdate();
  const std::vector<TLayer*> selected = PrepareNavigation();
  update_manager_->AnimateTransform(PreviewShift(x, width_ / 2, factor, !center),
                                    PreviewShift(y, height_ / 2, factor, !center), 0, factor,
                                    animate);
  for (TLayer* layer : selected) {
    TMapping& mapping = layer->Mapping();
    const TComplex point = PointAt(mapping, x, y);
    const long double move = center ? 1 : 1 - 1 / static_cast<long double>(factor);
    mapping.SetCenter(mapping.Center() + (point - mapping.Center()) * move);
    mapping.SetMagnification(mapping.Magnification() * factor);
  }
  EndUpdate();
}

void TFractal::ZoomToRectangle(int left, int top, int width, int height, double angle_delta,
                               bool animate) {
  const long double cx = left + width / 2.0L;
  const long double cy = top + height / 2.0L;
  const double factor = width > 0 ? static_cast<double>(width_) / width : 1.0;
  BeginUpdate();
  const std::vector<TLayer*> selected = PrepareNavigation();
  // The preview rotates its shift with the angle, so the shift is that of the zoom alone.
  update_manager_->AnimateTransform(PreviewShift(cx, width_ / 2, factor, false),
                                    PreviewShift(cy, height_ / 2, factor, false), angle_delta,
                                    factor, animate);
  for (TLayer* layer : selected) {
    TMapping& mapping = layer->Mapping();
    mapping.SetCenter(PointAt(mapping, cx, cy));
    mapping.SetAngle(mapping.Angle() + angle_delta);
    if (width > 0) mapping.SetMagnification(mapping.Magnification() * factor);
  }
  EndUpdate();
}

void TFractal::Pan(int dx, int dy, bool animate) {
  BeginUpdate();
  const std::vector<TLayer*> selected = PrepareNavigation();
  update_manager_->AnimateTransform(dx, dy, 0, 1, animate);
  for (TLayer* layer : selected) {
    TMapping& mapping = layer->Mapping();
    // The point that was under pixel (x, y) must come to lie under (x + dx, y + dy),
    // also when the layer is rotated.
    mapping.SetCenter(mapping.Center() - (PointAt(mapping, dx, dy) - PointAt(mapping, 0, 0)));
  }
  EndUpdate();
}

void TFractal::Rotate(double angle_delta, bool animate) {
  BeginUpdate();
  const std::vector<TLayer*> selected = PrepareNavigation();
  update_manager_->AnimateTransform(0, 0, angle_delta, 1, animate);
  for (TLayer* layer : selected) layer->Mapping().SetAngle(layer->Mapping().Angle() + angle_delta);
  EndUpdate();
}

void TFractal::Crop(int left, int top, int width, int height) {
  if (width < 1 || height < 1) return;
  const bool inside = left >= 0 && top >= 0 && left + width <= width_ && top + height <= height_;
  const bool in_place = inside && !IsCalculating();
  BeginUpdate();
  const std::vector<TLayer*> selected = PrepareNavigation();
  for (TLayer* layer : selected) {
    TMapping& mapping = layer->Mapping();
    // The pixels keep their size, also when the new shape makes the height rather
    // than the width decide the scale.
    const long double scale = mapping.Scale();
    // The mapping's center pixel of the new image (its halves rounded down), so
    // that every kept pixel stays on the point it was calculated for.
    mapping.SetCenter(PointAt(mapping, left + width / 2, top + height / 2));
    mapping.SetMagnification(MagnificationForScale(scale, width, height));
  }
  if (in_place) {
    width_ = width;
    height_ = height;
    update_manager_->SetWidth(width);
    update_manager_->SetHeight(height);
    for (int i = 0; i < layers_->Count(); ++i) {
      TLayer& layer = (*layers_)[i];
      // What is already calculated stays on screen until it is recalculated.
      layer.SetClearOnStart(false);
      layer.Image().Crop(left, top, width, height);
    }
    Changed(true);
  } else {
    SetWidth(width);
    SetHeight(height);
  }
  EndUpdate();
}

}  // namespace zt
