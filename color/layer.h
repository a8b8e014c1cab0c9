// A layer of a fractal document: the calculating layer plus everything that turns
// its stored indices into colors (the convert table with its fixed entries, the
// solid colors and their opacities) and the properties the merge of the layers
// reads (opacity, merge mode, visibility, use of the opacity byte).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "color/alpha_channel.h"
#include "color/color_types.h"
#include "color/gradient.h"
#include "color/merge_modes.h"
#include "render/layer_calculate.h"
#include "render/preview.h"

namespace zt {

inline constexpr const char* kUntitledCaption = "(untitled)";
inline constexpr int kMaxSnapshotCaption = 255;

// What a new layer takes from its owner's settings.
struct TLayerDefaults {
  TCompileOptions Compile;
  std::uint32_t BackgroundColor = 0;  // red + 256 * green + 65536 * blue
  bool GradientRGBMode = true;        // the gradient's editing mode
};

// The undo record of one layer's own properties.
struct TLayerSnapshot {
  TRGB12 InsideColor, OutsideColor, MappingColor;
  int InsideAlpha = 255, OutsideAlpha = 255, MappingAlpha = 255;
  int Method = 0;
  std::string Caption;  // at most kMaxSnapshotCaption characters
  int Opacity = 50;
  bool Visible = true;
  bool UseAlpha = false;
  int MergeMode = 0;
  TMappingSnapshot Mapping;
  TFormulaSnapshot Formula;
  TColoringSnapshot InsideColoring;
  TColoringSnapshot OutsideColoring;
  TGradient::TSnapshot Gradient;
  TAlphaChannel::TSnapshot AlphaChannel;
};

// The layer listens to its gradient's and alpha channel's OnChange (a repaint) and
// to the alpha channel's OnTransparencyChange (UpdateUseAlpha); owners chain
// their own handlers after these rather than replacing them.
//
// Threads: properties change on the user-interface thread only. The update
// manager's thread may call ColorRow and read the merge properties while a change
// runs; it then sees a mix of old and new colors until the repaint merges again.
//
// Like its base, a new layer leaves one update bracket open; the owner calls
// EndUpdate when it has set the layer up. The use-alpha flag follows the solid
// alphas only outside update brackets.
class TLayer : public TLayerCalculate {
 public:
  explicit TLayer(const TLayerDefaults& defaults = {});

  // 51,208 entries: the gradient, then the fixed colors (color/color_types.h).
  TColorEntry* ConvertTable() { return convert_.data(); }
  const TColorEntry* ConvertTable() const { return convert_.data(); }
  // 25,600 entries of scratch space for rotating the gradient.
  TColorEntry* TemporaryTable() { return temporary_.data(); }

  TGradient& Gradient() { return *gradient_; }
  TAlphaChannel& AlphaChannel() { return *alpha_; }

  // Color channels above 4095 are clamped.
  TRGB12 InsideColor() const { return inside_color_; }
  void SetInsideColor(TRGB12 color);
  TRGB12 OutsideColor() const { return outside_color_; }
  void SetOutsideColor(TRGB12 color);
  TRGB12 MappingColor() const { return mapping_color_; }
  void SetMappingColor(TRGB12 color);

  // 0 (transparent) to 255 (opaque).
  int InsideAlpha() const { return inside_alpha_; }
  void SetInsideAlpha(int alpha);
  int OutsideAlpha() const { return outside_alpha_; }
  void SetOutsideAlpha(int alpha);
  int MappingAlpha() const { return mapping_alpha_; }
  void SetMappingAlpha(int alpha);

  // Percentage 0 to 100.
  int Opacity() const { return opacity_; }
  void SetOpacity(int opacity);
  const TOpacityTable& OpacityTable() const { return opacity_table_; }

  // 0 to 18 (TMergeMode).
  int MergeMode() const { return merge_mode_; }
  void SetMergeMode(int mode);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Selected() const { return selected_; }
  void SetSelected(bool selected);
  bool UseAlpha() const { return use_alpha_; }
  void SetUseAlpha(bool use);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

  // Outside brackets: use alpha := the alpha channel is transparent or some solid
  // alpha is below 255.
  void UpdateUseAlpha();
  // The default properties, inside a bracket.
  void Reset();
  // The mapping takes the formula's default center, magnification and angle.
  void ResetLocation();

  TLayerSnapshot SaveSnapshot() const;
  // Inside one update bracket: stops a running calculation, sets every property
  // through its setter, restores the six sub-objects (the layer's method stands
  // against the formula's; with a recalculation pending the gradient's and alpha
  // channel's OnChange stay silent, the recalculation repaints anyway) and resets
  // the gradient's and alpha channel's histories. Reports one change and at most
  // one recalculation. Entry file errors pass on, the bracket closed.
  void RestoreSnapshot(const TLayerSnapshot& snapshot);

  // The convert-table entries of `count` pixels of row `y` from column `x`, as
  // 32-bit values (blue in the low byte). The range must lie inside the image.
  void ColorRow(int y, int x, int count, std::uint32_t* out) const;
  // Row `y` of the image seen through the navigation preview, as colors. The
  // image must have the preview's size.
  void PreviewColorRow(const TPreview& preview, int y, std::uint32_t* out) const;

 private:
  void Repaint();
  void SetSolid(TRGB12& field, int entry, TRGB12 color, int identifier);
  void SetAlpha(int& field, int entry, int alpha, int identifier);
  void WriteSolidEntry(int entry, TRGB12 color, int alpha);

  std::string caption_ = kUntitledCaption;
  TRGB12 inside_color_, outside_color_, mapping_color_;
  int inside_alpha_ = 255, outside_alpha_ = 255, mapping_alpha_ = 255;
  int opacity_ = 50;
  TOpacityTable opacity_table_{};
  std::vector<TColorEntry> convert_;
  std::vector<TColorEntry> temporary_;
  // Built on the two tables above, which must outlive them.
  std::unique_ptr<TGradient> gradient_;
  std::unique_ptr<TAlphaChannel> alpha_;
  int merge_mode_ = 0;
  bool visible_ = true;
  bool selected_ = true;
  bool use_alpha_ = false;
};

}  // namespace zt
