// The gradient's channels in RGB and HSL mode and its own operations.
#include "ui/gradient_editing.h"

#include <algorithm>

#include "document/params/gradient_section.h"
#include "document/settings/config_manager.h"

namespace zt {

namespace {

THSL TableHSL(const TColorEntry& e) {
  return RGB12ToHSL({Channel8To12(e.Red), Channel8To12(e.Green), Channel8To12(e.Blue)});
}

int HSLChannel(const THSL& hsl, int c) {
  return c == 0 ? hsl.Hue : c == 1 ? hsl.Saturation : hsl.Luminance;
}

uint16_t& RGBChannel(TRGB12& color, int c) {
  return c == 0 ? color.Red : c == 1 ? color.Green : color.Blue;
}

THSL Shifted(THSL hsl, const THSLShift& shift) {
  hsl.Hue = static_cast<uint16_t>(((hsl.Hue + shift.Hue) % 360 + 360) % 360);
  hsl.Saturation = static_cast<uint8_t>(std::clamp(hsl.Saturation + shift.Saturation, 0, 255));
  hsl.Luminance = static_cast<uint8_t>(std::clamp(hsl.Luminance + shift.Luminance, 0, 255));
  return hsl;
}

std::unique_ptr<TGradient> SettingsGradient() {
  const TConfigManager& config = ConfigManager();
  auto gradient = std::make_unique<TGradient>(config.DefaultGradientRGBMode);
  LoadInitialGradient(config.DefaultGradientFile, config.DefaultGradientEntry, *gradient);
  return gradient;
}

}  // namespace

TGradientEditing::TGradientEditing() : TRingEditingOf(SettingsGradient()) {}

TChannelInfo TGradientEditing::Channel(int c) const {
  static const TChannelInfo kRGB[] = {{"Red", 255, qRgb(220, 30, 30)},
                                      {"Green", 255, qRgb(20, 160, 20)},
                                      {"Blue", 255, qRgb(40, 70, 230)}};
  static const TChannelInfo kHSL[] = {{"Hue", 359, qRgb(200, 40, 200)},
                                      {"Saturation", 255, qRgb(230, 130, 0)},
                                      {"Luminance", 255, qRgb(90, 90, 90)}};
  return Ring().RGBMode() ? kRGB[c] : kHSL[c];
}

int TGradientEditing::ChannelValue(int n, int c) const {
  TGradientPoint* p = Point(n);
  if (!Ring().RGBMode()) return HSLChannel(p->Hsl, c);
  return Channel12To8(RGBChannel(p->Color, c));
}

void TGradientEditing::SetChannelValue(int n, int c, int value) {
  TGradientPoint* p = Point(n);
  if (value < 0 || value > Channel(c).Max || value == ChannelValue(n, c)) return;
  if (Ring().RGBMode()) {
    TRGB12 color = p->Color;
    RGBChannel(color, c) = Channel8To12(value);
    Ring().MovePoint(p, p->Index, color);
    return;
  }
  THSL hsl = p->Hsl;
  if (c == 0) hsl.Hue = static_cast<uint16_t>(value);
  if (c == 1) hsl.Saturation = static_cast<uint8_t>(value);
  if (c == 2) hsl.Luminance = static_cast<uint8_t>(value);
  Ring().MovePointHSL(p, p->Index, hsl);
}

int TGradientEditing::TableChannel(int entry, int c) const {
  const TColorEntry& e = Ring().ConvertTable()[entry];
  if (!Ring().RGBMode()) return HSLChannel(TableHSL(e), c);
  return c == 0 ? e.Red : c == 1 ? e.Green : e.Blue;
}

QRgb TGradientEditing::TableColor(int entry) const {
  const TColorEntry& e = Ring().ConvertTable()[entry];
  return qRgb(e.Red, e.Green, e.Blue);
}

QRgb TGradientEditing::PointColor(int n) const {
  const TRGB12& c = Point(n)->Color;
  return qRgb(Channel12To8(c.Red), Channel12To8(c.Green), Channel12To8(c.Blue));
}

TRGB12 TGradientEditing::TableValue(int entry) const {
  const TColorEntry& e = Ring().ConvertTable()[entry];
  return {Channel8To12(e.Red), Channel8To12(e.Green), Channel8To12(e.Blue)};
}

QStringList TGradientEditing::RandomStyles() const {
  return {QStringLiteral("Randomize &1"), QStringLiteral("Randomize &2"),
          QStringLiteral("Randomize &3")};
}

void TGradientEditing::Randomize(int style) {
  if (style == 0) Ring().Randomize1();
  if (style == 1) Ring().Randomize2();
  if (style == 2) Ring().Randomize3();
}

std::string TGradientEditing::LoadEntry(const std::string& file, const std::string& entry) {
  return LoadGradientEntry(file, entry, Ring());
}

void TGradientEditing::ImportMAP(const std::string& file) { Ring().ImportMAP(file); }

bool TGradientEditing::SaveEntry(const std::string& file, const std::string& title) {
  return SaveGradientEntry(file, Ring(), title);
}

void TGradientEditing::SetColor(int n, QRgb color) {
  TGradientPoint* p = Point(n);
  Ring().MovePoint(
      p, p->Index,
      {Channel8To12(qRed(color)), Channel8To12(qGreen(color)), Channel8To12(qBlue(color))});
}

void TGradientEditing::Adjust(const THSLShift& shift) {
  Ring().BeginUpdate();
  for (TGradientPoint* p = Ring().First(); p; p = p->Next) {
    if (!shift.SelectedOnly || p->Selected)
      Ring().MovePointHSL(p, p->Index, Shifted(p->Hsl, shift));
  }
  Ring().EndUpdate();
}

}  // namespace zt
