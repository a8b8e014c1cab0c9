// Tests of the calculation state record: exact bytes, round trips and damaged records.
#include "render/calc_state.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace zt {
namespace {

TCalcState SmallState() {
  TCalcState state;
  state.State = 2;
  state.ThreadCount = 3;
  state.SymmetryPhase = 1;
  state.TotalPixels = 0x01020304;
  state.Carried = TCalcStatistics{5, 6, 7, 8, 9, 10};
  state.NextPiece = 1;
  TPieceState piece;
  piece.Rect = TRect{1, 2, 300, -4};
  piece.State = kComputeInterrupted;
  piece.ResumeX = 11;
  piece.ResumeY = 12;
  piece.CurrentPass = 13;
  piece.Passes = 14;
  piece.Statistics.PixelsDone = 15;
  piece.Statistics.InsideCount = 16;
  piece.Statistics.MinIterations = 17;
  piece.Statistics.MaxIterations = 18;
  piece.Statistics.SlowCount = 19;
  piece.Statistics.PixelCalls = 0x1'0000'0014;  // only the low 32 bits are stored
  state.Pieces.push_back(piece);
  return state;
}

TEST(CalcStateTest, RecordBytesArePinned) {
  const std::vector<std::uint8_t> expected = {
      2, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 4, 3, 2, 1, 5, 0, 0, 0, 6, 0, 0, 0, 7, 0, 0, 0, 8, 0, 0,
      0, 9, 0, 0, 0, 10, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
      // the piece
      1, 0, 0, 0, 2, 0, 0, 0, 44, 1, 0, 0, 252, 255, 255, 255, 2, 0, 0, 0, 11, 0, 0, 0, 12, 0, 0, 0,
      13, 0, 0, 0, 14, 0, 0, 0, 15, 0, 0, 0, 16, 0, 0, 0, 17, 0, 0, 0, 18, 0, 0, 0, 19, 0, 0, 0, 20,
      0, 0, 0};
  EXPECT_EQ(EncodeCalcState(SmallState()), expected);
}

TEST(CalcStateTest, RoundTripKeepsEveryField) {
  TCalcState state = SmallState();
  state.Pieces.resize(kMaxPieces, state.Pieces[0]);
  for (int i = 0; i < kMaxPieces; ++i) state.Pieces[i].ResumeX = -i;
  std::vector<std::uint8_t> bytes = EncodeCalcState(state);
  ASSERT_EQ(bytes.size(), 1968u);
  TCalcState back = DecodeCalcState(bytes.data(), bytes.size());
  EXPECT_EQ(EncodeCalcState(back), bytes);
  EXPECT_EQ(back.Pieces.size(), 32u);
  EXPECT_EQ(back.Pieces[31].ResumeX, -31);
  EXPECT_EQ(back.Pieces[0].Statistics.PixelCalls, 20);
  EXPECT_EQ(back.Pieces[0].Rect, (TRect{1, 2, 300, -4}));
  EXPECT_EQ(back.Carried.MaxIterations, 8);
}

TEST(CalcStateTest, DamagedRecordsAreRefused) {
  std::vector<std::uint8_t> good = EncodeCalcState(SmallState());
  struct Case {
    const char* Name;
    std::size_t Size;
    std::size_t Offset;  // byte to change, or SIZE_MAX
    std::uint8_t Value;
  };
  const Case cases[] = {
      {"shorter than the header", 47, SIZE_MAX, 0}, {"shorter than its pieces", 107, SIZE_MAX, 0},
      {"layer state out of range", 108, 0, 3},      {"more than 32 pieces", 108, 44, 33},
      {"negative piece count", 108, 47, 0x80},      {"piece state out of range", 108, 48 + 16, 4},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes = good;
    if (c.Offset != SIZE_MAX) bytes[c.Offset] = c.Value;
    try {
      DecodeCalcState(bytes.data(), c.Size);
      ADD_FAILURE() << c.Name;
    } catch (const EZentrope& e) {
      EXPECT_EQ(e.Message(), "The saved calculation state is damaged") << c.Name;
    }
  }
  EXPECT_NO_THROW(DecodeCalcState(good.data(), good.size()));
}

}  // namespace
}  // namespace zt
