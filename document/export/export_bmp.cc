// The bitmap writer: two little-endian headers, then the rows bottom-up, each
// padded to a multiple of 4 bytes.
#include "document/export/export_bmp.h"

#include <vector>

#include "document/export/export_helpers.h"

namespace zt {

void TExportBMPImage::Export() {
  constexpr uint32_t kHeadersSize = 54;
  const TExportDescription& d = Description();
  const uint32_t row_size = (static_cast<uint32_t>(d.Width) * 3 + 3) & ~3u;
  const uint32_t image_size = row_size * static_cast<uint32_t>(d.Height);
  const uint32_t pixels_per_meter = PixelsPerMeter(d.Resolution);

  std::string header = "BM";
  AppendLittleEndian(header, image_size + kHeadersSize, 4);
  AppendLittleEndian(header, 0, 4);
  AppendLittleEndian(header, kHeadersSize, 4);
  AppendLittleEndian(header, 40, 4);
  AppendLittleEndian(header, static_cast<uint32_t>(d.Width), 4);
  AppendLittleEndian(header, static_cast<uint32_t>(d.Height), 4);
  AppendLittleEndian(header, 1, 2);   // planes
  AppendLittleEndian(header, 24, 2);  // bits per pixel
  AppendLittleEndian(header, 0, 4);   // no compression
  AppendLittleEndian(header, image_size, 4);
  AppendLittleEndian(header, pixels_per_meter, 4);
  AppendLittleEndian(header, pixels_per_meter, 4);
  AppendLittleEndian(header, 0, 4);  // colors used
  AppendLittleEndian(header, 0, 4);  // important colors
  Write(header);

  // The padding bytes stay zero; Row() fills only the pixels.
  std::vector<uint8_t> row(row_size, 0);
  for (int y = d.Height - 1; y >= 0; --y) {
    Row(y, row.data());
    Write(row.data(), row.size());
    SetProgress(d.Height - y, d.Height);
  }
}

}  // namespace zt
