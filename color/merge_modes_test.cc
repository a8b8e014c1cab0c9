// Checks the table-driven merge modes against plain arithmetic written here, over
// every pair of channel values, and the integer HSL conversions they rely on.
#include "color/merge_modes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace zt {
namespace {

int RefM(int x, int y) { return static_cast<int>(std::floor(x * y / 255.0 + 0.5)); }

int RefChannelBlend(int mode, int b, int t) {
  switch (mode) {
    case kMergeMultiply: return RefM(t, b);
    case kMergeScreen: return 255 - RefM(255 - t, 255 - b);
    case kMergeOverlay: return b < 128 ? RefM(2 * b, t) : 255 - RefM(2 * (255 - b), 255 - t);
    case kMergeSoftLight: return t < 128 ? RefM(t + 127, b) : 255 - RefM(382 - t, 255 - b);
    case kMergeHardLight: return t < 128 ? RefM(2 * t, b) : 255 - RefM(2 * (255 - t), 255 - b);
    case kMergeDarken: return std::min(t, b);
    case kMergeLighten: return std::max(t, b);
    case kMergeDifference: return std::abs(b - t);
    case kMergeAddition: return std::min(t + b, 255);
    case kMergeSubtraction: return std::max(b - t, 0);
    default: return t;
  }
}

int RefMix(int b, int v, int opacity) {
  const int k = opacity * 256 / 100;
  return (b * (256 - k) + v * k) / 256;
}

TMergeHSL RefToHsl(int r, int g, int b) {
  const int max = std::max({r, g, b}), min = std::min({r, g, b});
  const int l = (max + min) / 2;
  if (l == 0) return {};
  const int d = max - min;
  if (d == 0) return {0, 0, l};
  int h;
  if (r == max)
    h = g == min ? 300 + 60 * (r - b) / d : 60 - 60 * (r - g) / d;
  else if (g == max)
    h = b == min ? 60 + 60 * (g - r) / d : 180 - 60 * (g - b) / d;
  else
    h = r == min ? 180 + 60 * (b - g) / d : 300 - 60 * (b - r) / d;
  if (h >= 360) h = 0;
  return {h, d * 255 / (l > 127 ? 510 - max - min : max + min), l};
}

TMergeRGB RefToRgb(int h, int s, int l) {
  const int m2 = l > 127 ? l + s - RefM(l, s) : (s + 255) * l / 255;
  if (m2 <= 0) return {};
  const int m1 = 2 * l - m2;
  const int f = (m2 - m1) * (h % 60) / 60;
  const int up = m1 + f, down = m2 - f;
  // Red, green and blue per sextant; hues of 360 and above use the last one.
  const int sextants[6][3] = {{m2, up, m1},   {down, m2, m1}, {m1, m2, up},
                              {m1, down, m2}, {up, m1, m2},   {m2, m1, down}};
  const int* c = sextants[std::min(h / 60, 5)];
  return {c[0] & 255, c[1] & 255, c[2] & 255};
}

std::uint32_t Pack(int r, int g, int b, int a = 255) {
  return static_cast<std::uint32_t>(a) << 24 | r << 16 | g << 8 | b;
}
int R(std::uint32_t p) { return (p >> 16) & 255; }
int G(std::uint32_t p) { return (p >> 8) & 255; }
int B(std::uint32_t p) { return p & 255; }

// The reference of one merged pixel (color bytes; the opacity byte is the top's).
std::uint32_t RefMerge(int mode, std::uint32_t bottom, std::uint32_t top, int opacity) {
  const int a = top >> 24;
  if (mode >= kMergeRed) {
    int c[3] = {R(bottom), G(bottom), B(bottom)};
    const int t[3] = {R(top), G(top), B(top)};
    const int i = mode - kMergeRed;
    c[i] = RefMix(c[i], t[i], opacity);
    return Pack(c[0], c[1], c[2], a);
  }
  TMergeRGB v;
  if ((mode >= kMergeHue && mode <= kMergeLuminance) || mode == kMergeHslAdd) {
    const TMergeHSL hb = RefToHsl(R(bottom), G(bottom), B(bottom));
    const TMergeHSL ht = RefToHsl(R(top), G(top), B(top));
    TMergeHSL x = hb;
    if (mode == kMergeHue) x.Hue = ht.Hue;
    if (mode == kMergeSaturation) x.Saturation = ht.Saturation;
    if (mode == kMergeColor) x = {ht.Hue, ht.Saturation, hb.Luminance};
    if (mode == kMergeLuminance) x.Luminance = ht.Luminance;
    if (mode == kMergeHslAdd) {
      x.Hue = (ht.Hue + hb.Hue) % 360;
      x.Saturation = std::clamp(ht.Saturation + hb.Saturation - 128, 0, 255);
      x.Luminance = std::clamp(ht.Luminance + hb.Luminance - 128, 0, 255);
    }
    v = RefToRgb(x.Hue, x.Saturation, x.Luminance);
  } else {
    v = {RefChannelBlend(mode, R(bottom), R(top)), RefChannelBlend(mode, G(bottom), G(top)),
         RefChannelBlend(mode, B(bottom), B(top))};
  }
  return Pack(RefMix(R(bottom), v.Red, opacity), RefMix(G(bottom), v.Green, opacity),
              RefMix(B(bottom), v.Blue, opacity), a);
}

TEST(MultiplicationTableTest, RoundsToNearest) {
  const TMultiplicationTable& m = MultiplicationTable();
  for (int x = 0; x < 256; ++x)
    for (int y = 0; y < 256; ++y) ASSERT_EQ(m[x][y], RefM(x, y)) << x << " " << y;
}

TEST(OpacityTableTest, EntriesFollowTheOpacity) {
  TOpacityTable table;
  const struct {
    int Opacity, K;
  } cases[] = {{0, 0}, {50, 128}, {37, 94}, {100, 256}, {-5, 0}, {150, 256}};
  for (const auto& c : cases) {
    BuildOpacityTable(c.Opacity, table);
    for (std::uint32_t i = 0; i < 256; ++i) {
      ASSERT_EQ(table[i], i * c.K) << c.Opacity;
      ASSERT_EQ(table[256 + i], i * (256 - c.K)) << c.Opacity;
    }
  }
}

TEST(MergeModeNameTest, NamesRoundTrip) {
  EXPECT_EQ(MergeModeName(0), "");
  EXPECT_EQ(MergeModeName(kMergeHslAdd), "hsladd");
  EXPECT_EQ(MergeModeName(19), "");
  for (int mode = 1; mode < kMergeModeCount; ++mode)
    EXPECT_EQ(MergeModeFromName(MergeModeName(mode)), mode);
  EXPECT_EQ(MergeModeFromName(""), -1);
  EXPECT_EQ(MergeModeFromName("Multiply"), -1);
}

TEST(MergeHslTest, ConversionsMatchPlainArithmetic) {
  for (int r = 0; r < 256; ++r)
    for (int g = 0; g < 256; ++g)
      for (int b = 0; b < 256; b += 3)
        ASSERT_EQ(MergeRgbToHsl({r, g, b}), RefToHsl(r, g, b)) << r << " " << g << " " << b;
  for (int h = 0; h < 360; ++h)
    for (int s = 0; s < 256; s += 3)
      for (int l = 0; l < 256; l += 2)
        ASSERT_EQ(MergeHslToRgb({h, s, l}), RefToRgb(h, s, l)) << h << " " << s << " " << l;
}

// The conversions run without branches or divisions. Every color goes through
// both in rows (the luminance mode at full opacity with the top equal to the
// bottom gives back HslToRgb(RgbToHsl(color))), and the hues 360 to 511, which
// no color produces, go through the single conversion. The first mismatch is
// reported (a check per color would take too long here).
TEST(MergeHslTest, WholeDomainMatchesPlainArithmetic) {
  TOpacityTable full;
  BuildOpacityTable(100, full);
  std::vector<std::uint32_t> bottom(65536), row(65536);
  std::string mismatch;
  for (int r = 0; r < 256 && mismatch.empty(); ++r) {
    for (int i = 0; i < 65536; ++i) bottom[i] = Pack(r, i >> 8, i & 255, 0);
    row = bottom;
    MergeRow(kMergeLuminance, bottom.data(), row.data(), 65536, full);
    for (int i = 0; i < 65536; ++i) {
      const TMergeHSL hsl = RefToHsl(r, i >> 8, i & 255);
      const TMergeRGB back = RefToRgb(hsl.Hue, hsl.Saturation, hsl.Luminance);
      if (row[i] != Pack(back.Red, back.Green, back.Blue, 0)) {
        mismatch = "rgb " + std::to_string(r) + " " + std::to_string(i >> 8) + " " +
                   std::to_string(i & 255);
        break;
      }
    }
  }
  for (int h = 0; h < 512 && mismatch.empty(); ++h)
    for (int s = 0; s < 256 && mismatch.empty(); s += 5)
      for (int l = 0; l < 256; l += 5)
        if (!(MergeHslToRgb({h, s, l}) == RefToRgb(h, s, l))) {
          mismatch = "hsl " + std::to_string(h) + " " + std::to_string(s) + " " + std::to_string(l);
          break;
        }
  EXPECT_EQ(mismatch, "");
}

TEST(MergeHslTest, KnownColors) {
  EXPECT_EQ(MergeRgbToHsl({255, 0, 0}), (TMergeHSL{0, 255, 127}));
  EXPECT_EQ(MergeRgbToHsl({0, 0, 255}), (TMergeHSL{240, 255, 127}));
  EXPECT_EQ(MergeRgbToHsl({128, 128, 128}), (TMergeHSL{0, 0, 128}));
  EXPECT_EQ(MergeHslToRgb({0, 0, 128}), (TMergeRGB{128, 128, 128}));
}

// Every (bottom, top) pair of channel values, with the three channels permuted so
// that a mix-up of channels shows.
TEST(MergeRowTest, ChannelModesMatchReferenceOverAllPairs) {
  std::vector<std::uint32_t> bottom(65536), top(65536);
  for (int i = 0; i < 65536; ++i) {
    const int b = i >> 8, t = i & 255;
    bottom[i] = Pack(b, 255 - b, b ^ 0x5A, 0);
    top[i] = Pack(t ^ 0xA5, t, 255 - t, i & 255);
  }
  TOpacityTable op;
  for (int mode = 0; mode < kMergeModeCount; ++mode) {
    for (int opacity : {0, 37, 100}) {
      BuildOpacityTable(opacity, op);
      std::vector<std::uint32_t> row = top;
      MergeRow(mode, bottom.data(), row.data(), 65536, op);
      for (int i = 0; i < 65536; ++i)
        ASSERT_EQ(row[i], RefMerge(mode, bottom[i], top[i], opacity))
            << "mode " << mode << " opacity " << opacity << " pixel " << i;
    }
  }
}

TEST(MergeRowTest, DocumentedCases) {
  TOpacityTable full;
  BuildOpacityTable(100, full);
  const std::uint32_t bottom = Pack(10, 20, 30);
  std::uint32_t top = Pack(200, 150, 100, 7);
  MergeRow(kMergeRed, &bottom, &top, 1, full);
  EXPECT_EQ(top, Pack(200, 20, 30, 7));
  const std::uint32_t gray = Pack(128, 128, 128);
  std::uint32_t other = gray;
  MergeRow(kMergeHslAdd, &gray, &other, 1, full);
  EXPECT_EQ(other, gray);
  TOpacityTable none;
  BuildOpacityTable(0, none);
  top = Pack(200, 150, 100, 9);
  MergeRow(kMergeScreen, &bottom, &top, 1, none);
  EXPECT_EQ(top, Pack(10, 20, 30, 9));
}

// Every (opacity byte, top channel, bottom channel) triple, channels permuted;
// the result keeps the top's opacity byte.
TEST(AlphaOverRowTest, MatchesReferenceOverAllTriples) {
  std::vector<std::uint32_t> bottom(65536), top(65536), row(65536);
  for (int a = 0; a < 256; ++a) {
    for (int i = 0; i < 65536; ++i) {
      const int b = i >> 8, t = i & 255;
      bottom[i] = Pack(b, 255 - b, b ^ 0x5A, i & 255);
      top[i] = Pack(t ^ 0xA5, t, 255 - t, a);
    }
    row = top;
    AlphaOverRow(row.data(), bottom.data(), 65536);
    for (int i = 0; i < 65536; ++i) {
      const auto over = [&](int t, int b) { return (RefM(a, t) + RefM(255 - a, b)) & 255; };
      ASSERT_EQ(row[i], Pack(over(R(top[i]), R(bottom[i])), over(G(top[i]), G(bottom[i])),
                             over(B(top[i]), B(bottom[i])), a))
          << "alpha " << a << " pixel " << i;
    }
  }
}

// Rows are worked on in groups of pixels; every length up to a few groups must
// touch exactly its own pixels and merge them as a long row does.
TEST(MergeRowTest, ShortRowsTouchOnlyTheirPixels) {
  std::mt19937 random(3);
  std::vector<std::uint32_t> bottom(40), top(40);
  for (int i = 0; i < 40; ++i) {
    bottom[i] = random();
    top[i] = random();
  }
  TOpacityTable op;
  BuildOpacityTable(45, op);
  for (int mode : {kMergeNormal, kMergeOverlay, kMergeHue, kMergeHslAdd, kMergeGreen}) {
    std::vector<std::uint32_t> whole = top;
    MergeRow(mode, bottom.data(), whole.data(), 32, op);
    for (int count = 0; count <= 32; ++count) {
      std::vector<std::uint32_t> row = top;
      MergeRow(mode, bottom.data(), row.data(), count, op);
      for (int i = 0; i < 40; ++i)
        ASSERT_EQ(row[i], i < count ? whole[i] : top[i])
            << "mode " << mode << " count " << count << " pixel " << i;
    }
    std::vector<std::uint32_t> row = top;
    MergeRow(mode, bottom.data(), row.data(), -5, op);
    EXPECT_EQ(row, top);
  }
}

}  // namespace
}  // namespace zt
