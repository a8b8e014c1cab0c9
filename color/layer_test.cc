// Layer properties with their convert-table entries and notifications, the layer
// list's change events and the merge of a layer stack into rows.
#include "color/layer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "color/layer_list.h"
#include "testing/test_support.h"

namespace zt {
namespace {

std::uint32_t Pack(int r, int g, int b, int a = 255) {
  return static_cast<std::uint32_t>(a) << 24 | r << 16 | g << 8 | b;
}
int Ch(std::uint32_t p, int shift) { return (p >> shift) & 255; }

std::uint32_t Entry(const TLayer& layer, int index) {
  const TColorEntry& e = layer.ConvertTable()[index];
  return Pack(e.Red, e.Green, e.Blue, e.Opacity);
}

// A layer with a small index image and no calculation; the bracket of its
// construction is closed.
std::unique_ptr<TLayer> MakeLayer(int width = 4, int height = 2,
                                  const TLayerDefaults& defaults = {}) {
  auto layer = std::make_unique<TLayer>(defaults);
  layer->Image().OnResize = nullptr;
  layer->Image().SetSize(width, height);
  layer->EndUpdate();
  return layer;
}

void SetEntry(TLayer& layer, int index, std::uint32_t color) {
  layer.ConvertTable()[index] = {
      static_cast<uint8_t>(Ch(color, 0)), static_cast<uint8_t>(Ch(color, 8)),
      static_cast<uint8_t>(Ch(color, 16)), static_cast<uint8_t>(Ch(color, 24))};
}

TEST(LayerTest, DefaultsAndFixedEntries) {
  auto layer =
      MakeLayer(4, 2, {.Compile = {}, .BackgroundColor = 0x123456, .GradientRGBMode = false});
  EXPECT_EQ(layer->Caption(), "(untitled)");
  EXPECT_FALSE(layer->Gradient().RGBMode());
  EXPECT_EQ(layer->Opacity(), 50);
  EXPECT_EQ(layer->MergeMode(), 0);
  EXPECT_TRUE(layer->Visible());
  EXPECT_TRUE(layer->Selected());
  EXPECT_FALSE(layer->UseAlpha());
  EXPECT_EQ(layer->OpacityTable()[1], 128u);
  EXPECT_EQ(Entry(*layer, kInsideSolidEntry), Pack(0, 0, 0));
  EXPECT_EQ(Entry(*layer, kBackgroundEntry), Pack(0x56, 0x34, 0x12));

  layer->SetInsideColor({4095, 2048, 16});
  layer->SetOutsideColor({5000, 0, 300});  // channels clamp to 4095
  layer->SetMappingAlpha(-3);
  layer->SetOutsideAlpha(77);
  EXPECT_EQ(Entry(*layer, kInsideSolidEntry), Pack(255, 128, 1));
  EXPECT_EQ(layer->OutsideColor(), (TRGB12{4095, 0, 300}));
  EXPECT_EQ(Entry(*layer, kOutsideSolidEntry), Pack(255, 0, 18, 77));
  EXPECT_EQ(Entry(*layer, kMappingSolidEntry), Pack(0, 0, 0, 0));

  layer->SetOpacity(140);
  EXPECT_EQ(layer->Opacity(), 100);
  EXPECT_EQ(layer->OpacityTable()[3], 768u);
  EXPECT_EQ(layer->OpacityTable()[256 + 3], 0u);
  layer->SetMergeMode(25);
  EXPECT_EQ(layer->MergeMode(), kMergeBlue);

  layer->Reset();
  EXPECT_EQ(Entry(*layer, kOutsideSolidEntry), Pack(0, 0, 0));
  EXPECT_EQ(Entry(*layer, kMappingSolidEntry), Pack(0, 0, 0));
  EXPECT_EQ(layer->Opacity(), 50);
  EXPECT_EQ(layer->MergeMode(), 0);
}

TEST(LayerTest, ChangeNotificationsAndUndoSteps) {
  auto layer = MakeLayer();
  std::vector<int> codes;
  layer->OnChange = [&](TLayerCalculate&, int code) { codes.push_back(code); };
  layer->SetMergeMode(kMergeMultiply);
  layer->SetMergeMode(kMergeScreen);
  layer->SetMergeMode(kMergeScreen);  // unchanged: nothing
  EXPECT_EQ(codes, (std::vector<int>{2, 2}));
  codes.clear();
  layer->SetOpacity(60);
  layer->SetOpacity(70);
  layer->SetInsideColor({1, 2, 3});
  layer->SetInsideAlpha(200);  // also turns use alpha on: a change without undo
  EXPECT_EQ(codes, (std::vector<int>{2, 1, 2, 1, 0}));
  codes.clear();
  layer->SetVisible(false);
  layer->SetSelected(false);
  layer->SetCaption("Sky");
  EXPECT_EQ(codes, (std::vector<int>{0, 0, 0}));
  codes.clear();
  layer->BeginUpdate();
  layer->SetOpacity(10);
  layer->SetMergeMode(kMergeHue);
  layer->EndUpdate();
  EXPECT_EQ(codes.size(), 1u);
}

TEST(LayerTest, UseAlphaFollowsSolidAlphasOutsideBrackets) {
  auto layer = MakeLayer();
  layer->SetInsideAlpha(100);
  EXPECT_TRUE(layer->UseAlpha());
  layer->SetInsideAlpha(255);
  EXPECT_FALSE(layer->UseAlpha());
  layer->AlphaChannel().InsertPoint(200, 10);
  EXPECT_TRUE(layer->UseAlpha());
  layer->AlphaChannel().MovePoint(layer->AlphaChannel().Last(), 200, 255);
  EXPECT_FALSE(layer->UseAlpha());
  layer->BeginUpdate();
  layer->SetMappingAlpha(0);
  EXPECT_FALSE(layer->UseAlpha());
  layer->EndUpdate();
}

TEST(LayerListTest, ChangesAreAnnouncedAndBatched) {
  TLayerList list;
  std::vector<std::string> events;
  list.OnBeforeChange = [&](TLayerList&) { events.push_back("before"); };
  list.OnChange = [&](TLayerList&) { events.push_back("change"); };
  list.Add(MakeLayer());
  list.Insert(0, MakeLayer());
  EXPECT_EQ(events, (std::vector<std::string>{"before", "change", "before", "change"}));
  events.clear();
  TLayer* bottom = &list[1];
  list.BeginUpdate();
  list.Move(1, 0);
  list.Add(MakeLayer());
  list.Delete(2);
  list.Delete(7);  // outside the list: nothing
  list.EndUpdate();
  EXPECT_EQ(events, (std::vector<std::string>{"before", "change"}));
  EXPECT_EQ(&list[0], bottom);
  EXPECT_EQ(list.Count(), 2);
  events.clear();
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(events, (std::vector<std::string>{"before", "change"}));

  EXPECT_EQ(testing::ErrorMessageOf([&] { list.Add(nullptr); }), "Cannot add empty layer");
  EXPECT_EQ(testing::ErrorMessageOf([&] { list.Insert(0, nullptr); }), "Cannot insert empty layer");
}

int Mix(int b, int v, int opacity) {
  const int k = opacity * 256 / 100;
  return (b * (256 - k) + v * k) / 256;
}
int Mul(int x, int y) { return static_cast<int>(std::lround(x * y / 255.0)); }

// Pixel x of every layer shows entry x of that layer's convert table.
class MergeStackTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 64;
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      auto layer = MakeLayer(kWidth, 1);
      for (int x = 0; x < kWidth; ++x) {
        layer->Image().SetPixel(x, 0, static_cast<std::uint16_t>(x));
        SetEntry(*layer, x,
                 Pack((x * 37 + i * 91) & 255, (x * 11 + i * 50) & 255, (x * 73 + i * 17) & 255,
                      (x * 29 + i) & 255));
      }
      SetEntry(*layer, kBackgroundEntry, Pack(1, 2, 3 + i));
      list_.Add(std::move(layer));
    }
  }
  std::uint32_t Color(int layer, int x) { return Entry(list_[layer], x); }
  std::vector<std::uint32_t> Merged() {
    std::vector<std::uint32_t> row(kWidth);
    list_.MergeRow(0, 0, kWidth, row.data());
    for (auto& p : row) p &= 0xFFFFFF;
    return row;
  }
  TLayerList list_;
};

TEST_F(MergeStackTest, ThreeLayersWithMixedModes) {
  list_[2].SetMergeMode(kMergeScreen);  // the bottom layer's mode is not used
  list_[1].SetMergeMode(kMergeMultiply);
  list_[1].SetOpacity(70);
  list_[0].SetMergeMode(kMergeDifference);
  list_[0].SetOpacity(100);
  list_[0].SetUseAlpha(true);
  const std::vector<std::uint32_t> row = Merged();
  for (int x = 0; x < kWidth; ++x) {
    int expected = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const int b = Ch(Color(2, x), shift);
      const int m = Mix(b, Mul(Ch(Color(1, x), shift), b), 70);
      const int d = Mix(m, std::abs(m - Ch(Color(0, x), shift)), 100);
      const int a = Ch(Color(0, x), 24);
      expected |= ((Mul(a, d) + Mul(255 - a, m)) & 255) << shift;
    }
    ASSERT_EQ(row[x], static_cast<std::uint32_t>(expected)) << x;
  }
}

TEST_F(MergeStackTest, VisibilityDecidesTheBottomAndTheBackground) {
  list_[0].SetVisible(false);
  list_[1].SetVisible(false);
  list_[2].SetOpacity(0);
  list_[2].SetMergeMode(kMergeDifference);
  list_[2].SetUseAlpha(true);
  std::vector<std::uint32_t> row = Merged();
  for (int x = 0; x < kWidth; ++x) ASSERT_EQ(row[x], Color(2, x) & 0xFFFFFF) << x;
  list_[2].SetVisible(false);
  row = Merged();
  for (int x = 0; x < kWidth; ++x) ASSERT_EQ(row[x], Pack(1, 2, 3) & 0xFFFFFF);
  list_[0].SetVisible(true);
  list_[0].SetOpacity(0);
  list_[1].SetVisible(true);
  row = Merged();
  for (int x = 0; x < kWidth; ++x) ASSERT_EQ(row[x], Color(1, x) & 0xFFFFFF) << x;
}

}  // namespace
}  // namespace zt
