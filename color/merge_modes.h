// Compositing of one layer's color row onto the row below it: the nineteen merge
// modes, the alpha-over step, the integer HSL conversions the color modes need and
// the program-wide multiplication table. Everything works on whole rows of
// convert-table entries (bytes blue, green, red, opacity; blue in the low byte),
// eight pixels at a time without branches or hardware divisions, because the
// update manager merges every visible row of every layer. The row functions come
// in an AVX2 and a plain variant; the loader picks the one the processor runs.
//
// Threads: all functions are pure and may be called from any thread; the
// multiplication table is built once, on first use, and only read afterwards.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zt {

enum TMergeMode : std::uint8_t {
  kMergeNormal = 0,
  kMergeMultiply,
  kMergeScreen,
  kMergeOverlay,
  kMergeSoftLight,
  kMergeHardLight,
  kMergeDarken,
  kMergeLighten,
  kMergeDifference,
  kMergeHue,
  kMergeSaturation,
  kMergeColor,
  kMergeLuminance,
  kMergeAddition,
  kMergeSubtraction,
  kMergeHslAdd,
  kMergeRed,
  kMergeGreen,
  kMergeBlue
};
constexpr int kMergeModeCount = 19;

// Parameter-text names of the modes; the normal mode has none (an empty name).
std::string_view MergeModeName(int mode);
// The mode with this name, or -1.
int MergeModeFromName(std::string_view name);

// M(x, y) = x * y / 255 rounded, for x, y = 0 to 255.
using TMultiplicationTable = std::array<std::array<std::uint8_t, 256>, 256>;
const TMultiplicationTable& MultiplicationTable();

// Entry i = i * k and entry 256 + i = i * (256 - k) with k = opacity * 256 div 100,
// so that a blend of b and v costs two lookups: (entry[256 + b] + entry[v]) shr 8.
using TOpacityTable = std::array<std::uint32_t, 512>;
// `opacity` is a percentage, clamped to 0 to 100.
void BuildOpacityTable(int opacity, TOpacityTable& table);

// Integer HSL of 8-bit colors: hue 0 to 359, saturation and luminance 0 to 255.
struct TMergeHSL {
  int Hue = 0;
  int Saturation = 0;
  int Luminance = 0;
  bool operator==(const TMergeHSL&) const = default;
};
struct TMergeRGB {
  int Red = 0;
  int Green = 0;
  int Blue = 0;
  bool operator==(const TMergeRGB&) const = default;
};
TMergeHSL MergeRgbToHsl(TMergeRGB color);
// Hue must lie in 0 to 511 and saturation and luminance in 0 to 255.
TMergeRGB MergeHslToRgb(TMergeHSL hsl);

// top[i] := the blend of bottom[i] (below) and top[i] (this layer) in `mode`,
// weighted by `opacity` (as BuildOpacityTable fills it). Only the color bytes
// change; the opacity byte stays the top's. A mode outside 0 to 18 blends as the
// normal mode.
void MergeRow(int mode, const std::uint32_t* bottom, std::uint32_t* top, int count,
              const TOpacityTable& opacity);

// top[i] := top[i] laid over bottom[i] with the top pixel's opacity byte.
void AlphaOverRow(std::uint32_t* top, const std::uint32_t* bottom, int count);

}  // namespace zt
