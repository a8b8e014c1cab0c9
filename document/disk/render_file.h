// The disk render file (.zdr): the heads of single and batch render files, the
// settings a render keeps, and where strips, layer blocks and resume data lie.
// docs/disk-render.md gives the layout as a grammar. All numbers little-endian.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/error.h"

namespace zt {

// Every failure of a disk or batch render; the message text only.
class ERenderError : public EZentrope {
 public:
  using EZentrope::EZentrope;
};

inline constexpr std::size_t kRenderHeadSize = 86;
inline constexpr int kMaxRenderSide = 100000;  // the largest width and height
inline constexpr std::size_t kBatchHeadSize = 32;
inline constexpr std::uint32_t kRenderVersion = 1;
// Version 2 was the batch layout without the source block (see the docs).
inline constexpr std::uint32_t kBatchVersion = 3;
inline constexpr std::size_t kStateRecordBytes = 1968;
inline constexpr std::size_t kPieceRecordBytes = 60;

// The image formats of a render, numbered as the head stores them.
enum class TImageFormat : std::uint8_t { kBMP = 0, kPSD = 1, kPNG = 2, kJPEG = 3, kTGA = 4 };
inline constexpr int kImageFormatCount = 5;
// ".bmp", ".psd", ".png", ".jpg", ".tga".
const char* ImageExtension(TImageFormat format);

// What an image format needs besides the rows.
struct TFormatOptions {
  bool PSDLayers = true;  // Photoshop: one Photoshop layer per rendered layer
  int JPEGQuality = 95;   // 1 to 100
  bool JPEGBaseline = false;
  friend bool operator==(const TFormatOptions&, const TFormatOptions&) = default;
};

// The format byte and the 5 option bytes behind it: for Photoshop the layers
// flag; for JPEG the quality (32 bits) and the baseline flag.
void EncodeFormat(TImageFormat format, const TFormatOptions& options, std::uint8_t* six);
// False for a format or options out of range.
bool DecodeFormat(const std::uint8_t* six, TImageFormat& format, TFormatOptions& options);

// The choices a render starts with.
struct TRenderSettings {
  std::string Destination;  // the image file; a batch's folder
  int Width = 0;
  int Height = 0;
  double Threshold = 0.3;  // anti-aliasing
  int Depth = 0;           // 0: no anti-aliasing pass
  TImageFormat Format = TImageFormat::kPNG;
  TFormatOptions Options;
};

// The 86-byte head of a single render file.
struct TRenderHead {
  std::uint32_t TextLength = 0;
  int RowsPerStrip = 1;
  // With LayerMarker -1 the last finished strip (-1 before the first);
  // otherwise the strip under way.
  int StripMarker = -1;
  // -1, or the calculation position (0 the bottom layer) of the layer whose
  // calculation was interrupted.
  int LayerMarker = -1;
  int Width = 0;
  int Height = 0;
  int Layers = 0;  // rendered (visible) layers
  double Threshold = 0.3;
  int Depth = 0;
  bool InAntiAlias = false;  // stopped inside a layer's anti-aliasing pass
  TImageFormat Format = TImageFormat::kPNG;
  TFormatOptions Options;
  double Elapsed = 0;  // days
  // Where the resume data stand, counted from the head; 0: right behind the
  // finished data. A render in progress keeps them apart from the strip it
  // writes, so that a crash never leaves the head pointing at overwritten data.
  std::uint64_t ResumeOffset = 0;
};

using TRenderHeadBytes = std::array<std::uint8_t, kRenderHeadSize>;
TRenderHeadBytes EncodeRenderHead(const TRenderHead& head);
// Raises ERenderError "Invalid disk render file: %s" (with `file`) for a wrong
// magic or version, "Invalid disk render file '%s'" for fields out of range.
TRenderHead DecodeRenderHead(const std::uint8_t* bytes, const std::string& file);

// The 32-byte head of a batch render file.
struct TBatchHead {
  int Sets = 0;      // parameter sets this batch renders
  int Finished = 0;  // sets done (rendered, skipped or unreadable)
  int Width = 0;
  int Height = 0;
  bool SkipExisting = false;
  bool OriginalAspect = false;
};
using TBatchHeadBytes = std::array<std::uint8_t, kBatchHeadSize>;
TBatchHeadBytes EncodeBatchHead(const TBatchHead& head);
// Raises ERenderError as DecodeRenderHead does.
TBatchHead DecodeBatchHead(const std::uint8_t* bytes, const std::string& file);
inline constexpr std::size_t kBatchFinishedOffset = 16;

// What a batch renders, stored behind its head: the format, the
// anti-aliasing, the shard, and the parameter file's whole text, so that a
// resumed batch finds every remaining set as it was when the batch started.
struct TBatchSource {
  TImageFormat Format = TImageFormat::kPNG;
  TFormatOptions Options;
  double Threshold = 0.3;
  int Depth = 0;
  int ShardIndex = 0;  // the batch renders the sets whose number - 1 is
  int ShardCount = 1;  // ShardIndex modulo ShardCount
  std::string Text;
};
// The block: a 32-bit length and that many bytes.
std::string EncodeBatchSource(const TBatchSource& source);
// `bytes` holds the `size` bytes after the length. Raises ERenderError
// "Invalid disk render file '%s'" for fields out of range.
TBatchSource DecodeBatchSource(const std::uint8_t* bytes, std::size_t size,
                               const std::string& file);

// Rows per strip for an image `width` pixels wide: 524288 / (width * 10), at least 1.
int RowsPerStrip(int width);

// Positions within a single render file, from its head's fields.
class TRenderLayout {
 public:
  TRenderLayout(const TRenderHead& head);

  int Strips() const { return strips_; }
  // Rows of strip `s`: RowsPerStrip, the last strip the rest.
  int StripRows(int s) const;
  // Rows the layers calculate for strip `s`: its rows plus the first row of the
  // next strip; later strips take their first row from the previous strip.
  int CalculatedRows(int s) const { return s == 0 ? StripRows(0) + 1 : StripRows(s); }
  // The image row of a layer's first calculated row for strip `s`.
  int FirstCalculatedRow(int s) const;
  std::uint64_t DataOffset() const { return kRenderHeadSize + text_length_; }
  std::uint64_t StripOffset(int s) const;
  // The block of the layer at calculation position `position` (Photoshop layers).
  std::uint64_t BlockOffset(int s, int position) const;
  // The strip's merged rows, 3 bytes a pixel.
  std::uint64_t MergedOffset(int s) const;
  // Where the finished data end for the head's markers.
  std::uint64_t FinishedEnd(const TRenderHead& head) const;
  // Where the resume data of `head` stand.
  std::uint64_t ResumeStart(const TRenderHead& head) const;
  // Bytes of the resume data of `head`: accumulated image, overlap rows,
  // pixel store and state, anti-aliasing buffer and state, as present.
  std::uint64_t ResumeBytes(const TRenderHead& head) const;
  // The grid of one strip's colors: (width + 1) x (rows per strip + 1).
  std::uint64_t GridPixels() const;
  std::uint64_t OverlapBytes() const;
  // A layer's pixel store and calculation state for strip `s`.
  std::uint64_t StoreBytes(int s) const;

  bool PSDLayers() const { return psd_layers_; }
  int Width() const { return width_; }
  int Layers() const { return layers_; }

 private:
  std::uint64_t BytesPerRow() const;  // of strip data

  int width_, height_, rows_per_strip_, layers_, strips_;
  std::uint32_t text_length_;
  bool psd_layers_;
};

}  // namespace zt
