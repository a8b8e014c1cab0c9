// The gradient editor's form of a gradient: its points' colors as red, green and
// blue (8 bits each, as a person reads them) in RGB mode or as hue, saturation
// and luminance in HSL mode, and the operations only gradients have.
#pragma once

#include <filesystem>
#include <memory>

#include "color/gradient.h"
#include "ui/ring_editing.h"

namespace zt {

// A shift of every (or every selected) point's hue in degrees (wrapping round
// the circle), saturation and luminance (added, clamped to 0 to 255).
struct THSLShift {
  int Hue = 0;
  int Saturation = 0;
  int Luminance = 0;
  bool SelectedOnly = false;
};

// User-interface thread only.
class TGradientEditing : public TRingEditingOf<TGradient, TGradientPoint, TRGB12> {
 public:
  // `gradient` must outlive this object (a layer's gradient, edited live).
  explicit TGradientEditing(TGradient& gradient) : TRingEditingOf(gradient) {}
  // A gradient of its own: the DefaultGradientRGBMode setting's mode and the
  // settings' default gradient.
  TGradientEditing();

  TEntryBrowseKind Kind() const override { return TEntryBrowseKind::kGradient; }
  int ChannelCount() const override { return 3; }
  TChannelInfo Channel(int c) const override;
  int ChannelValue(int n, int c) const override;
  void SetChannelValue(int n, int c, int value) override;
  int TableChannel(int entry, int c) const override;
  QRgb TableColor(int entry) const override;
  QRgb PointColor(int n) const override;
  QStringList RandomStyles() const override;
  void Randomize(int style) override;
  std::string LoadEntry(const std::string& file, const std::string& entry) override;
  bool SaveEntry(const std::string& file, const std::string& title) override;

  // Gives the point this color (8 bits per channel), as one point change.
  void SetColor(int n, QRgb color);
  // Raises the palette's reading errors; the points read so far stay.
  void ImportMAP(const std::string& file);
  // One change of the whole gradient.
  void Adjust(const THSLShift& shift);

 protected:
  TRGB12 TableValue(int entry) const override;
  TRGB12 PointValue(const TGradientPoint& point) const override { return point.Color; }
};

}  // namespace zt
