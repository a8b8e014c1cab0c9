// The merge modes as row loops over convert-table entries; see merge_modes.h.
#include "color/merge_modes.h"

#include <algorithm>

namespace zt {
namespace {

constexpr std::array<std::string_view, kMergeModeCount> kNames = {
    "",           "multiply", "screen",  "overlay",    "softlight", "hardlight", "darken",
    "lighten",    "difference", "hue",   "saturation", "color",     "luminance", "addition",
    "subtraction", "hsladd",  "red",     "green",      "blue"};

TMultiplicationTable BuildMultiplicationTable() {
  // x * y / 255 never ends in exactly one half (255 is odd), so adding 127
  // before the division rounds to the nearest integer, halves to even included.
  TMultiplicationTable table{};
  for (int x = 0; x < 256; ++x)
    for (int y = 0; y < 256; ++y) table[x][y] = static_cast<std::uint8_t>((x * y + 127) / 255);
  return table;
}

// Hue arithmetic by lookup instead of division: value mod 60 for 0 to 511 and
// value div 60 for 0 to 16,383.
struct THueTables {
  std::array<std::uint8_t, 512> mod60;
  std::array<std::uint16_t, 16384> div60;
  THueTables() {
    for (int i = 0; i < 512; ++i) mod60[i] = static_cast<std::uint8_t>(i % 60);
    for (int i = 0; i < 16384; ++i) div60[i] = static_cast<std::uint16_t>(i / 60);
  }
};

const THueTables& HueTables() {
  static const THueTables tables;
  return tables;
}

inline int Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

inline TMergeRGB ToRgb(std::uint32_t pixel) {
  return {Channel(pixel, 16), Channel(pixel, 8), Channel(pixel, 0)};
}

// Blends every color channel of every pixel with `blend(b, t)`.
template <typename TBlend>
void BlendChannels(const std::uint32_t* bottom, std::uint32_t* top, int count,
                   const TOpacityTable& op, TBlend blend) {
  for (int i = 0; i < count; ++i) {
    const std::uint32_t b = bottom[i];
    std::uint32_t out = top[i] & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
      const int bc = Channel(b, shift);
      const int v = blend(bc, Channel(top[i], shift));
      out |= ((op[256 + bc] + op[v]) >> 8) << shift;
    }
    top[i] = out;
  }
}

// Blends whole pixels: `blend(bottom, top)` gives the blend color of the pixel.
template <typename TBlend>
void BlendPixels(const std::uint32_t* bottom, std::uint32_t* top, int count,
                 const TOpacityTable& op, TBlend blend) {
  for (int i = 0; i < count; ++i) {
    const std::uint32_t b = bottom[i];
    const TMergeRGB v = blend(ToRgb(b), ToRgb(top[i]));
    const std::uint32_t red = (op[256 + Channel(b, 16)] + op[v.red]) >> 8;
    const std::uint32_t green = (op[256 + Channel(b, 8)] + op[v.green]) >> 8;
    const std::uint32_t blue = (op[256 + Channel(b, 0)] + op[v.blue]) >> 8;
    top[i] = (top[i] & 0xFF000000u) | red << 16 | green << 8 | blue;
  }
}

// Mixes one channel (at `shift`) and copies the other two from the bottom.
void BlendOneChannel(const std::uint32_t* bottom, std::uint32_t* top, int count,
                     const TOpacityTable& op, int shift) {
  const std::uint32_t mask = 0xFFu << shift;
  const std::uint32_t copied = 0x00FFFFFFu & ~mask;
  for (int i = 0; i < count; ++i) {
    const std::uint32_t b = bottom[i];
    const std::uint32_t mixed = (op[256 + Channel(b, shift)] + op[Channel(top[i], shift)]) >> 8;
    top[i] = (top[i] & 0xFF000000u) | (b & copied) | mixed << shift;
  }
}

inline int ClampByte(int value) { return std::clamp(value, 0, 255); }

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
  const int max = std::max({c.red, c.green, c.blue});
  const int min = std::min({c.red, c.green, c.blue});
  TMergeHSL hsl;
  hsl.luminance = (max + min) / 2;
  if (hsl.luminance == 0) return {};
  const int delta = max - min;
  if (delta == 0) return hsl;
  int hue;
  if (c.red == max) {
    hue = c.green == min ? 300 + 60 * (c.red - c.blue) / delta
                         : 60 - 60 * (c.red - c.green) / delta;
  } else if (c.green == max) {
    hue = c.blue == min ? 60 + 60 * (c.green - c.red) / delta
                        : 180 - 60 * (c.green - c.blue) / delta;
  } else {
    hue = c.red == min ? 180 + 60 * (c.blue - c.green) / delta
                       : 300 - 60 * (c.blue - c.red) / delta;
  }
  hsl.hue = hue >= 360 ? 0 : hue;
  hsl.saturation = delta * 255 / (hsl.luminance > 127 ? 510 - max - min : max + min);
  return hsl;
}

TMergeRGB MergeHslToRgb(TMergeHSL hsl) {
  const int l = hsl.luminance;
  const int s = hsl.saturation;
  const int m2 = l > 127 ? l + s - MultiplicationTable()[l][s] : (s + 255) * l / 255;
  if (m2 <= 0) return {};
  const THueTables& tables = HueTables();
  const int m1 = 2 * l - m2;
  const int f = tables.div60[(m2 - m1) * tables.mod60[hsl.hue]];
  TMergeRGB c;
  switch (tables.div60[hsl.hue]) {
    case 0: c = {m2, m1 + f, m1}; break;
    case 1: c = {m2 - f, m2, m1}; break;
    case 2: c = {m1, m2, m1 + f}; break;
    case 3: c = {m1, m2 - f, m2}; break;
    case 4: c = {m1 + f, m1, m2}; break;
    default: c = {m2, m1, m2 - f}; break;
  }
  return {c.red & 0xFF, c.green & 0xFF, c.blue & 0xFF};
}

void MergeRow(int mode, const std::uint32_t* bottom, std::uint32_t* top, int count,
              const TOpacityTable& op) {
  const TMultiplicationTable& m = MultiplicationTable();
  switch (mode) {
    case mmMultiply:
      return BlendChannels(bottom, top, count, op, [&](int b, int t) { return m[t][b]; });
    case mmScreen:
      return BlendChannels(bottom, top, count, op,
                           [&](int b, int t) { return 255 - m[255 - t][255 - b]; });
    case mmOverlay:
      return BlendChannels(bottom, top, count, op, [&](int b, int t) {
        return b < 128 ? m[2 * b][t] : 255 - m[2 * (255 - b)][255 - t];
      });
    case mmSoftLight:
      return BlendChannels(bottom, top, count, op, [&](int b, int t) {
        return t < 128 ? m[t + 127][b] : 255 - m[382 - t][255 - b];
      });
    case mmHardLight:
      return BlendChannels(bottom, top, count, op, [&](int b, int t) {
        return t < 128 ? m[2 * t][b] : 255 - m[2 * (255 - t)][255 - b];
      });
    case mmDarken:
      return BlendChannels(bottom, top, count, op, [](int b, int t) { return std::min(t, b); });
    case mmLighten:
      return BlendChannels(bottom, top, count, op, [](int b, int t) { return std::max(t, b); });
    case mmDifference:
      return BlendChannels(bottom, top, count, op, [](int b, int t) { return b > t ? b - t : t - b; });
    case mmAddition:
      return BlendChannels(bottom, top, count, op,
                           [](int b, int t) { return std::min(t + b, 255); });
    case mmSubtraction:
      return BlendChannels(bottom, top, count, op, [](int b, int t) { return std::max(b - t, 0); });
    case mmHue:
    case mmSaturation:
    case mmColor:
    case mmLuminance:
    case mmHslAdd:
      return BlendPixels(bottom, top, count, op, [mode](TMergeRGB b, TMergeRGB t) {
        const TMergeHSL hb = MergeRgbToHsl(b);
        const TMergeHSL ht = MergeRgbToHsl(t);
        TMergeHSL v = hb;
        switch (mode) {
          case mmHue: v.hue = ht.hue; break;
          case mmSaturation: v.saturation = ht.saturation; break;
          case mmColor: v = {ht.hue, ht.saturation, hb.luminance}; break;
          case mmLuminance: v.luminance = ht.luminance; break;
          default:
            v.hue = ht.hue + hb.hue;
            if (v.hue >= 360) v.hue -= 360;
            v.saturation = ClampByte(ht.saturation + hb.saturation - 128);
            v.luminance = ClampByte(ht.luminance + hb.luminance - 128);
            break;
        }
        return MergeHslToRgb(v);
      });
    case mmRed: return BlendOneChannel(bottom, top, count, op, 16);
    case mmGreen: return BlendOneChannel(bottom, top, count, op, 8);
    case mmBlue: return BlendOneChannel(bottom, top, count, op, 0);
    default:
      return BlendChannels(bottom, top, count, op, [](int, int t) { return t; });
  }
}

void AlphaOverRow(std::uint32_t* top, const std::uint32_t* bottom, int count) {
  const TMultiplicationTable& m = MultiplicationTable();
  for (int i = 0; i < count; ++i) {
    const int a = top[i] >> 24;
    std::uint32_t out = top[i] & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
      const int c = (m[a][Channel(top[i], shift)] + m[255 - a][Channel(bottom[i], shift)]) & 0xFF;
      out |= static_cast<std::uint32_t>(c) << shift;
    }
    top[i] = out;
  }
}

}  // namespace zt
