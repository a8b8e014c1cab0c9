// Fixed advance widths of the UI font. The numbers approximate the advance widths
// of a typical 8-point sans-serif dialog font at 96 dots per inch (an 11-pixel
// cell), rounded to whole pixels. They are not read from any installed font, so
// wrapping is approximate but the same everywhere.
#include "platform/text_width.h"

#include <array>

namespace zt {
namespace {

// Characters 32 (space) to 126 (tilde).
constexpr std::array<unsigned char, 95> kAdvance = {
    3, 3, 4, 7, 6, 10, 7, 2, 4, 4,  6, 7, 3, 4, 3, 4,  //  !"#$%&'()*+,-./
    6, 6, 6, 6, 6, 6,  6, 6, 6, 6,                     // 0-9
    3, 3, 7, 7, 7, 5,  9,                              // :;<=>?@
    6, 6, 6, 7, 6, 5,  7, 7, 4, 4,  6, 5, 8,           // A-M
    7, 7, 6, 7, 7, 6,  6, 7, 6, 10, 6, 6, 6,           // N-Z
    4, 4, 4, 7, 6, 6,                                  // [\]^_`
    5, 6, 5, 6, 6, 3,  6, 6, 2, 3,  5, 2, 8,           // a-m
    6, 6, 6, 6, 4, 5,  4, 6, 5, 8,  5, 5, 5,           // n-z
    5, 4, 5, 7,                                        // {|}~
};
constexpr int kAverageAdvance = 6;

}  // namespace

int UiTextWidth(std::string_view text) {
  int width = 0;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 32 && c <= 126) {
      width += kAdvance[c - 32];
    } else if (c >= 0xC0) {  // lead byte of a code point beyond ASCII
      width += kAverageAdvance;
    }  // control characters and UTF-8 continuation bytes take no room
  }
  return width;
}

}  // namespace zt
