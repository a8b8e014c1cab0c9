// The alpha channel's own parts: opacity checks, the opacity-byte writers,
// inversion, randomizing and the transparency notice.
#include "color/alpha_channel.h"

#include "color/segment_writer.h"

namespace zt {

namespace {

constexpr TChannel kOpacity[] = {&TColorEntry::Opacity};

void CheckOpacity(int opacity) {
  if (opacity < 0 || opacity > 255) throw EZentrope("Opacity value out of range");
}

int RandomOpacity() { return static_cast<int>(ProgramRandom().Random(256)); }

}  // namespace

TAlphaChannel::TAlphaChannel(TColorEntry* convert_table, TColorEntry* temporary_table)
    : TRing(convert_table, temporary_table) {
  BuildDefault();
}

TAlphaChannel::TAlphaChannel() : TRing(std::make_unique<TColorTables>()) { BuildDefault(); }

TAlphaChannel::~TAlphaChannel() {
  if (OnDestroy) OnDestroy(*this);
}

void TAlphaChannel::BuildDefault() {
  BeginUpdate();
  TRing::InsertPoint(0, 255);
  SetSmooth(true);
  EndUpdate();
  StartHistory();
}

TAlphaPoint* TAlphaChannel::InsertPoint(int index, int opacity) {
  CheckIndex(index);
  CheckOpacity(opacity);
  return TRing::InsertPoint(index, opacity);
}

void TAlphaChannel::MovePoint(TAlphaPoint* point, int index, int opacity) {
  CheckIndex(index);
  CheckOpacity(opacity);
  TRing::MovePoint(point, index, opacity);
}

void TAlphaChannel::Invert() {
  for (TAlphaPoint* p = First(); p; p = p->Next) p->Opacity = 255 - p->Opacity;
  Changed(kChangeGeneral);
}

void TAlphaChannel::Randomize() { RandomizeWith(40, false, RandomOpacity); }

void TAlphaChannel::RandomizeCount(int count) { RandomizeCountWith(count, RandomOpacity); }

void TAlphaChannel::WriteSegment(const TAlphaPoint& a) {
  const TAlphaPoint& b = *After(a);
  const bool include_end = &a == Last();
  if (!Smooth()) {
    WriteLinearChannel(ConvertTable(), &TColorEntry::Opacity, a.Index, b.Index, a.Opacity,
                       b.Opacity, include_end);
    return;
  }
  const TAlphaPoint& p = *Before(a);
  const TAlphaPoint& q = *After(b);
  WriteSmoothChannel(
      ConvertTable(), &TColorEntry::Opacity,
      {p.Index, a.Index, b.Index, q.Index, p.Opacity, a.Opacity, b.Opacity, q.Opacity}, 128,
      include_end);
}

void TAlphaChannel::RotateTable(int delta) {
  RotateChannels(ConvertTable(), TemporaryTable(), delta, kOpacity, 1);
}

void TAlphaChannel::AfterChangeDelivered() {
  transparent_ = false;
  for (TAlphaPoint* p = First(); p; p = p->Next) transparent_ = transparent_ || p->Opacity < 255;
  if (OnTransparencyChange) OnTransparencyChange(*this);
}

}  // namespace zt
