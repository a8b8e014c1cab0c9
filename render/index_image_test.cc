// Tests of the index image's storage, rectangle and segment operations.
#include "render/index_image.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace zt {
namespace {

// A 4 x 3 image whose pixel (x, y) holds 10 * y + x.
void FillNumbered(TIndexImage& image) {
  image.SetSize(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) image.SetPixel(x, y, static_cast<std::uint16_t>(10 * y + x));
}

std::vector<std::uint16_t> RowOf(const TIndexImage& image, int y) {
  return {image.Row(y), image.Row(y) + image.Width()};
}

// A resize shows the background and notifies; setting the size it has or one
// below 1 does nothing.
TEST(IndexImageTest, NewSizeShowsTheBackgroundAndNotifies) {
  TIndexImage image;
  int resizes = 0;
  image.OnResize = [&](TIndexImage& sender) {
    EXPECT_EQ(&sender, &image);
    ++resizes;
  };
  image.SetSize(5, 4);
  EXPECT_EQ(resizes, 1);
  EXPECT_EQ(image.HalfWidth(), 2);
  EXPECT_EQ(image.HalfHeight(), 2);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(image.GetPixel(x, y), kBackgroundIndex);
  image.SetPixel(1, 1, 7);
  image.Clear();
  EXPECT_EQ(image.GetPixel(1, 1), kBackgroundIndex);
  image.SetWidth(5);
  image.SetWidth(0);
  image.SetHeight(-1);
  EXPECT_EQ(resizes, 1);
  image.SetWidth(6);
  image.SetHeight(2);
  EXPECT_EQ(resizes, 3);
  EXPECT_EQ(image.Width(), 6);
  EXPECT_EQ(image.Height(), 2);
}

TEST(IndexImageTest, FillRectIsHalfOpenAndClipped) {
  TIndexImage image;
  FillNumbered(image);
  image.FillRect(1, 0, 3, 2, 99);
  EXPECT_EQ(RowOf(image, 0), (std::vector<std::uint16_t>{0, 99, 99, 3}));
  EXPECT_EQ(RowOf(image, 1), (std::vector<std::uint16_t>{10, 99, 99, 13}));
  EXPECT_EQ(RowOf(image, 2), (std::vector<std::uint16_t>{20, 21, 22, 23}));
  image.FillRect(3, 0, 3, 3, 5);  // empty
  image.FillRect(2, 2, 1, 3, 5);  // reversed
  EXPECT_EQ(image.GetPixel(2, 2), 22);
  image.FillRect(-5, 2, 100, 100, 1);  // reaches beyond the image
  EXPECT_EQ(RowOf(image, 2), (std::vector<std::uint16_t>{1, 1, 1, 1}));
}

TEST(IndexImageTest, SegmentsMirrorPartOfARow) {
  TIndexImage image;
  FillNumbered(image);
  image.SaveSegment(1, 1, 3);
  image.ReverseSegment();
  image.RestoreSegment(0, 2);
  EXPECT_EQ(RowOf(image, 2), (std::vector<std::uint16_t>{13, 12, 11, 23}));
  // A segment longer than the rest of the row is cut at the row's end.
  image.SaveSegment(2, 0, 100);
  image.RestoreSegment(3, 1);
  EXPECT_EQ(RowOf(image, 1), (std::vector<std::uint16_t>{10, 11, 12, 2}));
}

TEST(IndexImageTest, CropKeepsAnInsideRectangleElseResizes) {
  TIndexImage image;
  FillNumbered(image);
  int resizes = 0;
  image.OnResize = [&](TIndexImage&) { ++resizes; };
  image.Crop(1, 1, 3, 2);
  EXPECT_EQ(resizes, 1);
  ASSERT_EQ(image.Width(), 3);
  ASSERT_EQ(image.Height(), 2);
  EXPECT_EQ(RowOf(image, 0), (std::vector<std::uint16_t>{11, 12, 13}));
  EXPECT_EQ(RowOf(image, 1), (std::vector<std::uint16_t>{21, 22, 23}));
  image.Crop(1, 0, 3, 2);  // sticks out on the right
  EXPECT_EQ(resizes, 2);
  EXPECT_EQ(image.Width(), 3);
  EXPECT_EQ(RowOf(image, 0), (std::vector<std::uint16_t>(3, kBackgroundIndex)));
}

TEST(IndexImageTest, ExchangePixelsSwapsStorageOfTheSameSizeOnly) {
  TIndexImage image;
  FillNumbered(image);
  std::vector<std::uint16_t> other(12, 7);
  image.ExchangePixels(other);
  EXPECT_EQ(RowOf(image, 2), (std::vector<std::uint16_t>(4, 7)));
  EXPECT_EQ(other[5], 11);
  std::vector<std::uint16_t> wrong(11, 1);
  EXPECT_EQ(testing::ErrorMessageOf([&] { image.ExchangePixels(wrong); }),
            "Cannot exchange pixels of a different size");
  EXPECT_EQ(image.GetPixel(0, 0), 7);
}

}  // namespace
}  // namespace zt
