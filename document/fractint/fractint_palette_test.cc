// Tests of the decoding of Fractint's encoded palettes.
#include "document/fractint/fractint_palette.h"

#include <gtest/gtest.h>

#include <string>

namespace zt {
namespace {

TEST(FractintPalette, ColorsAndBlends) {
  const struct {
    const char* Text;
    std::vector<TRGB12> Colors;
  } cases[] = {
      {"000<2>zzz", {{0, 0, 0}, {85, 85, 85}, {170, 170, 170}, {255, 255, 255}}},
      // The alphabet: digits, capitals, '_', '`', small letters; value * 255 / 63.
      {"09AZ_`", {{0, 36, 40}, {141, 145, 149}}},
      {"az0", {{153, 255, 0}}},
      {"z00<1>000", {{255, 0, 0}, {128, 0, 0}, {0, 0, 0}}},
      {"000<0>zzz", {{0, 0, 0}, {255, 255, 255}}},
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    const auto colors = DecodeFractintPalette(c.Text);
    ASSERT_TRUE(colors);
    EXPECT_EQ(*colors, c.Colors);
  }
}

TEST(FractintPalette, InvalidTexts) {
  std::string full;
  for (int i = 0; i < 256; ++i) full += "abc";
  for (const std::string& text :
       {std::string("00!"), std::string("0000"), std::string("<2>000"), std::string("000<2zzz"),
        std::string("000<>zzz"), std::string("000<x>zzz"), std::string("000<2><2>zzz"),
        std::string("000<3>"), std::string("000<255>zzz"), full + "000",
        full.substr(3) + "<1>000"}) {
    SCOPED_TRACE(text.substr(0, 20));
    EXPECT_FALSE(DecodeFractintPalette(text));
  }
  ASSERT_TRUE(DecodeFractintPalette(full));
  EXPECT_EQ(DecodeFractintPalette(full)->size(), 256u);
  EXPECT_EQ(DecodeFractintPalette("000<254>zzz")->size(), 256u);
}

TEST(FractintPalette, AShortPaletteRepeatsItsLastColor) {
  const auto full = FullPalette({{1, 2, 3}, {4, 5, 6}});
  EXPECT_EQ(full[0], (TRGB12{1, 2, 3}));
  EXPECT_EQ(full[1], (TRGB12{4, 5, 6}));
  EXPECT_EQ(full[255], (TRGB12{4, 5, 6}));
  EXPECT_EQ(FullPalette({})[7], TRGB12{});
}

}  // namespace
}  // namespace zt
