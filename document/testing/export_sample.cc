// The synthetic exporter sample and noise, the PackBits decoder and the validator runner.
#include "document/testing/export_sample.h"

#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>

#include <gtest/gtest.h>

namespace zt::testing {

void SampleMergedPixel(int x, int y, uint8_t* bgr) {
  bgr[0] = static_cast<uint8_t>(x * 3);
  bgr[1] = static_cast<uint8_t>(y * 5);
  bgr[2] = static_cast<uint8_t>(100 + x + y);
}

uint8_t NoiseByte(uint32_t i, uint32_t y, int layer) {
  uint32_t h = i * 0x9E3779B1u ^ y * 0x85EBCA77u ^ static_cast<uint32_t>(layer + 1) * 0xC2B2AE3Du;
  h = (h ^ h >> 15) * 0x2C1B3C6Du;
  h = (h ^ h >> 12) * 0x297A2D39u;
  return static_cast<uint8_t>(h ^ h >> 15);
}

void WireNoise(TExportImage& exporter, int width) {
  exporter.GetRow = [=](int row, uint8_t* bgr) {
    for (int i = 0; i < 3 * width; ++i) bgr[i] = NoiseByte(i, row, -1);
  };
  exporter.GetLayerRow = [=](int layer, int row, uint8_t* bgra) {
    for (int i = 0; i < 4 * width; ++i) bgra[i] = NoiseByte(i, row, layer);
  };
}

std::vector<uint8_t> UnpackBits(const std::string& packed) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < packed.size();) {
    const int header = static_cast<int8_t>(packed[i++]);
    EXPECT_NE(header, -128) << "at " << i - 1;
    if (header >= 0) {
      for (int k = 0; k <= header; ++k) out.push_back(static_cast<uint8_t>(packed.at(i++)));
    } else {
      out.insert(out.end(), 1 - header, static_cast<uint8_t>(packed.at(i++)));
    }
  }
  return out;
}

void SampleLayerPixel(int layer, int x, int y, uint8_t* bgra) {
  bgra[0] = static_cast<uint8_t>(x * 13 + layer * 50);
  bgra[1] = static_cast<uint8_t>(y * 7);
  bgra[2] = static_cast<uint8_t>((x + y) * 5 + layer);
  bgra[3] = static_cast<uint8_t>(x < 2 ? 255 : 64 * layer);
}

TExportDescription SampleDescription(int width, int height, int layers) {
  TExportDescription d;
  d.Width = width;
  d.Height = height;
  d.LayerCount = layers;
  d.Resolution = 300;
  d.Gamma = 2.5;
  d.Title = "Sample";
  d.Author = "Tester";
  d.Created = "2026-12-06";
  d.Comment = "first\r\nsecond";
  return d;
}

void WireSample(TExportImage& exporter, int width) {
  exporter.GetRow = [width](int row, uint8_t* bgr) {
    for (int x = 0; x < width; ++x) SampleMergedPixel(x, row, bgr + 3 * x);
  };
  exporter.GetLayerRow = [width](int layer, int row, uint8_t* bgra) {
    for (int x = 0; x < width; ++x) SampleLayerPixel(layer, x, row, bgra + 4 * x);
  };
  exporter.GetLayerInfo = [](int layer, TExportLayerInfo& info) {
    static const uint8_t kModes[] = {0, 1, 13, 3};
    info.Name = "Layer " + std::to_string(layer);
    info.MergeMode = kModes[layer % 4];
    info.Opacity = std::min(100, 50 + 25 * layer);
    info.Visible = layer != 1;
  };
}

bool HaveProgram(const std::string& program) {
  return RunCommand("command -v '" + program + "'").ExitCode == 0;
}

TCommandResult RunCommand(const std::string& command) {
  TCommandResult result;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 4096> buffer;
  size_t read;
  while ((read = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    result.Output.append(buffer.data(), read);
  int status = pclose(pipe);
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace zt::testing
