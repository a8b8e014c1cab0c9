// Layer properties, their convert-table entries and change notifications; see layer.h.
#include "color/layer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>
#include <vector>

namespace zt {
namespace {

// Change identifiers: consecutive changes of one solid color (or its alpha), or of
// the opacity, make one undo step; a merge mode change always starts a new one.
constexpr int kInsideChange = 1;
constexpr int kOutsideChange = 2;
constexpr int kMappingChange = 3;
constexpr int kOpacityChange = 4;
constexpr int kNewUndoStep = 0;

TRGB12 Clamped(TRGB12 color) {
  return {std::min<uint16_t>(color.Red, 4095), std::min<uint16_t>(color.Green, 4095),
          std::min<uint16_t>(color.Blue, 4095)};
}

}  // namespace

TLayer::TLayer(const TLayerDefaults& defaults)
    : convert_(kConvertTableEntries),
      temporary_(kTemporaryTableEntries),
      gradient_(std::make_unique<TGradient>(convert_.data(), temporary_.data(),
                                            defaults.GradientRGBMode)),
      alpha_(std::make_unique<TAlphaChannel>(convert_.data(), temporary_.data())) {
  gradient_->OnChange = [this](TGradient&) { Repaint(); };
  alpha_->OnChange = [this](TAlphaChannel&) { Repaint(); };
  alpha_->OnTransparencyChange = [this](TAlphaChannel&) { UpdateUseAlpha(); };
  BuildOpacityTable(opacity_, opacity_table_);
  WriteSolidEntry(kInsideSolidEntry, inside_color_, inside_alpha_);
  WriteSolidEntry(kOutsideSolidEntry, outside_color_, outside_alpha_);
  WriteSolidEntry(kMappingSolidEntry, mapping_color_, mapping_alpha_);
  const std::uint32_t background = defaults.BackgroundColor;
  convert_[kBackgroundEntry] = {static_cast<uint8_t>(background >> 16),
                                static_cast<uint8_t>(background >> 8),
                                static_cast<uint8_t>(background), 255};
  SetCompileOptions(defaults.Compile);
  Reset();
}

void TLayer::WriteSolidEntry(int entry, TRGB12 color, int alpha) {
  convert_[entry] = {Channel12To8(color.Blue), Channel12To8(color.Green), Channel12To8(color.Red),
                     static_cast<uint8_t>(alpha)};
}

void TLayer::Repaint() { Invalidate(TRect{0, 0, Image().Width(), Image().Height()}); }

void TLayer::SetSolid(TRGB12& field, int entry, TRGB12 color, int identifier) {
  color = Clamped(color);
  if (color == field) return;
  field = color;
  WriteSolidEntry(entry, color, convert_[entry].Opacity);
  Repaint();
  Change(identifier);
}

void TLayer::SetAlpha(int& field, int entry, int alpha, int identifier) {
  alpha = std::clamp(alpha, 0, 255);
  if (alpha == field) return;
  field = alpha;
  convert_[entry].Opacity = static_cast<uint8_t>(alpha);
  Repaint();
  Change(identifier);
  UpdateUseAlpha();
}

void TLayer::SetInsideColor(TRGB12 color) {
  SetSolid(inside_color_, kInsideSolidEntry, color, kInsideChange);
}
void TLayer::SetOutsideColor(TRGB12 color) {
  SetSolid(outside_color_, kOutsideSolidEntry, color, kOutsideChange);
}
void TLayer::SetMappingColor(TRGB12 color) {
  SetSolid(mapping_color_, kMappingSolidEntry, color, kMappingChange);
}
void TLayer::SetInsideAlpha(int alpha) {
  SetAlpha(inside_alpha_, kInsideSolidEntry, alpha, kInsideChange);
}
void TLayer::SetOutsideAlpha(int alpha) {
  SetAlpha(outside_alpha_, kOutsideSolidEntry, alpha, kOutsideChange);
}
void TLayer::SetMappingAlpha(int alpha) {
  SetAlpha(mapping_alpha_, kMappingSolidEntry, alpha, kMappingChange);
}

void TLayer::SetOpacity(int opacity) {
  opacity = std::clamp(opacity, 0, 100);
  if (opacity == opacity_) return;
  opacity_ = opacity;
  BuildOpacityTable(opacity_, opacity_table_);
  Repaint();
  Change(kOpacityChange);
}

void TLayer::SetMergeMode(int mode) {
  mode = std::clamp(mode, 0, kMergeModeCount - 1);
  if (mode == merge_mode_) return;
  merge_mode_ = mode;
  Repaint();
  Change(kNewUndoStep);
}

void TLayer::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Repaint();
  ChangeWithoutUndo();
}

void TLayer::SetUseAlpha(bool use) {
  if (use == use_alpha_) return;
  use_alpha_ = use;
  Repaint();
  ChangeWithoutUndo();
}

void TLayer::SetSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  ChangeWithoutUndo();
}

void TLayer::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  ChangeWithoutUndo();
}

void TLayer::UpdateUseAlpha() {
  if (InUpdate()) return;
  SetUseAlpha(alpha_->Transparent() || inside_alpha_ < 255 || outside_alpha_ < 255 ||
              mapping_alpha_ < 255);
}

void TLayer::Reset() {
  BeginUpdate();
  SetVisible(true);
  SetSelected(true);
  SetOpacity(50);
  SetMergeMode(0);
  SetMethod(0);
  SetInsideAlpha(255);
  SetOutsideAlpha(255);
  SetMappingAlpha(255);
  SetInsideColor({});
  SetOutsideColor({});
  SetMappingColor({});
  SetCaption(kUntitledCaption);
  EndUpdate();
}

void TLayer::ResetLocation() {
  const TLiteral center = Formula().DefaultCenter();
  Mapping().SetCenter({center.Re, center.Im});
  Mapping().SetMagnification(Formula().DefaultMagnification());
  Mapping().SetAngle(Formula().DefaultAngle());
}

TLayerSnapshot TLayer::SaveSnapshot() const {
  TLayerSnapshot s;
  s.InsideColor = inside_color_;
  s.OutsideColor = outside_color_;
  s.MappingColor = mapping_color_;
  s.InsideAlpha = inside_alpha_;
  s.OutsideAlpha = outside_alpha_;
  s.MappingAlpha = mapping_alpha_;
  s.Method = Method();
  s.Caption = caption_.substr(0, kMaxSnapshotCaption);
  s.Opacity = opacity_;
  s.Visible = visible_;
  s.UseAlpha = use_alpha_;
  s.MergeMode = merge_mode_;
  s.Mapping = Mapping().SaveSnapshot();
  s.Formula = Formula().SaveSnapshot();
  s.InsideColoring = InsideColoring().SaveSnapshot();
  s.OutsideColoring = OutsideColoring().SaveSnapshot();
  // Outside brackets the current history item is the object's present state.
  s.Gradient = gradient_->History().Current();
  s.AlphaChannel = alpha_->History().Current();
  return s;
}

void TLayer::RestoreSnapshot(const TLayerSnapshot& s) {
  BeginUpdate();
  // Closes the bracket and gives the notifications back whatever a restore raises.
  struct TRestoreScope {
    TLayer& Layer;
    bool Follows;
    TGradient::TNotify GradientChange;
    TAlphaChannel::TNotify AlphaChange;
    ~TRestoreScope() {
      Layer.SetFollowsFormulaMethod(Follows);
      if (GradientChange) Layer.gradient_->OnChange = std::move(GradientChange);
      if (AlphaChange) Layer.alpha_->OnChange = std::move(AlphaChange);
      Layer.EndUpdate();
    }
  } scope{*this, FollowsFormulaMethod(), nullptr, nullptr};
  Stop();
  SetInsideColor(s.InsideColor);
  SetOutsideColor(s.OutsideColor);
  SetMappingColor(s.MappingColor);
  SetInsideAlpha(s.InsideAlpha);
  SetOutsideAlpha(s.OutsideAlpha);
  SetMappingAlpha(s.MappingAlpha);
  SetMethod(s.Method);
  SetCaption(s.Caption);
  SetOpacity(s.Opacity);
  SetVisible(s.Visible);
  SetUseAlpha(s.UseAlpha);
  SetMergeMode(s.MergeMode);
  // Every entry change would set the method to the formula's; the layer's stands.
  SetFollowsFormulaMethod(false);
  Mapping().RestoreSnapshot(s.Mapping);
  Formula().RestoreSnapshot(s.Formula);
  InsideColoring().RestoreSnapshot(s.InsideColoring);
  OutsideColoring().RestoreSnapshot(s.OutsideColoring);
  SetFollowsFormulaMethod(scope.Follows);
  if (RecalculationPending()) {
    scope.GradientChange = std::exchange(gradient_->OnChange, nullptr);
    scope.AlphaChange = std::exchange(alpha_->OnChange, nullptr);
  }
  gradient_->AssignSnapshot(s.Gradient);
  alpha_->AssignSnapshot(s.AlphaChannel);
  gradient_->History().Clear();
  alpha_->History().Clear();
}

void TLayer::ColorRow(int y, int x, int count, std::uint32_t* out) const {
  static_assert(std::endian::native == std::endian::little);
  const std::uint16_t* indices = Image().Row(y) + x;
  for (int i = 0; i < count; ++i)
    std::memcpy(&out[i], &convert_[LoadIndex(&indices[i])], sizeof(out[i]));
}

void TLayer::PreviewColorRow(const TPreview& preview, int y, std::uint32_t* out) const {
  // Each drawing thread keeps its scratch row between calls.
  thread_local std::vector<std::uint16_t> indices;
  indices.resize(static_cast<std::size_t>(preview.Width));
  PreviewIndexRow(preview, Image().Row(0), y, indices.data());
  const TColorEntry* table = ConvertTable();
  for (int x = 0; x < preview.Width; ++x) std::memcpy(&out[x], &table[indices[x]], sizeof(out[x]));
}

}  // namespace zt
