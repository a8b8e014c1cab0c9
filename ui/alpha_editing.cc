// The alpha channel's one channel and its entry files.
#include "ui/alpha_editing.h"

#include "document/params/gradient_section.h"

namespace zt {

namespace {

std::unique_ptr<TAlphaChannel> WhiteChannel() {
  auto alpha = std::make_unique<TAlphaChannel>();
  for (int e = 0; e < kGradientEntries; ++e) {
    TColorEntry& entry = alpha->ConvertTable()[e];
    entry.Red = entry.Green = entry.Blue = 255;
  }
  return alpha;
}

}  // namespace

TAlphaEditing::TAlphaEditing() : TRingEditingOf(WhiteChannel()) {}

void TAlphaEditing::SetChannelValue(int n, int, int value) {
  TAlphaPoint* p = Point(n);
  if (value < 0 || value > 255 || value == p->Opacity) return;
  Ring().MovePoint(p, p->Index, value);
}

QRgb TAlphaEditing::TableColor(int entry) const {
  const TColorEntry& e = Ring().ConvertTable()[entry];
  return qRgba(e.Red, e.Green, e.Blue, e.Opacity);
}

QRgb TAlphaEditing::PointColor(int n) const {
  const int opacity = Point(n)->Opacity;
  return qRgb(opacity, opacity, opacity);
}

std::string TAlphaEditing::LoadEntry(const std::string& file, const std::string& entry) {
  return LoadAlphaChannelEntry(file, entry, Ring());
}

bool TAlphaEditing::SaveEntry(const std::string& file, const std::string& title) {
  return SaveAlphaChannelEntry(file, Ring(), title);
}

}  // namespace zt
