// The gradient's own parts: its color values, table writers, default, inversion
// and randomize styles. Palette import lives in map_palette.cc.
#include "color/gradient.h"

#include "color/segment_writer.h"

namespace zt {

namespace {

constexpr TChannel kColorChannels[] = {&TColorEntry::Blue, &TColorEntry::Green, &TColorEntry::Red};

std::array<int, 3> Channels8(const TRGB12& c) {
  return {Channel12To8(c.Blue), Channel12To8(c.Green), Channel12To8(c.Red)};
}

uint16_t Random12(uint32_t n, int offset = 0) {
  return static_cast<uint16_t>(ProgramRandom().Random(n) + offset);
}

TRGB12 Light() { return {Random12(1024, 3072), Random12(1024, 3072), Random12(1024, 3072)}; }
TRGB12 Dark() { return {Random12(2048), Random12(2048), Random12(2048)}; }

void MuteOneChannel(TRGB12& color) {
  uint16_t* channels[] = {&color.Red, &color.Green, &color.Blue};
  const uint32_t which = ProgramRandom().Random(3);
  *channels[which] = Random12(1024);
}

}  // namespace

TGradient::TGradient(TColorEntry* convert_table, TColorEntry* temporary_table, bool rgb_mode)
    : TControlRing(convert_table, temporary_table) {
  BuildDefault(rgb_mode);
}

TGradient::TGradient(bool rgb_mode) : TControlRing(std::make_unique<TColorTables>()) {
  BuildDefault(rgb_mode);
}

TGradient::~TGradient() {
  if (OnDestroy) OnDestroy(*this);
}

void TGradient::BuildDefault(bool rgb_mode) {
  rgb_mode_ = rgb_mode;
  BeginUpdate();
  Clear();
  SetPosition(0);
  InsertPoint(0, {0, 0, 4095});
  InsertPoint(100, {4095, 4095, 4095});
  InsertPoint(200, {4095, 4095, 0});
  InsertPoint(300, {4095, 0, 0});
  SetSmooth(true);
  EndUpdate();
  StartHistory();
}

void TGradient::SetRGBMode(bool rgb_mode) {
  if (rgb_mode == rgb_mode_) return;
  rgb_mode_ = rgb_mode;
  SelectionChanged();
}

void TGradient::SetValue(TGradientPoint& point, const TRGB12& color) {
  point.Color = color;
  point.Hsl = RGB12ToHSL(color);
}

void TGradient::MovePointHSL(TGradientPoint* point, int index, const THSL& hsl) {
  MovePoint(point, index, HSLToRGB12(hsl));
}

void TGradient::Invert() {
  for (TGradientPoint* p = First(); p; p = p->Next) {
    SetValue(*p, {uint16_t(4095 - p->Color.Red), uint16_t(4095 - p->Color.Green),
                  uint16_t(4095 - p->Color.Blue)});
  }
  Changed(kChangeGeneral);
}

void TGradient::Randomize1() {
  RandomizeWith(40, false, [] { return TRGB12{Random12(4096), Random12(4096), Random12(4096)}; });
}

void TGradient::Randomize2() {
  bool light = true;
  RandomizeWith(40, false, [&light] {
    TRGB12 color = light ? Light() : Dark();
    light = !light;
    MuteOneChannel(color);
    if (ProgramRandom().Random(2) == 0) MuteOneChannel(color);
    return color;
  });
}

void TGradient::Randomize3() {
  bool dark = true;
  RandomizeWith(40, true, [&dark] {
    TRGB12 color = dark ? Dark() : Light();
    dark = !dark;
    return color;
  });
}

void TGradient::RandomizeCount(int count) {
  RandomizeCountWith(count, [] { return TRGB12{Random12(4096), Random12(4096), Random12(4096)}; });
}

void TGradient::ClearTable() {
  // Only the color bytes of the gradient entries: the opacity bytes belong to the
  // alpha channel and the fixed entries to the layer.
  for (int e = 0; e < kGradientEntries; ++e) {
    for (TChannel channel : kColorChannels) ConvertTable()[e].*channel = 0;
  }
}

void TGradient::WriteSegment(const TGradientPoint& a) {
  const TGradientPoint& b = *After(a);
  const bool include_end = &a == Last();
  const std::array<int, 3> ca = Channels8(a.Color);
  const std::array<int, 3> cb = Channels8(b.Color);
  if (!Smooth()) {
    for (int c = 0; c < 3; ++c) {
      WriteLinearChannel(ConvertTable(), kColorChannels[c], a.Index, b.Index, ca[c], cb[c],
                         include_end);
    }
    return;
  }
  const TGradientPoint& p = *Before(a);
  const TGradientPoint& q = *After(b);
  const std::array<int, 3> cp = Channels8(p.Color);
  const std::array<int, 3> cq = Channels8(q.Color);
  for (int c = 0; c < 3; ++c) {
    WriteSmoothChannel(ConvertTable(), kColorChannels[c],
                       {p.Index, a.Index, b.Index, q.Index, cp[c], ca[c], cb[c], cq[c]}, 64,
                       include_end);
  }
}

void TGradient::RotateTable(int delta) {
  RotateChannels(ConvertTable(), TemporaryTable(), delta, kColorChannels, 3);
}

}  // namespace zt
