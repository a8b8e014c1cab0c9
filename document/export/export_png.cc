// The PNG writer. The image data is compressed while the rows arrive and goes
// to the file in pieces of up to 4096 bytes, so memory stays small whatever the
// image size; the IDAT length is patched at the end.
#include "document/export/export_png.h"

#include <zlib.h>

#include <cmath>
#include <vector>

#include "document/export/export_helpers.h"
#include "platform/format.h"

namespace zt {

namespace {

constexpr char kSoftware[] = "Zentrope 2.04";
constexpr size_t kPieceSize = 4096;

uint32_t Crc(uint32_t crc, const void* data, size_t size) {
  return static_cast<uint32_t>(
      crc32(crc, static_cast<const Bytef*>(data), static_cast<uInt>(size)));
}

std::string TextChunk(const std::string& keyword, const std::string& text) {
  return keyword + std::string(1, '\0') + text;
}

std::string WithoutLineFeeds(std::string text) {
  std::erase(text, '\n');
  return text;
}

// Ends the zlib stream on every way out.
class TDeflater {
 public:
  TDeflater() {
    int result = deflateInit(&stream_, Z_DEFAULT_COMPRESSION);
    if (result != Z_OK) {
      throw EExportError(Format("Error %d while initializing compression stream", result));
    }
  }
  ~TDeflater() { deflateEnd(&stream_); }
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;
  z_stream& operator*() { return stream_; }

 private:
  z_stream stream_{};
};

}  // namespace

void TExportPNGImage::WriteChunk(const char* type, const std::string& data) {
  std::string chunk;
  AppendBigEndian(chunk, static_cast<uint32_t>(data.size()), 4);
  chunk += type;
  chunk += data;
  AppendBigEndian(chunk, Crc(crc32(0, nullptr, 0), chunk.data() + 4, chunk.size() - 4), 4);
  Write(chunk);
}

void TExportPNGImage::Export() {
  const TExportDescription& d = Description();
  Write(std::string("\x89PNG\r\n\x1A\n", 8));

  std::string header;
  AppendBigEndian(header, static_cast<uint32_t>(d.Width), 4);
  AppendBigEndian(header, static_cast<uint32_t>(d.Height), 4);
  header +=
      std::string("\x08\x02\x00\x00\x00", 5);  // depth 8, RGB, deflate, no filter, no interlace
  WriteChunk("IHDR", header);

  // A gamma that is not positive has no file value; the chunk is left out then
  // rather than written with a meaningless number.
  if (std::isfinite(d.Gamma) && d.Gamma > 0) {
    std::string gamma;
    AppendBigEndian(gamma, static_cast<uint32_t>(std::lround(100000.0 / d.Gamma)), 4);
    WriteChunk("gAMA", gamma);
  }

  std::string physical;
  AppendBigEndian(physical, PixelsPerMeter(d.Resolution), 4);
  AppendBigEndian(physical, PixelsPerMeter(d.Resolution), 4);
  physical.push_back(1);  // meter
  WriteChunk("pHYs", physical);

  WriteChunk("tEXt", TextChunk("Title", d.Title));
  WriteChunk("tEXt", TextChunk("Author", d.Author));
  WriteChunk("tEXt", TextChunk("Creation Time", d.Created));
  WriteChunk("tEXt", TextChunk("Software", kSoftware));
  WriteChunk("tEXt", TextChunk("Comment", WithoutLineFeeds(d.Comment)));

  WriteImageData();
  WriteChunk("IEND", "");
}

void TExportPNGImage::WriteImageData() {
  const TExportDescription& d = Description();
  const uint64_t length_position = Position();
  Write(std::string(4, '\0'));
  Write("IDAT");
  uint32_t crc = Crc(crc32(0, nullptr, 0), "IDAT", 4);
  uint64_t length = 0;

  TDeflater deflater;
  z_stream& stream = *deflater;
  std::vector<uint8_t> piece(kPieceSize);
  stream.next_out = piece.data();
  stream.avail_out = static_cast<uInt>(piece.size());
  auto write_piece = [&] {
    size_t ready = piece.size() - stream.avail_out;
    Write(piece.data(), ready);
    crc = Crc(crc, piece.data(), ready);
    length += ready;
    stream.next_out = piece.data();
    stream.avail_out = static_cast<uInt>(piece.size());
  };
  // Every call has input or must finish and always has output room, so even
  // Z_BUF_ERROR (no progress possible) is a failure here.
  auto failed = [](int result) { return result != Z_OK && result != Z_STREAM_END; };

  std::vector<uint8_t> bgr(static_cast<size_t>(d.Width) * 3);
  std::vector<uint8_t> line(1 + bgr.size());  // filter byte 0, then red, green, blue
  for (int y = 0; y < d.Height; ++y) {
    Row(y, bgr.data());
    for (int x = 0; x < d.Width; ++x) {
      line[1 + 3 * x] = bgr[3 * x + 2];
      line[2 + 3 * x] = bgr[3 * x + 1];
      line[3 + 3 * x] = bgr[3 * x];
    }
    stream.next_in = line.data();
    stream.avail_in = static_cast<uInt>(line.size());
    while (stream.avail_in > 0) {
      int result = deflate(&stream, Z_NO_FLUSH);
      if (failed(result)) throw EExportError(Format("Error %d while compressing", result));
      if (stream.avail_out == 0) write_piece();
    }
    SetProgress(y + 1, d.Height);
  }
  for (;;) {
    int result = deflate(&stream, Z_FINISH);
    if (failed(result)) throw EExportError(Format("Error %d while finishing compression", result));
    if (result == Z_STREAM_END) break;
    if (stream.avail_out == 0) write_piece();
  }
  write_piece();

  std::string length_bytes;
  AppendBigEndian(length_bytes, static_cast<uint32_t>(length), 4);
  Patch(length_position, length_bytes);
  std::string crc_bytes;
  AppendBigEndian(crc_bytes, crc, 4);
  Write(crc_bytes);
}

}  // namespace zt
