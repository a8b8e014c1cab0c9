// The gradient editor's form of a gradient: channels in both modes, points taken
// from the table, copy and paste, and the color adjustment, each checked on the
// gradient itself and its undo history.
#include "ui/gradient_editing.h"

#include <gtest/gtest.h>

namespace zt::testing {
namespace {

// The built-in gradient has points at 0 (blue), 100 (white), 200 (yellow) and
// 300 (red).
TEST(GradientEditingTest, ChannelsShowAndSetTheColorInEitherMode) {
  TGradient gradient(true);
  TGradientEditing editing(gradient);
  const struct {
    bool Rgb;
    int Point, Channel;
    const char* Name;
    int Max, Before, Set;
  } cases[] = {
      {true, 2, 0, "Red", 255, 255, 128},         {true, 2, 2, "Blue", 255, 0, 16},
      {false, 3, 0, "Hue", 359, 0, 240},          {false, 1, 2, "Luminance", 255, 255, 100},
      {false, 0, 1, "Saturation", 255, 255, 128},
  };
  for (const auto& c : cases) {
    gradient.SetRGBMode(c.Rgb);
    EXPECT_EQ(editing.Channel(c.Channel).Name, QString(c.Name));
    EXPECT_EQ(editing.Channel(c.Channel).Max, c.Max);
    EXPECT_EQ(editing.ChannelValue(c.Point, c.Channel), c.Before) << c.Name;
    editing.SetChannelValue(c.Point, c.Channel, c.Set);
    // HSL values pass through the 12-bit color and may come back one off.
    EXPECT_NEAR(editing.ChannelValue(c.Point, c.Channel), c.Set, c.Rgb ? 0 : 1) << c.Name;
    EXPECT_NEAR(editing.TableChannel(editing.IndexOf(c.Point) * 128, c.Channel), c.Set, 2)
        << c.Name;
  }
  EXPECT_EQ(gradient.First()->Next->Next->Color.Red, Channel8To12(128));
  EXPECT_NEAR(gradient.Last()->Hsl.Hue, 240, 1);
  // Runs of input on points make one undo step until EndMerge.
  EXPECT_EQ(gradient.History().Count(), 2);
  editing.EndMerge();
  editing.SetChannelValue(0, 0, 10);
  EXPECT_EQ(gradient.History().Count(), 3);
}

TEST(GradientEditingTest, InsertTakesTheTablesColorAndPasteKeepsTheSpacing) {
  TGradient gradient(true);
  TGradientEditing editing(gradient);
  const TColorEntry at50 = gradient.ConvertTable()[50 * 128];
  const int n = editing.Insert(50);
  EXPECT_EQ(editing.IndexOf(n), 50);
  EXPECT_EQ(editing.PointColor(n), qRgb(at50.Red, at50.Green, at50.Blue));

  editing.SetCurrent(2);    // 100 alone selected
  editing.Select(3, true);  // and 200
  editing.Copy();
  editing.SetCurrent(n);  // index 50: the copies go to 50 and 150
  const int steps = gradient.History().Count();
  ASSERT_TRUE(editing.CanPaste());
  editing.Paste();
  EXPECT_EQ(gradient.History().Count(), steps + 1);
  ASSERT_EQ(editing.Count(), 6);
  const int expected[][2] = {{50, 0xFFFFFF}, {150, 0xFFFF00}};
  for (const auto& [index, color] : expected) {
    int found = -1;
    for (int i = 0; i < editing.Count(); ++i)
      if (editing.IndexOf(i) == index) found = i;
    ASSERT_GE(found, 0) << index;
    EXPECT_TRUE(editing.Selected(found));
    EXPECT_EQ(editing.PointColor(found) & 0xFFFFFFu, QRgb(color));
  }
  editing.Undo();
  EXPECT_EQ(editing.Count(), 5);
}

TEST(GradientEditingTest, AdjustShiftsHueSaturationAndLuminanceOfTheChosenPoints) {
  TGradient gradient(false);
  TGradientEditing editing(gradient);
  const THSL red = gradient.Last()->Hsl;
  const THSL blue = gradient.First()->Hsl;
  editing.SetCurrent(3);
  const int steps = gradient.History().Count();
  editing.Adjust({120, -55, 20, true});
  EXPECT_EQ(gradient.History().Count(), steps + 1);
  EXPECT_EQ(gradient.First()->Hsl, blue);
  const THSL shifted = gradient.Last()->Hsl;
  EXPECT_NEAR(shifted.Hue, (red.Hue + 120) % 360, 1);
  EXPECT_NEAR(shifted.Saturation, red.Saturation - 55, 2);
  EXPECT_NEAR(shifted.Luminance, red.Luminance + 20, 1);
  // Hues wrap round the circle; saturation and luminance stop at their ends.
  editing.Adjust({-250, 0, 400, false});
  EXPECT_EQ(gradient.First()->Color, (TRGB12{4095, 4095, 4095}));
  editing.Undo();
  editing.Adjust({-250, 0, 0, false});
  EXPECT_NEAR(gradient.First()->Hsl.Hue, (blue.Hue + 110) % 360, 1);
}

}  // namespace
}  // namespace zt::testing
