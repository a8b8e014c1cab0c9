// A synthetic layered image and noise for the exporter tests, a PackBits decoder, and a
// way to run the external file validators on what the exporters wrote.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/export/export_image.h"

namespace zt::testing {

// The merged pixel at (x, y) as blue, green, red; every channel differs along
// both axes so that swapped channels or flipped rows show.
void SampleMergedPixel(int x, int y, uint8_t* bgr);
// Layer `layer`'s pixel as blue, green, red, alpha.
void SampleLayerPixel(int layer, int x, int y, uint8_t* bgra);

// A description of a `width` × `height` image with `layers` layers, texts set.
TExportDescription SampleDescription(int width, int height, int layers);

// Answers all three requests of `exporter` from the sample image. Layer i is
// called "Layer <i>", has merge modes 0, 1, 13, 3, ... by index, opacity
// 50 + 25 × i percent (at most 100) and is hidden when i is 1.
void WireSample(TExportImage& exporter, int width);

// Answers the merged and layer row requests with bytes that hardly compress, so
// that even the compressed formats pass their output buffer.
void WireNoise(TExportImage& exporter, int width);
// The byte at `i` of row `y` that WireNoise gives layer `layer` (-1: merged).
uint8_t NoiseByte(uint32_t i, uint32_t y, int layer);

// Decodes PackBits packets (a test failure on the 0x80 header, which no encoder
// should write).
std::vector<uint8_t> UnpackBits(const std::string& packed);

// The result of an external program.
struct TCommandResult {
  int ExitCode = -1;
  std::string Output;  // standard output and error together
};

// True when `program` can be found on the PATH (or is an existing absolute path).
bool HaveProgram(const std::string& program);
// Runs a shell command line.
TCommandResult RunCommand(const std::string& command);

}  // namespace zt::testing
