// Tests of the alpha channel: opacity checks, the opacity byte, transparency.
#include "color/alpha_channel.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/test_support.h"

namespace zt {
namespace {

TEST(AlphaChannelTest, NewChannelIsOneOpaquePoint) {
  TAlphaChannel a;
  EXPECT_EQ(a.Count(), 1);
  EXPECT_EQ(a.First()->Index, 0);
  EXPECT_EQ(a.First()->Opacity, 255);
  EXPECT_TRUE(a.Smooth());
  EXPECT_FALSE(a.Transparent());
  EXPECT_FALSE(a.Modified());
  EXPECT_EQ(a.ConvertTable()[51199].Opacity, 255);
}

TEST(AlphaChannelTest, ChecksComeInOrder) {
  TAlphaChannel a;
  struct Case {
    int Index, Opacity;
    const char* Message;
  };
  const Case cases[] = {{400, 256, "Control point index out of range"},
                        {10, 256, "Opacity value out of range"},
                        {10, -1, "Opacity value out of range"}};
  for (const Case& c : cases) {
    EXPECT_EQ(testing::ErrorMessageOf([&] { a.InsertPoint(c.Index, c.Opacity); }), c.Message);
    EXPECT_EQ(testing::ErrorMessageOf([&] { a.MovePoint(nullptr, c.Index, c.Opacity); }),
              c.Message);
  }
  EXPECT_EQ(testing::ErrorMessageOf([&] { a.MovePoint(nullptr, 10, 10); }),
            "Specified control point does not exist");
}

TEST(AlphaChannelTest, InvertTurnsTransparencyOnAndWritesOnlyOpacity) {
  TAlphaChannel a;
  a.ConvertTable()[5].Red = 42;
  int notices = 0;
  a.OnTransparencyChange = [&](TAlphaChannel&) { ++notices; };
  a.Invert();
  EXPECT_TRUE(a.Transparent());
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(a.ConvertTable()[5].Opacity, 0);
  EXPECT_EQ(a.ConvertTable()[5].Red, 42);
  a.History().Undo();
  EXPECT_FALSE(a.Transparent());
  EXPECT_EQ(a.ConvertTable()[5].Opacity, 255);
}

TEST(AlphaChannelTest, SmoothRiseIsMonotone) {
  TAlphaChannel a;
  a.BeginUpdate();
  a.MovePoint(a.First(), 0, 0);
  a.InsertPoint(200, 255);
  a.EndUpdate();
  const TColorEntry* t = a.ConvertTable();
  EXPECT_EQ(t[0].Opacity, 0);
  EXPECT_EQ(t[25600].Opacity, 255);
  for (int e = 1; e <= 25600; ++e) ASSERT_GE(t[e].Opacity, t[e - 1].Opacity) << e;
  for (int e = 25601; e < kGradientEntries; ++e) ASSERT_LE(t[e].Opacity, t[e - 1].Opacity) << e;
}

TEST(AlphaChannelTest, LinearRotationAndDeletion) {
  TAlphaChannel a;
  a.SetSmooth(false);
  TAlphaPoint* half = a.InsertPoint(100, 128);
  EXPECT_EQ(a.ConvertTable()[100 * 128].Opacity, 128);
  a.SetPosition(10);
  EXPECT_EQ(half->Index, 110);
  EXPECT_EQ(a.ConvertTable()[110 * 128].Opacity, 128);
  a.DeletePoint(a.First());
  a.DeletePoint(a.First());
  EXPECT_EQ(a.Count(), 1);
  EXPECT_EQ(a.First()->Opacity, 255);
  EXPECT_FALSE(a.Transparent());
  a.RandomizeCount(4);
  EXPECT_EQ(a.Count(), 4);
  EXPECT_EQ(a.Position(), 0);
  EXPECT_EQ(a.Last()->Index, 300);
  a.Randomize();
  EXPECT_LT(a.First()->Index, 40);
}

}  // namespace
}  // namespace zt
