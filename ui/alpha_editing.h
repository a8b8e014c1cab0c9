// The alpha channel editor's form of an alpha channel: one channel, the opacity,
// shown over the colors of the convert table it shares with its gradient.
#pragma once

#include "color/alpha_channel.h"
#include "ui/ring_editing.h"

namespace zt {

// User-interface thread only.
class TAlphaEditing : public TRingEditingOf<TAlphaChannel, TAlphaPoint, int> {
 public:
  // `alpha` must outlive this object (a layer's alpha channel, edited live).
  explicit TAlphaEditing(TAlphaChannel& alpha) : TRingEditingOf(alpha) {}
  // A channel of its own, white, so that the opacity shows.
  TAlphaEditing();

  TEntryBrowseKind Kind() const override { return TEntryBrowseKind::kAlphaChannel; }
  int ChannelCount() const override { return 1; }
  TChannelInfo Channel(int) const override {
    return {QStringLiteral("Opacity"), 255, qRgb(60, 60, 60)};
  }
  int ChannelValue(int n, int) const override { return Point(n)->Opacity; }
  void SetChannelValue(int n, int c, int value) override;
  int TableChannel(int entry, int) const override { return Ring().ConvertTable()[entry].Opacity; }
  QRgb TableColor(int entry) const override;
  QRgb PointColor(int n) const override;
  QStringList RandomStyles() const override { return {QStringLiteral("&Randomize")}; }
  void Randomize(int) override { Ring().Randomize(); }
  std::string LoadEntry(const std::string& file, const std::string& entry) override;
  bool SaveEntry(const std::string& file, const std::string& title) override;

 protected:
  int TableValue(int entry) const override { return Ring().ConvertTable()[entry].Opacity; }
  int PointValue(const TAlphaPoint& point) const override { return point.Opacity; }
};

}  // namespace zt
