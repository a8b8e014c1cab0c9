// The color forms the gradient, the alpha channel and the layers share: 12-bit
// colors, HSL values, 8-bit color numbers, the layout of a layer's convert table
// and of its temporary table, and the integer conversions between the forms.
#pragma once

#include <cstdint>

namespace zt {

// A color with 12 bits per channel (0 to 4095 each).
struct TRGB12 {
  uint16_t Red = 0;
  uint16_t Green = 0;
  uint16_t Blue = 0;
  friend bool operator==(const TRGB12&, const TRGB12&) = default;
};

// Hue 0 to 359 degrees, saturation and luminance 0 to 255.
struct THSL {
  uint16_t Hue = 0;
  uint8_t Saturation = 0;
  uint8_t Luminance = 0;
  friend bool operator==(const THSL&, const THSL&) = default;
};

// One convert-table entry: blue, green, red, opacity, in memory order.
struct TColorEntry {
  uint8_t Blue = 0;
  uint8_t Green = 0;
  uint8_t Red = 0;
  uint8_t Opacity = 0;
};
static_assert(sizeof(TColorEntry) == 4);

// The ring of gradient indices, each subdivided into kEntriesPerIndex entries.
inline constexpr int kGradientIndices = 400;
inline constexpr int kEntriesPerIndex = 128;
inline constexpr int kGradientEntries = kGradientIndices * kEntriesPerIndex;  // 51,200
// Fixed entries after the gradient, written by the layer.
inline constexpr int kInsideSolidEntry = 51200;
inline constexpr int kOutsideSolidEntry = 51201;
inline constexpr int kBackgroundEntry = 51202;
inline constexpr int kMappingSolidEntry = 51203;
inline constexpr int kConvertTableEntries = 51208;
// The most entries a rotation by half the ring moves.
inline constexpr int kTemporaryTableEntries = 25600;
inline constexpr int kMaxPosition = 200;

// A convert table and a temporary table in one owner, for gradients and alpha
// channels that are not part of a layer (tests, previews).
struct TColorTables {
  TColorEntry Convert[kConvertTableEntries];
  TColorEntry Temporary[kTemporaryTableEntries];
};

// Channel width conversions.
inline uint16_t Channel8To12(int c8) { return static_cast<uint16_t>(c8 * 4095 / 255); }
inline uint8_t Channel12To8(int c12) { return static_cast<uint8_t>(c12 >> 4); }

// A color number holds red in the lowest byte, then green, then blue.
TRGB12 ColorNumberToRGB12(uint32_t number);
uint32_t RGB12ToColorNumber(const TRGB12& color);

THSL RGB12ToHSL(const TRGB12& color);
TRGB12 HSLToRGB12(const THSL& hsl);

}  // namespace zt
