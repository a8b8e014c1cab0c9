// Small encoding pieces the image exporters share: numbers in either byte
// order, PackBits run-length coding, picking one channel out of a pixel row and
// the resolution in the unit the file formats want. Pure functions, safe from
// any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zt {

// Appends `value` in the low `bytes` bytes, most significant first.
void AppendBigEndian(std::string& out, uint32_t value, int bytes);
// Appends `value` in the low `bytes` bytes, least significant first.
void AppendLittleEndian(std::string& out, uint32_t value, int bytes);

// PackBits-codes `size` bytes and appends the packets to `out`: runs of 2 to
// 128 equal bytes become the header 1 - n and the byte, everything else goes
// into literal packets of up to 128 bytes behind the header n - 1.
void PackBits(const uint8_t* data, size_t size, std::string& out);

// Copies every `stride`-th byte of a row of `pixels` pixels, starting at
// `offset`, into `channel` (which holds `pixels` bytes). With blue, green, red
// (and alpha) pixels, red is at offset 2, green at 1, blue at 0, alpha at 3.
void ExtractChannel(const uint8_t* row, int pixels, int stride, int offset, uint8_t* channel);

// Dots per inch as pixels per meter, rounded to the nearest integer.
uint32_t PixelsPerMeter(double dots_per_inch);

}  // namespace zt
