// Tests of the convert-table segment writers and of the rotation.
#include "color/segment_writer.h"

#include <gtest/gtest.h>

#include <memory>

namespace zt {
namespace {

class SegmentWriterTest : public ::testing::Test {
 protected:
  std::unique_ptr<TColorTables> tables_ = std::make_unique<TColorTables>();
  TColorEntry* table_ = tables_->Convert;
};

TEST_F(SegmentWriterTest, LinearRunsHitBothEndsExactly) {
  struct Case {
    int Xa, Xb, Ca, Cb;
  };
  const Case cases[] = {
      {0, 1, 0, 255}, {10, 200, 255, 0}, {0, 399, 7, 200}, {350, 20, 0, 255}, {100, 101, 3, 4}};
  for (const Case& c : cases) {
    WriteLinearChannel(table_, &TColorEntry::Red, c.Xa, c.Xb, c.Ca, c.Cb, true);
    const int end = c.Xb * kEntriesPerIndex;
    EXPECT_EQ(table_[c.Xa * kEntriesPerIndex].Red, c.Ca) << c.Xa << "-" << c.Xb;
    // n entries take n - 1 steps of d / n: the run stops one step short of cb.
    const int n = (end - c.Xa * kEntriesPerIndex + kGradientEntries) % kGradientEntries + 1;
    const int d = c.Cb - c.Ca;
    EXPECT_NEAR(table_[end].Red, c.Ca + d * (n - 1) / n, 1) << c.Xa << "-" << c.Xb;
    // Values stay monotone along the run (no wrap of the byte arithmetic).
    int previous = c.Ca;
    for (int k = c.Xa * kEntriesPerIndex; k != end; k = (k + 1) % kGradientEntries) {
      const int v = table_[k].Red;
      EXPECT_TRUE(c.Cb >= c.Ca ? v >= previous : v <= previous) << k;
      previous = v;
    }
  }
}

TEST_F(SegmentWriterTest, LinearLeavesEndEntryForTheNextSegment) {
  table_[128].Green = 77;
  WriteLinearChannel(table_, &TColorEntry::Green, 0, 1, 0, 255, false);
  EXPECT_EQ(table_[128].Green, 77);
  EXPECT_EQ(table_[0].Green, 0);
  EXPECT_EQ(table_[0].Red, 0);  // other channels untouched
}

TEST_F(SegmentWriterTest, LinearWrapPastRingEndReachesEntryZero) {
  for (int i = 0; i < kGradientEntries; ++i) table_[i].Blue = 99;
  WriteLinearChannel(table_, &TColorEntry::Blue, 399, 0, 0, 255, true);
  EXPECT_EQ(table_[51072].Blue, 0);
  EXPECT_GE(table_[51199].Blue, 250);
  EXPECT_EQ(table_[0].Blue, 253);  // 255 less one step of 255 / 129
  EXPECT_EQ(table_[1].Blue, 99);
}

TEST_F(SegmentWriterTest, SmoothMonotonePointsGiveMonotoneCurveWithoutOvershoot) {
  struct Case {
    TSmoothSpan Span;
    int Samples;
  };
  const Case cases[] = {
      {{0, 100, 150, 300, 0, 40, 200, 255}, 64},
      {{0, 100, 150, 300, 255, 200, 40, 0}, 64},
      {{50, 60, 300, 310, 10, 20, 250, 251}, 128},
  };
  for (const Case& c : cases) {
    WriteSmoothChannel(table_, &TColorEntry::Red, c.Span, c.Samples, true);
    const bool rising = c.Span.Cb > c.Span.Ca;
    int previous = table_[c.Span.Xa * 128].Red;
    EXPECT_EQ(previous, c.Span.Ca);
    for (int e = c.Span.Xa * 128 + 1; e <= c.Span.Xb * 128; ++e) {
      const int v = table_[e].Red;
      ASSERT_TRUE(rising ? v >= previous : v <= previous) << e;
      ASSERT_TRUE(v >= std::min(c.Span.Ca, c.Span.Cb) && v <= std::max(c.Span.Ca, c.Span.Cb)) << e;
      previous = v;
    }
    EXPECT_EQ(table_[c.Span.Xb * 128].Red, c.Span.Cb);
  }
}

TEST_F(SegmentWriterTest, SmoothIsFlatAtALocalExtreme) {
  // A peaks above both neighbours: the curve leaves it level.
  WriteSmoothChannel(table_, &TColorEntry::Red, {0, 100, 200, 300, 0, 255, 0, 255}, 64, true);
  for (int e = 100 * 128; e < 100 * 128 + 64; ++e) EXPECT_GE(table_[e].Red, 254) << e;
}

TEST_F(SegmentWriterTest, RotationMovesOnlyTheGivenChannels) {
  for (int i = 0; i < kGradientEntries; ++i) {
    table_[i] = {uint8_t(i / 128 % 256), 0, 0, uint8_t(i % 256)};
  }
  const TChannel blue[] = {&TColorEntry::Blue};
  for (int delta : {5, -7, 200, -199}) {
    std::vector<TColorEntry> before(table_, table_ + kGradientEntries);
    RotateChannels(table_, tables_->Temporary, delta, blue, 1);
    for (int i = 0; i < kGradientEntries; i += 97) {
      const int from = ((i - delta * 128) % kGradientEntries + kGradientEntries) % kGradientEntries;
      ASSERT_EQ(table_[i].Blue, before[from].Blue) << delta << " " << i;
      ASSERT_EQ(table_[i].Opacity, before[i].Opacity) << delta << " " << i;
    }
  }
}

}  // namespace
}  // namespace zt
