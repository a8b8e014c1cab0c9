// Encoding and decoding of the calculation state record (see calc_state.h).
#include "render/calc_state.h"

#include <algorithm>

#include "platform/error.h"

namespace zt {

const char* const kInvalidCalcStateMessage = "The saved calculation state is damaged";

namespace {

void Put32(std::uint8_t* at, std::int64_t value) {
  auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::int32_t Get32(const std::uint8_t* at) {
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= std::uint32_t{at[i]} << (8 * i);
  return static_cast<std::int32_t>(bits);
}

void Fail() { throw EZentrope(kInvalidCalcStateMessage); }

// The six counters, as the header and every piece record hold them.
void PutStatistics(std::uint8_t* p, const TCalcStatistics& s) {
  Put32(p, s.PixelsDone);
  Put32(p + 4, s.InsideCount);
  Put32(p + 8, s.MinIterations);
  Put32(p + 12, s.MaxIterations);
  Put32(p + 16, s.SlowCount);
  Put32(p + 20, s.PixelCalls);
}

TCalcStatistics GetStatistics(const std::uint8_t* p) {
  return {Get32(p), Get32(p + 4), Get32(p + 8), Get32(p + 12), Get32(p + 16), Get32(p + 20)};
}

}  // namespace

std::vector<std::uint8_t> EncodeCalcState(const TCalcState& state) {
  std::vector<std::uint8_t> record(kCalcStateHeaderSize +
                                   kCalcStatePieceSize * state.Pieces.size());
  std::uint8_t* p = record.data();
  p[0] = state.State;
  Put32(p + 4, state.ThreadCount);
  Put32(p + 8, state.SymmetryPhase);
  Put32(p + 12, state.TotalPixels);
  PutStatistics(p + 16, state.Carried);
  Put32(p + 40, state.NextPiece);
  Put32(p + 44, static_cast<std::int64_t>(state.Pieces.size()));
  p += kCalcStateHeaderSize;
  for (const TPieceState& piece : state.Pieces) {
    EncodePieceRecord(piece, p);
    p += kCalcStatePieceSize;
  }
  return record;
}

void EncodePieceRecord(const TPieceState& piece, std::uint8_t* p) {
  std::fill(p, p + kCalcStatePieceSize, std::uint8_t{0});
  Put32(p + 0, piece.Rect.Left);
  Put32(p + 4, piece.Rect.Top);
  Put32(p + 8, piece.Rect.Right);
  Put32(p + 12, piece.Rect.Bottom);
  p[16] = static_cast<std::uint8_t>(piece.State);
  Put32(p + 20, piece.ResumeX);
  Put32(p + 24, piece.ResumeY);
  Put32(p + 28, piece.CurrentPass);
  Put32(p + 32, piece.Passes);
  PutStatistics(p + 36, piece.Statistics);
}

TPieceState DecodePieceRecord(const std::uint8_t* p) {
  TPieceState piece;
  piece.Rect = TRect{Get32(p), Get32(p + 4), Get32(p + 8), Get32(p + 12)};
  if (p[16] > kComputeFinished) Fail();
  piece.State = static_cast<TComputeState>(p[16]);
  piece.ResumeX = Get32(p + 20);
  piece.ResumeY = Get32(p + 24);
  piece.CurrentPass = Get32(p + 28);
  piece.Passes = Get32(p + 32);
  piece.Statistics = GetStatistics(p + 36);
  return piece;
}

TCalcState DecodeCalcState(const std::uint8_t* data, std::size_t size) {
  if (size < kCalcStateHeaderSize) Fail();
  TCalcState state;
  state.State = data[0];
  state.ThreadCount = Get32(data + 4);
  state.SymmetryPhase = Get32(data + 8);
  state.TotalPixels = Get32(data + 12);
  state.Carried = GetStatistics(data + 16);
  state.NextPiece = Get32(data + 40);
  int count = Get32(data + 44);
  if (state.State > 2 || count < 0 || count > kMaxPieces ||
      size < kCalcStateHeaderSize + kCalcStatePieceSize * static_cast<std::size_t>(count))
    Fail();
  const std::uint8_t* p = data + kCalcStateHeaderSize;
  for (int i = 0; i < count; ++i, p += kCalcStatePieceSize)
    state.Pieces.push_back(DecodePieceRecord(p));
  return state;
}

}  // namespace zt
