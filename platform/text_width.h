// Width of text in the small user-interface font, for laying out hint texts
// without a window system. The widths are those of a typical 8-point proportional
// UI font at 96 dots per inch; they are approximate but fixed, so that wrapping is
// the same on every machine.
#pragma once

#include <string_view>

namespace zt {

// Advance width in pixels of `text` (UTF-8). Every code point beyond ASCII counts
// as one average-width character. Any thread may call it.
int UiTextWidth(std::string_view text);

}  // namespace zt
