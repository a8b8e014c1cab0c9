// Heads and layout of disk render files (see render_file.h).
#include "document/disk/render_file.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "platform/format.h"

namespace zt {

static_assert(std::endian::native == std::endian::little, "render files are little-endian");

namespace {

constexpr char kRenderMagic[] = "ZTRENDER";
constexpr char kBatchMagic[] = "ZT_BATCH";
constexpr int kMaxLayers = 65535;
constexpr int kMaxDepth = 6;
constexpr double kMaxThreshold = 3;

enum TRenderHeadOffset : std::size_t {
  kHeadMagic = 0,
  kHeadVersion = 8,
  kHeadTextOffset = 12,
  kHeadTextLength = 16,
  kHeadDataOffset = 20,
  kHeadRowsPerStrip = 24,
  kHeadStripMarker = 28,
  kHeadLayerMarker = 32,
  kHeadWidth = 36,
  kHeadHeight = 40,
  kHeadLayers = 44,
  kHeadThreshold = 48,
  kHeadDepth = 56,
  kHeadInAntiAlias = 60,
  kHeadFormat = 64,
  kHeadOptions = 65,
  kHeadElapsed = 70,
  kHeadResumeOffset = 78
};

enum TBatchHeadOffset : std::size_t {
  kBatchVersionAt = 8,
  kBatchSets = 12,
  kBatchWidth = 20,
  kBatchHeight = 24,
  kBatchSkip = 28,
  kBatchAspect = 29
};

template <typename T>
void Put(std::uint8_t* bytes, std::size_t offset, T value) {
  std::memcpy(bytes + offset, &value, sizeof value);
}

template <typename T>
T Get(const std::uint8_t* bytes, std::size_t offset) {
  T value;
  std::memcpy(&value, bytes + offset, sizeof value);
  return value;
}

[[noreturn]] void Invalid(const std::string& file) {
  throw ERenderError(Format("Invalid disk render file '%s'", file.c_str()));
}

void CheckMagic(const std::uint8_t* bytes, const char* magic, std::uint32_t version,
                const std::string& file) {
  if (std::memcmp(bytes, magic, 8) != 0 || Get<std::uint32_t>(bytes, 8) != version)
    throw ERenderError(Format("Invalid disk render file: %s", file.c_str()));
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

const char* ImageExtension(TImageFormat format) {
  static constexpr const char* kExtensions[] = {".bmp", ".psd", ".png", ".jpg", ".tga"};
  return kExtensions[static_cast<int>(format)];
}

void EncodeFormat(TImageFormat format, const TFormatOptions& options, std::uint8_t* six) {
  std::fill(six, six + 6, std::uint8_t{0});
  six[0] = static_cast<std::uint8_t>(format);
  if (format == TImageFormat::kPSD) six[1] = options.PSDLayers ? 1 : 0;
  if (format == TImageFormat::kJPEG) {
    Put<std::int32_t>(six, 1, options.JPEGQuality);
    six[5] = options.JPEGBaseline ? 1 : 0;
  }
}

bool DecodeFormat(const std::uint8_t* six, TImageFormat& format, TFormatOptions& options) {
  if (six[0] >= kImageFormatCount) return false;
  format = static_cast<TImageFormat>(six[0]);
  options = TFormatOptions{};
  if (format == TImageFormat::kPSD) {
    if (six[1] > 1) return false;
    options.PSDLayers = six[1] == 1;
  }
  if (format == TImageFormat::kJPEG) {
    options.JPEGQuality = Get<std::int32_t>(six, 1);
    if (!InRange(options.JPEGQuality, 1, 100) || six[5] > 1) return false;
    options.JPEGBaseline = six[5] == 1;
  }
  return true;
}

TRenderHeadBytes EncodeRenderHead(const TRenderHead& head) {
  TRenderHeadBytes bytes{};
  std::uint8_t* b = bytes.data();
  std::memcpy(b + kHeadMagic, kRenderMagic, 8);
  Put<std::uint32_t>(b, kHeadVersion, kRenderVersion);
  Put<std::uint32_t>(b, kHeadTextOffset, kRenderHeadSize);
  Put<std::uint32_t>(b, kHeadTextLength, head.TextLength);
  Put<std::uint32_t>(b, kHeadDataOffset,
                     static_cast<std::uint32_t>(kRenderHeadSize + head.TextLength));
  Put<std::int32_t>(b, kHeadRowsPerStrip, head.RowsPerStrip);
  Put<std::int32_t>(b, kHeadStripMarker, head.StripMarker);
  Put<std::int32_t>(b, kHeadLayerMarker, head.LayerMarker);
  Put<std::int32_t>(b, kHeadWidth, head.Width);
  Put<std::int32_t>(b, kHeadHeight, head.Height);
  Put<std::int32_t>(b, kHeadLayers, head.Layers);
  Put<double>(b, kHeadThreshold, head.Threshold);
  Put<std::int32_t>(b, kHeadDepth, head.Depth);
  Put<std::int32_t>(b, kHeadInAntiAlias, head.InAntiAlias ? 1 : 0);
  EncodeFormat(head.Format, head.Options, b + kHeadFormat);
  Put<double>(b, kHeadElapsed, head.Elapsed);
  Put<std::uint64_t>(b, kHeadResumeOffset, head.ResumeOffset);
  return bytes;
}

TRenderHead DecodeRenderHead(const std::uint8_t* b, const std::string& file) {
  CheckMagic(b, kRenderMagic, kRenderVersion, file);
  TRenderHead head;
  head.TextLength = Get<std::uint32_t>(b, kHeadTextLength);
  head.RowsPerStrip = Get<std::int32_t>(b, kHeadRowsPerStrip);
  head.StripMarker = Get<std::int32_t>(b, kHeadStripMarker);
  head.LayerMarker = Get<std::int32_t>(b, kHeadLayerMarker);
  head.Width = Get<std::int32_t>(b, kHeadWidth);
  head.Height = Get<std::int32_t>(b, kHeadHeight);
  head.Layers = Get<std::int32_t>(b, kHeadLayers);
  head.Threshold = Get<double>(b, kHeadThreshold);
  head.Depth = Get<std::int32_t>(b, kHeadDepth);
  const std::int32_t in_anti_alias = Get<std::int32_t>(b, kHeadInAntiAlias);
  head.Elapsed = Get<double>(b, kHeadElapsed);
  head.ResumeOffset = Get<std::uint64_t>(b, kHeadResumeOffset);
  if (Get<std::uint32_t>(b, kHeadTextOffset) != kRenderHeadSize ||
      Get<std::uint32_t>(b, kHeadDataOffset) != kRenderHeadSize + head.TextLength ||
      head.TextLength > 0xFFFFFFFFu - kRenderHeadSize || !InRange(head.Width, 1, kMaxRenderSide) ||
      !InRange(head.Height, 1, kMaxRenderSide) || !InRange(head.Layers, 0, kMaxLayers) ||
      head.RowsPerStrip != RowsPerStrip(head.Width) || !InRange(head.Depth, 0, kMaxDepth) ||
      !(head.Threshold >= 0 && head.Threshold <= kMaxThreshold) || !InRange(in_anti_alias, 0, 1) ||
      !(std::isfinite(head.Elapsed) && head.Elapsed >= 0) ||
      !DecodeFormat(b + kHeadFormat, head.Format, head.Options))
    Invalid(file);
  head.InAntiAlias = in_anti_alias == 1;
  const TRenderLayout layout(head);
  const bool under_way = head.LayerMarker >= 0;
  if (!InRange(head.LayerMarker, -1, head.Layers - 1) ||
      !InRange(head.StripMarker, under_way ? 0 : -1, layout.Strips() - 1) ||
      (head.InAntiAlias && (!under_way || head.Depth == 0)) ||
      (head.ResumeOffset != 0 && head.ResumeOffset < layout.FinishedEnd(head)))
    Invalid(file);
  return head;
}

TBatchHeadBytes EncodeBatchHead(const TBatchHead& head) {
  TBatchHeadBytes bytes{};
  std::uint8_t* b = bytes.data();
  std::memcpy(b, kBatchMagic, 8);
  Put<std::uint32_t>(b, kBatchVersionAt, kBatchVersion);
  Put<std::int32_t>(b, kBatchSets, head.Sets);
  Put<std::int32_t>(b, kBatchFinishedOffset, head.Finished);
  Put<std::int32_t>(b, kBatchWidth, head.Width);
  Put<std::int32_t>(b, kBatchHeight, head.Height);
  b[kBatchSkip] = head.SkipExisting ? 1 : 0;
  b[kBatchAspect] = head.OriginalAspect ? 1 : 0;
  return bytes;
}

TBatchHead DecodeBatchHead(const std::uint8_t* b, const std::string& file) {
  CheckMagic(b, kBatchMagic, kBatchVersion, file);
  TBatchHead head;
  head.Sets = Get<std::int32_t>(b, kBatchSets);
  head.Finished = Get<std::int32_t>(b, kBatchFinishedOffset);
  head.Width = Get<std::int32_t>(b, kBatchWidth);
  head.Height = Get<std::int32_t>(b, kBatchHeight);
  if (head.Sets < 0 || !InRange(head.Finished, 0, head.Sets) ||
      !InRange(head.Width, 1, kMaxRenderSide) || !InRange(head.Height, 1, kMaxRenderSide) ||
      b[kBatchSkip] > 1 || b[kBatchAspect] > 1)
    Invalid(file);
  head.SkipExisting = b[kBatchSkip] == 1;
  head.OriginalAspect = b[kBatchAspect] == 1;
  return head;
}

namespace {

// The source block after its length: format and options (6 bytes), threshold
// (8), depth, shard index and shard count (4 each), then the text.
constexpr std::size_t kSourceFixed = 6 + 8 + 4 + 4 + 4;

}  // namespace

std::string EncodeBatchSource(const TBatchSource& source) {
  std::string block(4 + kSourceFixed, '\0');
  auto* b = reinterpret_cast<std::uint8_t*>(block.data());
  Put<std::uint32_t>(b, 0, static_cast<std::uint32_t>(kSourceFixed + source.Text.size()));
  EncodeFormat(source.Format, source.Options, b + 4);
  Put<double>(b, 10, source.Threshold);
  Put<std::int32_t>(b, 18, source.Depth);
  Put<std::int32_t>(b, 22, source.ShardIndex);
  Put<std::int32_t>(b, 26, source.ShardCount);
  return block + source.Text;
}

TBatchSource DecodeBatchSource(const std::uint8_t* b, std::size_t size, const std::string& file) {
  TBatchSource source;
  if (size < kSourceFixed || !DecodeFormat(b, source.Format, source.Options)) Invalid(file);
  source.Threshold = Get<double>(b, 6);
  source.Depth = Get<std::int32_t>(b, 14);
  source.ShardIndex = Get<std::int32_t>(b, 18);
  source.ShardCount = Get<std::int32_t>(b, 22);
  if (!(source.Threshold >= 0 && source.Threshold <= kMaxThreshold) ||
      !InRange(source.Depth, 0, kMaxDepth) || source.ShardCount < 1 ||
      !InRange(source.ShardIndex, 0, source.ShardCount - 1))
    Invalid(file);
  source.Text.assign(reinterpret_cast<const char*>(b) + kSourceFixed, size - kSourceFixed);
  return source;
}

int RowsPerStrip(int width) { return std::max(1, 524288 / (std::max(width, 1) * 10)); }

TRenderLayout::TRenderLayout(const TRenderHead& head)
    : width_(head.Width),
      height_(head.Height),
      rows_per_strip_(std::max(head.RowsPerStrip, 1)),
      layers_(head.Layers),
      strips_((head.Height + rows_per_strip_ - 1) / rows_per_strip_),
      text_length_(head.TextLength),
      psd_layers_(head.Format == TImageFormat::kPSD && head.Options.PSDLayers) {}

int TRenderLayout::StripRows(int s) const {
  return std::min(rows_per_strip_, height_ - s * rows_per_strip_);
}

int TRenderLayout::FirstCalculatedRow(int s) const { return s == 0 ? 0 : s * rows_per_strip_ + 1; }

std::uint64_t TRenderLayout::BytesPerRow() const {
  return std::uint64_t(width_) * (psd_layers_ ? 4 * std::uint64_t(layers_) + 3 : 3);
}

std::uint64_t TRenderLayout::StripOffset(int s) const {
  return DataOffset() + std::uint64_t(s) * std::uint64_t(rows_per_strip_) * BytesPerRow();
}

std::uint64_t TRenderLayout::BlockOffset(int s, int position) const {
  return StripOffset(s) + std::uint64_t(position) * std::uint64_t(StripRows(s)) * width_ * 4;
}

std::uint64_t TRenderLayout::MergedOffset(int s) const {
  return psd_layers_ ? BlockOffset(s, layers_) : StripOffset(s);
}

std::uint64_t TRenderLayout::FinishedEnd(const TRenderHead& head) const {
  if (head.LayerMarker < 0) return StripOffset(head.StripMarker + 1);
  return psd_layers_ ? BlockOffset(head.StripMarker, head.LayerMarker)
                     : StripOffset(head.StripMarker);
}

std::uint64_t TRenderLayout::ResumeStart(const TRenderHead& head) const {
  return head.ResumeOffset != 0 ? head.ResumeOffset : FinishedEnd(head);
}

std::uint64_t TRenderLayout::GridPixels() const {
  return std::uint64_t(width_ + 1) * std::uint64_t(rows_per_strip_ + 1);
}

std::uint64_t TRenderLayout::OverlapBytes() const {
  return std::uint64_t(width_ + 1) * std::uint64_t(layers_) * 4;
}

std::uint64_t TRenderLayout::StoreBytes(int s) const {
  return std::uint64_t(width_ + 1) * std::uint64_t(CalculatedRows(s)) * 2 + kStateRecordBytes;
}

std::uint64_t TRenderLayout::ResumeBytes(const TRenderHead& head) const {
  if (head.LayerMarker < 0) return head.StripMarker >= 0 ? OverlapBytes() : 0;
  std::uint64_t bytes = GridPixels() * 4 + OverlapBytes() + StoreBytes(head.StripMarker);
  if (head.InAntiAlias) bytes += GridPixels() * 4 + kPieceRecordBytes;
  return bytes;
}

}  // namespace zt
