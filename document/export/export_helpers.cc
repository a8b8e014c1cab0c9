// Byte order, PackBits and channel helpers of the image exporters.
#include "document/export/export_helpers.h"

#include <cmath>

namespace zt {

void AppendBigEndian(std::string& out, uint32_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
  }
}

void AppendLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PackBits(const uint8_t* data, size_t size, std::string& out) {
  constexpr size_t kMaxPacket = 128;
  size_t literal_header = 0;  // position of the open literal packet's header byte
  size_t literal_count = 0;   // bytes in it; 0 when no literal packet is open
  size_t i = 0;
  while (i < size) {
    size_t run = 1;
    while (i + run < size && run < kMaxPacket && data[i + run] == data[i]) ++run;
    if (run >= 2) {
      out.push_back(static_cast<char>(1 - static_cast<int>(run)));
      out.push_back(static_cast<char>(data[i]));
      literal_count = 0;
      i += run;
      continue;
    }
    if (literal_count == 0) {
      literal_header = out.size();
      out.push_back(0);
    }
    out.push_back(static_cast<char>(data[i]));
    out[literal_header] = static_cast<char>(literal_count);
    if (++literal_count == kMaxPacket) literal_count = 0;
    ++i;
  }
}

void ExtractChannel(const uint8_t* row, int pixels, int stride, int offset, uint8_t* channel) {
  for (int x = 0; x < pixels; ++x) channel[x] = row[x * stride + offset];
}

uint32_t PixelsPerMeter(double dots_per_inch) {
  return static_cast<uint32_t>(std::lround(dots_per_inch * 39.3701));
}

}  // namespace zt
