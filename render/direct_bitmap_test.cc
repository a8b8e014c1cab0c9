// The display bitmap: row writes drop the opacity byte and stay inside, resizing
// keeps what still fits, and painting reports the clipped rectangle.
#include "render/direct_bitmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace zt {
namespace {

TEST(DirectBitmapTest, WriteRowStoresColorsWithoutOpacityAndClips) {
  TDirectBitmap bitmap(4, 2);
  const std::uint32_t colors[] = {0xFF112233, 0x80445566, 0x01778899, 0xAABBCCDD};
  bitmap.WriteRow(-1, 1, colors, 4);  // the first color falls off the left edge
  EXPECT_EQ(bitmap.Pixel(0, 1), 0x00445566u);
  EXPECT_EQ(bitmap.Pixel(1, 1), 0x00778899u);
  EXPECT_EQ(bitmap.Pixel(2, 1), 0x00BBCCDDu);
  EXPECT_EQ(bitmap.Pixel(3, 1), 0u);
  bitmap.WriteRow(3, 0, colors, 4);  // only one pixel fits
  EXPECT_EQ(bitmap.Pixel(3, 0), 0x00112233u);
  bitmap.WriteRow(0, 2, colors, 4);  // below the bitmap: nothing
  bitmap.WriteRow(0, -1, colors, 4);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0u);
  EXPECT_EQ(bitmap.Pixel(9, 9), 0u);
}

TEST(DirectBitmapTest, ResizeKeepsOverlapAndBlackensNewArea) {
  TDirectBitmap bitmap(2, 2);
  const std::uint32_t row0[] = {1, 2};
  const std::uint32_t row1[] = {3, 4};
  bitmap.WriteRow(0, 0, row0, 2);
  bitmap.WriteRow(0, 1, row1, 2);
  bitmap.SetWidth(3);
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(std::vector<std::uint32_t>(bitmap.Row(1), bitmap.Row(1) + 3),
            (std::vector<std::uint32_t>{3, 4, 0}));
  bitmap.SetHeight(1);
  bitmap.SetHeight(2);
  EXPECT_EQ(std::vector<std::uint32_t>(bitmap.Row(0), bitmap.Row(0) + 6),
            (std::vector<std::uint32_t>{1, 2, 0, 0, 0, 0}));
  bitmap.SetWidth(-5);
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0u);
}

TEST(DirectBitmapTest, CopyRowIgnoresRowsOutside) {
  TDirectBitmap bitmap(2, 3);
  const std::uint32_t row[] = {7, 8};
  bitmap.WriteRow(0, 0, row, 2);
  bitmap.CopyRow(0, 2);
  bitmap.CopyRow(0, 3);
  bitmap.CopyRow(-1, 1);
  EXPECT_EQ(bitmap.Pixel(1, 2), 8u);
  EXPECT_EQ(bitmap.Pixel(1, 1), 0u);
}

TEST(DirectBitmapTest, PaintReportsTheClippedRectangle) {
  TDirectBitmap bitmap(10, 5);
  bitmap.Paint({0, 0, 1, 1});  // no listener: nothing happens
  std::vector<TRect> painted;
  bitmap.OnPaint = [&](TDirectBitmap& sender, const TRect& rect) {
    EXPECT_EQ(&sender, &bitmap);
    painted.push_back(rect);
  };
  bitmap.Paint({-3, 2, 4, 9});
  bitmap.PaintAll();
  EXPECT_EQ(painted, (std::vector<TRect>{{0, 2, 4, 5}, {0, 0, 10, 5}}));
}

}  // namespace
}  // namespace zt
