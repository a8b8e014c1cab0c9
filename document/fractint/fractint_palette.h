// Fractint's encoded palettes, the value of its key colors: three characters per
// color (red, green, blue, each one of 64 letters) and "<n>" for n colors
// blended between the colors on either side.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "color/color_types.h"

namespace zt {

// The colors of an encoded palette, with 8 bits per channel in TRGB12's fields
// (the form TGradient::ImportPalette takes). Nullopt when the text is not an
// encoded palette: a character outside the alphabet, an incomplete color, "<"
// without a count and ">", a blend before the first or after the last color, or
// more than 256 colors. Any thread.
std::optional<std::vector<TRGB12>> DecodeFractintPalette(std::string_view text);

// The 256 colors of a palette that may be shorter: the missing ones repeat the
// last color (black when there is none).
std::array<TRGB12, 256> FullPalette(const std::vector<TRGB12>& colors);

}  // namespace zt
