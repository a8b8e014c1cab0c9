// Segment and rotation writers of the convert table.
#include "color/segment_writer.h"

#include <cmath>
#include <cstdlib>

namespace zt {

namespace {

int Wrap(int entry) {
  entry %= kGradientEntries;
  return entry < 0 ? entry + kGradientEntries : entry;
}

uint8_t RoundByte(double value) { return static_cast<uint8_t>(std::lrint(value)); }

}  // namespace

void WriteLinearChannel(TColorEntry* table, TChannel channel, int xa, int xb, int ca, int cb,
                        bool include_end) {
  const int s = xa * kEntriesPerIndex;
  int e = xb * kEntriesPerIndex;
  if (e <= s) e += kGradientEntries;
  const int64_t n = e - s + 1;
  const int d = cb - ca;
  const int q = static_cast<int>(d / n);
  const int r = static_cast<int>(d % n);
  const uint32_t step = static_cast<uint32_t>((static_cast<uint64_t>(std::abs(r)) << 32) / n);
  const int sign = r >= 0 ? 1 : -1;
  uint8_t v = static_cast<uint8_t>(ca);
  uint32_t accumulator = 0;
  const int written = static_cast<int>(include_end ? n : n - 1);
  for (int k = 0; k < written; ++k) {
    table[Wrap(s + k)].*channel = v;
    v = static_cast<uint8_t>(v + q);
    const uint32_t before = accumulator;
    accumulator += step;
    if (accumulator < before) v = static_cast<uint8_t>(v + sign);
  }
}

namespace {

bool IsExtreme(int c, int before, int after) {
  return (c >= before && c >= after) || (c <= before && c <= after);
}

}  // namespace

void WriteSmoothChannel(TColorEntry* table, TChannel channel, TSmoothSpan p, int samples_per_index,
                        bool include_end) {
  if (p.Xa >= p.Xb) p.Xb += kGradientIndices;
  if (p.Xa <= p.Xp) p.Xp -= kGradientIndices;
  if (p.Xq <= p.Xb) p.Xq += kGradientIndices;
  int h1 = p.Ca;
  if (!IsExtreme(p.Ca, p.Cp, p.Cb)) {
    const int t = (p.Ca - p.Cp) * (p.Xb - p.Xa) / (p.Xa - p.Xp);
    const int d = p.Cb - p.Ca;
    h1 = p.Ca + t * d / (t + d);
  }
  int h2 = p.Cb;
  if (!IsExtreme(p.Cb, p.Ca, p.Cq)) {
    const int u = (p.Cq - p.Cb) * (p.Xb - p.Xa) / (p.Xq - p.Xb);
    const int e = p.Cb - p.Ca;
    h2 = p.Cb - e * u / (e + u);
  }
  const double a3 = p.Cb - p.Ca + 3.0 * h1 - 3.0 * h2;
  const double a2 = 3.0 * p.Ca - 6.0 * h1 + 3.0 * h2;
  const double a1 = 3.0 * h1 - 3.0 * p.Ca;
  const double a0 = p.Ca;
  const int start = p.Xa * kEntriesPerIndex;
  const int n = samples_per_index * (p.Xb - p.Xa);
  const int stride = kEntriesPerIndex / samples_per_index;  // 2 or 1
  table[Wrap(start)].*channel = RoundByte(a0);
  const double dt = 1.0 / (n - 1);
  double t = 0;
  const int last = include_end ? n : n - 1;
  for (int k = 0; k < last; ++k, t += dt) {
    const uint8_t value = RoundByte(((a3 * t + a2) * t + a1) * t + a0);
    const int entry = start + stride + stride * k;
    if (stride == 2) {
      const int before = table[Wrap(entry - 2)].*channel;
      table[Wrap(entry - 1)].*channel = static_cast<uint8_t>((before + value) >> 1);
    }
    table[Wrap(entry)].*channel = value;
  }
  if (!include_end && stride == 2) {
    // The entry before the next segment's start still averages toward it.
    const int entry = start + stride * n;
    const double value = ((a3 * t + a2) * t + a1) * t + a0;
    const int before = table[Wrap(entry - 2)].*channel;
    table[Wrap(entry - 1)].*channel = static_cast<uint8_t>((before + RoundByte(value)) >> 1);
  }
}

void RotateChannels(TColorEntry* table, TColorEntry* temporary, int delta, const TChannel* channels,
                    int channel_count) {
  const int shift = delta * kEntriesPerIndex;
  if (shift == 0) return;
  auto copy = [&](TColorEntry& to, const TColorEntry& from) {
    for (int c = 0; c < channel_count; ++c) to.*channels[c] = from.*channels[c];
  };
  if (shift > 0) {
    const int keep = kGradientEntries - shift;
    for (int i = 0; i < shift; ++i) copy(temporary[i], table[keep + i]);
    for (int i = keep - 1; i >= 0; --i) copy(table[i + shift], table[i]);
    for (int i = 0; i < shift; ++i) copy(table[i], temporary[i]);
  } else {
    const int moved = -shift;
    const int keep = kGradientEntries - moved;
    for (int i = 0; i < moved; ++i) copy(temporary[i], table[i]);
    for (int i = 0; i < keep; ++i) copy(table[i], table[i + moved]);
    for (int i = 0; i < moved; ++i) copy(table[keep + i], temporary[i]);
  }
}

}  // namespace zt
