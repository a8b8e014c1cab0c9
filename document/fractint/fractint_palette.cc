// Decoding Fractint's encoded palettes.
#include "document/fractint/fractint_palette.h"

#include <charconv>

namespace zt {

namespace {

constexpr size_t kMaxColors = 256;

// The value 0 to 63 of a palette character, or -1.
int LetterValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  if (c == '_') return 36;
  if (c == '`') return 37;
  if (c >= 'a' && c <= 'z') return c - 'a' + 38;
  return -1;
}

// The 8-bit channel of a palette character, or -1.
int Channel(char c) {
  const int value = LetterValue(c);
  return value < 0 ? -1 : value * 255 / 63;
}

uint16_t Blend(uint16_t from, uint16_t to, int step, int steps) {
  return static_cast<uint16_t>(from + (to - from) * step / (steps + 1));
}

}  // namespace

std::optional<std::vector<TRGB12>> DecodeFractintPalette(std::string_view text) {
  std::vector<TRGB12> colors;
  int pending_blend = 0;  // colors to blend in before the next color
  size_t at = 0;
  while (at < text.size()) {
    if (text[at] == '<') {
      const size_t close = text.find('>', at);
      if (close == std::string_view::npos || colors.empty() || pending_blend > 0)
        return std::nullopt;
      int count = 0;
      const char* first = text.data() + at + 1;
      const char* last = text.data() + close;
      const auto [end, error] = std::from_chars(first, last, count);
      if (first == last || error != std::errc() || end != last || count < 0 ||
          static_cast<size_t>(count) > kMaxColors)
        return std::nullopt;
      pending_blend = count;
      at = close + 1;
      continue;
    }
    if (text.size() - at < 3) return std::nullopt;
    const int red = Channel(text[at]), green = Channel(text[at + 1]), blue = Channel(text[at + 2]);
    if (red < 0 || green < 0 || blue < 0) return std::nullopt;
    const TRGB12 color{static_cast<uint16_t>(red), static_cast<uint16_t>(green),
                       static_cast<uint16_t>(blue)};
    if (colors.size() + static_cast<size_t>(pending_blend) + 1 > kMaxColors) return std::nullopt;
    const TRGB12 previous = colors.empty() ? color : colors.back();
    for (int step = 1; step <= pending_blend; ++step) {
      colors.push_back({Blend(previous.Red, color.Red, step, pending_blend),
                        Blend(previous.Green, color.Green, step, pending_blend),
                        Blend(previous.Blue, color.Blue, step, pending_blend)});
    }
    pending_blend = 0;
    colors.push_back(color);
    at += 3;
  }
  if (pending_blend > 0) return std::nullopt;
  return colors;
}

std::array<TRGB12, 256> FullPalette(const std::vector<TRGB12>& colors) {
  std::array<TRGB12, 256> full{};
  for (size_t i = 0; i < full.size(); ++i) {
    if (i < colors.size()) {
      full[i] = colors[i];
    } else if (!colors.empty()) {
      full[i] = colors.back();
    }
  }
  return full;
}

}  // namespace zt
