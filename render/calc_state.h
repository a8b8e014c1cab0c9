// The calculation state record: a layer's calculation progress in the fixed,
// little-endian layout that fractal files and disk render files store byte for
// byte. 48 bytes of layer fields, then 60 bytes for each piece (at most 32).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/compute.h"

namespace zt {

constexpr int kMaxPieces = 32;
constexpr std::size_t kCalcStateHeaderSize = 48;
constexpr std::size_t kCalcStatePieceSize = 60;

// The layer calculation's part of the record. Values are plain copies; any thread.
struct TCalcState {
  std::uint8_t State = 0;  // 0 idle, 1 calculating, 2 interrupted
  int ThreadCount = 1;
  int SymmetryPhase = 0;
  std::int64_t TotalPixels = 0;
  TCalcStatistics Carried;  // of the pieces of earlier batches
  int NextPiece = 0;
  std::vector<TPieceState> Pieces;  // the piece count is Pieces.size()
};

// The record of `state`; 64-bit counters are stored in their low 32 bits.
std::vector<std::uint8_t> EncodeCalcState(const TCalcState& state);

// Reads a record. Raises EZentrope with kInvalidCalcStateMessage when the record is
// shorter than its piece count requires, names more than 32 pieces, or holds a
// state outside its range.
TCalcState DecodeCalcState(const std::uint8_t* data, std::size_t size);

// One piece's 60-byte record, as the layer record holds it; the anti-aliasing
// pass of a disk render stores its single piece this way. DecodePieceRecord
// raises EZentrope with kInvalidCalcStateMessage for a piece state above 3.
void EncodePieceRecord(const TPieceState& piece, std::uint8_t* record);
TPieceState DecodePieceRecord(const std::uint8_t* record);

extern const char* const kInvalidCalcStateMessage;

}  // namespace zt
