// The merge modes as row loops over convert-table entries; see merge_modes.h.
#include "color/merge_modes.h"

#include <algorithm>
#include <cstring>

#include "color/lane_math.h"

namespace zt {
namespace {

constexpr std::array<std::string_view, kMergeModeCount> kNames = {
    "",           "multiply", "screen",    "overlay",    "softlight",
    "hardlight",  "darken",   "lighten",   "difference", "hue",
    "saturation", "color",    "luminance", "addition",   "subtraction",
    "hsladd",     "red",      "green",     "blue"};

TMultiplicationTable BuildMultiplicationTable() {
  // x * y / 255 never ends in exactly one half (255 is odd), so adding 127
  // before the division rounds to the nearest integer, halves to even included.
  TMultiplicationTable table{};
  for (int x = 0; x < 256; ++x)
    for (int y = 0; y < 256; ++y) table[x][y] = static_cast<std::uint8_t>((x * y + 127) / 255);
  return table;
}

inline int Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

inline TMergeRGB ToRgb(std::uint32_t pixel) {
  return {Channel(pixel, 16), Channel(pixel, 8), Channel(pixel, 0)};
}

[[gnu::always_inline]] inline TLanes ChannelLanes(const TLanes& pixels, int shift) {
  return (pixels >> shift) & 0xFF;
}

// x * y / 255 rounded, as the multiplication table holds it, for 0 <= x, y <= 255:
// n div 255 = (n + 1 + n div 256) div 256 holds for every n below 65,535.
[[gnu::always_inline]] inline TLanes MulLanes(const TLanes& x, const TLanes& y) {
  const TLanes n = x * y + 127;
  return (n + 1 + (n >> 8)) >> 8;
}

// The opacity mix of a bottom channel b and a blend channel v: k of v and 256 - k of b,
// the sum of the two opacity-table entries.
[[gnu::always_inline]] inline TLanes MixLanes(const TLanes& b, const TLanes& v, int k) {
  return (b * (256 - k) + v * k) >> 8;
}

constexpr std::int32_t kOpacityMask = static_cast<std::int32_t>(0xFF000000u);

struct THslLanes {
  TLanes Hue;
  TLanes Saturation;
  TLanes Luminance;
};

// The color bytes of eight pixels (blue low) as HSL. The maximum picks the hue's
// sextant pair (red before green before blue), and whether the channel after the
// maximum is the minimum picks one of the two: hue = base -+ 60 * (max - channel)
// / delta. Selects instead of branches, because neighbouring pixels rarely share
// a case.
[[gnu::always_inline]] inline THslLanes HslOfLanes(const TLanes& pixels) {
  const TLanes r = (pixels >> 16) & 0xFF;
  const TLanes g = (pixels >> 8) & 0xFF;
  const TLanes b = pixels & 0xFF;
  const TLanes max = MaxLanes(MaxLanes(r, g), b);
  const TLanes min = MinLanes(MinLanes(r, g), b);
  const TLanes sum = max + min;
  const TLanes l = sum >> 1;
  const TLanes delta = max - min;
  const TLanes red_max = r == max;
  const TLanes green_max = ~red_max & (g == max);
  const TLanes other = red_max ? (g != min) : green_max ? (b != min) : (r != min);
  const TLanes base = red_max     ? (other ? Splat(60) : Splat(300))
                      : green_max ? (other ? Splat(180) : Splat(60))
                                  : (other ? Splat(300) : Splat(180));
  const TLanes channel = red_max ? (other ? g : b) : green_max ? (other ? b : r) : (other ? r : g);
  const TLanes step = DivideLanes(60 * (max - channel), MaxLanes(delta, Splat(1)));
  TLanes hue = base + (other ? -step : step);
  hue &= hue < 360;
  // Luminance above 127 means sum >= 256, so the divisor stays below 256.
  const TLanes divisor = l > 127 ? 510 - sum : sum;
  const TLanes saturation = DivideLanes(delta * 255, MaxLanes(divisor, Splat(1)));
  const TLanes colored = (l != 0) & (delta != 0);
  return {hue & colored, saturation & colored, l};
}

// HSL (hue 0 to 511; 360 and above as the last sextant) of eight pixels as color
// bytes red << 16 | green << 8 | blue. Luminance 0 needs no case of its own: m1,
// m2 and f are all 0 then.
[[gnu::always_inline]] inline TLanes LanesOfHsl(const TLanes& hue, const TLanes& s,
                                                const TLanes& l) {
  const TLanes m2 = l > 127 ? l + s - DivideLanes(l * s + 127, Splat(255))
                            : DivideLanes((s + 255) * l, Splat(255));
  const TLanes m1 = 2 * l - m2;
  const TLanes sextant = DivideLanes(hue, Splat(60));
  const TLanes f = DivideLanes((m2 - m1) * (hue - 60 * sextant), Splat(60));
  const TLanes s0 = sextant == 0, s1 = sextant == 1, s2 = sextant == 2, s3 = sextant == 3;
  const TLanes s4 = sextant == 4;
  const TLanes red = (s0 | (sextant >= 5)) ? m2 : s1 ? m2 - f : s4 ? m1 + f : m1;
  const TLanes green = s0 ? m1 + f : (s1 | s2) ? m2 : s3 ? m2 - f : m1;
  const TLanes blue = (s0 | s1) ? m1 : s2 ? m1 + f : (s3 | s4) ? m2 : m2 - f;
  return (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
}

// The HSL modes on eight pixels: the blend color from the HSL of both, mixed with
// the bottom by the opacity weights (k of the top, 256 - k of the bottom).
template <int kMode>
[[gnu::always_inline]] inline TLanes BlendHslLanes(const TLanes& bottom, const TLanes& top, int k) {
  const THslLanes hb = HslOfLanes(bottom);
  const THslLanes ht = HslOfLanes(top);
  THslLanes v = hb;
  if constexpr (kMode == kMergeHue) {
    v.Hue = ht.Hue;
  } else if constexpr (kMode == kMergeSaturation) {
    v.Saturation = ht.Saturation;
  } else if constexpr (kMode == kMergeColor) {
    v = {ht.Hue, ht.Saturation, hb.Luminance};
  } else if constexpr (kMode == kMergeLuminance) {
    v.Luminance = ht.Luminance;
  } else {
    v.Hue = ht.Hue + hb.Hue;
    v.Hue -= 360 & (v.Hue >= 360);
    v.Saturation = MinLanes(MaxLanes(ht.Saturation + hb.Saturation - 128, Splat(0)), Splat(255));
    v.Luminance = MinLanes(MaxLanes(ht.Luminance + hb.Luminance - 128, Splat(0)), Splat(255));
  }
  const TLanes color = LanesOfHsl(v.Hue, v.Saturation, v.Luminance);
  TLanes out = top & kOpacityMask;
  for (int shift = 0; shift < 24; shift += 8)
    out |= MixLanes(ChannelLanes(bottom, shift), ChannelLanes(color, shift), k) << shift;
  return out;
}

// The blend of one bottom channel b and top channel t in the modes that treat
// channels alike.
template <int kMode>
[[gnu::always_inline]] inline TLanes BlendChannelLanes(const TLanes& b, const TLanes& t) {
  if constexpr (kMode == kMergeMultiply) {
    return MulLanes(t, b);
  } else if constexpr (kMode == kMergeScreen) {
    return 255 - MulLanes(255 - t, 255 - b);
  } else if constexpr (kMode == kMergeOverlay) {
    const TLanes low = b < 128;
    const TLanes m = low ? MulLanes(2 * b, t) : MulLanes(2 * (255 - b), 255 - t);
    return low ? m : 255 - m;
  } else if constexpr (kMode == kMergeSoftLight) {
    const TLanes low = t < 128;
    const TLanes m = low ? MulLanes(t + 127, b) : MulLanes(382 - t, 255 - b);
    return low ? m : 255 - m;
  } else if constexpr (kMode == kMergeHardLight) {
    const TLanes low = t < 128;
    const TLanes m = low ? MulLanes(2 * t, b) : MulLanes(2 * (255 - t), 255 - b);
    return low ? m : 255 - m;
  } else if constexpr (kMode == kMergeDarken) {
    return MinLanes(t, b);
  } else if constexpr (kMode == kMergeLighten) {
    return MaxLanes(t, b);
  } else if constexpr (kMode == kMergeDifference) {
    return b > t ? b - t : t - b;
  } else if constexpr (kMode == kMergeAddition) {
    return MinLanes(t + b, Splat(255));
  } else if constexpr (kMode == kMergeSubtraction) {
    return MaxLanes(b - t, Splat(0));
  } else {
    return t;
  }
}

// Eight merged pixels in `kMode`; kMode is a template argument so that the pixel
// loops hold no dispatch.
template <int kMode>
[[gnu::always_inline]] inline TLanes MergeLanes(const TLanes& bottom, const TLanes& top, int k) {
  if constexpr ((kMode >= kMergeHue && kMode <= kMergeLuminance) || kMode == kMergeHslAdd) {
    return BlendHslLanes<kMode>(bottom, top, k);
  } else if constexpr (kMode >= kMergeRed) {
    // One channel mixed, the other two the bottom's.
    constexpr int kShift = 8 * (kMergeBlue - kMode);
    constexpr std::int32_t kCopied = 0x00FFFFFF & ~(0xFF << kShift);
    const TLanes mixed = MixLanes(ChannelLanes(bottom, kShift), ChannelLanes(top, kShift), k);
    return (top & kOpacityMask) | (bottom & kCopied) | mixed << kShift;
  } else {
    TLanes out = top & kOpacityMask;
    for (int shift = 0; shift < 24; shift += 8) {
      const TLanes b = ChannelLanes(bottom, shift);
      out |= MixLanes(b, BlendChannelLanes<kMode>(b, ChannelLanes(top, shift)), k) << shift;
    }
    return out;
  }
}

// top[i] := step(bottom[i], top[i]) eight pixels at a time; the last few pixels
// go through a zero-padded copy.
template <typename TStep>
[[gnu::always_inline]] inline void ForEachLanes(const std::uint32_t* bottom, std::uint32_t* top,
                                                int count, TStep step) {
  int i = 0;
  for (; i + kLaneCount <= count; i += kLaneCount)
    StoreLanes(top + i, step(LoadLanes(bottom + i), LoadLanes(top + i)));
  if (i >= count) return;
  std::uint32_t b[kLaneCount] = {}, t[kLaneCount] = {};
  const std::size_t rest = static_cast<std::size_t>(count - i) * sizeof(std::uint32_t);
  std::memcpy(b, bottom + i, rest);
  std::memcpy(t, top + i, rest);
  StoreLanes(t, step(LoadLanes(b), LoadLanes(t)));
  std::memcpy(top + i, t, rest);
}

template <int kMode>
[[gnu::always_inline]] inline void MergeModeRow(const std::uint32_t* bottom, std::uint32_t* top,
                                                int count, int k) {
  ForEachLanes(
      bottom, top, count, [k](const TLanes& b, const TLanes& t) __attribute__((always_inline)) {
        return MergeLanes<kMode>(b, t, k);
      });
}

// The row functions exist once per processor kind and are picked when the
// program loads. The thread checker instruments the loader's pick, which then
// runs before the checker is ready, so its builds keep the plain version only.
#ifdef __SANITIZE_THREAD__
#define ZT_ROW_CLONES
#else
#define ZT_ROW_CLONES [[gnu::target_clones("avx2", "default")]]
#endif
ZT_ROW_CLONES void MergeRowLanes(int mode, const std::uint32_t* bottom, std::uint32_t* top,
                                 int count, int k) {
  switch (mode) {
    case kMergeMultiply: return MergeModeRow<kMergeMultiply>(bottom, top, count, k);
    case kMergeScreen: return MergeModeRow<kMergeScreen>(bottom, top, count, k);
    case kMergeOverlay: return MergeModeRow<kMergeOverlay>(bottom, top, count, k);
    case kMergeSoftLight: return MergeModeRow<kMergeSoftLight>(bottom, top, count, k);
    case kMergeHardLight: return MergeModeRow<kMergeHardLight>(bottom, top, count, k);
    case kMergeDarken: return MergeModeRow<kMergeDarken>(bottom, top, count, k);
    case kMergeLighten: return MergeModeRow<kMergeLighten>(bottom, top, count, k);
    case kMergeDifference: return MergeModeRow<kMergeDifference>(bottom, top, count, k);
    case kMergeHue: return MergeModeRow<kMergeHue>(bottom, top, count, k);
    case kMergeSaturation: return MergeModeRow<kMergeSaturation>(bottom, top, count, k);
    case kMergeColor: return MergeModeRow<kMergeColor>(bottom, top, count, k);
    case kMergeLuminance: return MergeModeRow<kMergeLuminance>(bottom, top, count, k);
    case kMergeAddition: return MergeModeRow<kMergeAddition>(bottom, top, count, k);
    case kMergeSubtraction: return MergeModeRow<kMergeSubtraction>(bottom, top, count, k);
    case kMergeHslAdd: return MergeModeRow<kMergeHslAdd>(bottom, top, count, k);
    case kMergeRed: return MergeModeRow<kMergeRed>(bottom, top, count, k);
    case kMergeGreen: return MergeModeRow<kMergeGreen>(bottom, top, count, k);
    case kMergeBlue: return MergeModeRow<kMergeBlue>(bottom, top, count, k);
    default: return MergeModeRow<kMergeNormal>(bottom, top, count, k);
  }
}

// The top laid over the bottom with its own opacity byte a.
[[gnu::always_inline]] inline TLanes AlphaOverLanes(const TLanes& bottom, const TLanes& top) {
  const TLanes a = ChannelLanes(top, 24);
  TLanes out = top & kOpacityMask;
  for (int shift = 0; shift < 24; shift += 8) {
    const TLanes c =
        MulLanes(a, ChannelLanes(top, shift)) + MulLanes(255 - a, ChannelLanes(bottom, shift));
    out |= (c & 0xFF) << shift;
  }
  return out;
}

ZT_ROW_CLONES void AlphaOverRowLanes(std::uint32_t* top, const std::uint32_t* bottom, int count) {
  ForEachLanes(
      bottom, top, count, [](const TLanes& b, const TLanes& t) __attribute__((always_inline)) {
        return AlphaOverLanes(b, t);
      });
}

}  // namespace

std::string_view MergeModeName(int mode) {
  return mode >= 0 && mode < kMergeModeCount ? kNames[mode] : std::string_view();
}

int MergeModeFromName(std::string_view name) {
  for (int mode = 1; mode < kMergeModeCount; ++mode)
    if (kNames[mode] == name) return mode;
  return -1;
}

const TMultiplicationTable& MultiplicationTable() {
  static const TMultiplicationTable table = BuildMultiplicationTable();
  return table;
}

void BuildOpacityTable(int opacity, TOpacityTable& table) {
  const std::uint32_t k = std::clamp(opacity, 0, 100) * 256 / 100;
  for (std::uint32_t i = 0; i < 256; ++i) {
    table[i] = i * k;
    table[256 + i] = i * (256 - k);
  }
}

TMergeHSL MergeRgbToHsl(TMergeRGB c) {
  const THslLanes hsl = HslOfLanes(Splat(c.Red << 16 | c.Green << 8 | c.Blue));
  return {hsl.Hue[0], hsl.Saturation[0], hsl.Luminance[0]};
}

TMergeRGB MergeHslToRgb(TMergeHSL hsl) {
  const TLanes c = LanesOfHsl(Splat(hsl.Hue), Splat(hsl.Saturation), Splat(hsl.Luminance));
  return ToRgb(static_cast<std::uint32_t>(c[0]));
}

void MergeRow(int mode, const std::uint32_t* bottom, std::uint32_t* top, int count,
              const TOpacityTable& op) {
  // The table is linear: entry 1 holds the top's weight k.
  MergeRowLanes(mode, bottom, top, count, static_cast<int>(op[1]));
}

void AlphaOverRow(std::uint32_t* top, const std::uint32_t* bottom, int count) {
  AlphaOverRowLanes(top, bottom, count);
}

}  // namespace zt
