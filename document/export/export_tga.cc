// The Targa writer: an 18-byte little-endian header, then the rows bottom-up
// without padding.
#include "document/export/export_tga.h"

#include <vector>

#include "document/export/export_helpers.h"

namespace zt {

void TExportTGAImage::Export() {
  const TExportDescription& d = Description();
  std::string header;
  header.push_back(0);               // no image id
  header.push_back(0);               // no color map
  header.push_back(2);               // uncompressed true color
  header.append(5, '\0');            // color map fields
  AppendLittleEndian(header, 0, 2);  // x origin
  AppendLittleEndian(header, 0, 2);  // y origin
  AppendLittleEndian(header, static_cast<uint32_t>(d.Width), 2);
  AppendLittleEndian(header, static_cast<uint32_t>(d.Height), 2);
  header.push_back(24);
  header.push_back(0);  // origin at the bottom left
  Write(header);

  std::vector<uint8_t> row(static_cast<size_t>(d.Width) * 3);
  for (int y = d.Height - 1; y >= 0; --y) {
    Row(y, row.data());
    Write(row.data(), row.size());
    SetProgress(d.Height - y, d.Height);
  }
}

}  // namespace zt
