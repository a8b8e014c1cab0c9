// Import of 256-color MAP palette files into a gradient: reading the text lines
// and fitting straight runs so that few control points reproduce the palette.
#include <cctype>
#include <fstream>
#include <string>

#include "color/gradient.h"

namespace zt {

namespace {

constexpr int kTolerance = 4;

// Reads the next run of digits after optional spaces; false when it is empty.
bool ReadNumber(const std::string& line, size_t& at, int& value) {
  while (at < line.size() && line[at] == ' ') ++at;
  const size_t start = at;
  value = 0;
  while (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at]))) {
    value = (value * 10 + (line[at] - '0')) % 256;
    ++at;
  }
  return at > start;
}

bool IsBlank(const std::string& line) {
  return line.find_first_not_of(" \r\t") == std::string::npos;
}

std::array<TRGB12, 256> ReadMapFile(const std::filesystem::path& file_name) {
  std::ifstream in(file_name);
  if (!in) throw EZentrope("Could not open MAP palette file '" + file_name.string() + "'");
  std::array<TRGB12, 256> colors;
  std::string line;
  for (TRGB12& color : colors) {
    do {
      if (!std::getline(in, line)) throw EZentrope("Error reading MAP palette file");
    } while (IsBlank(line));
    size_t at = 0;
    int red, green, blue;
    if (!ReadNumber(line, at, red) || !ReadNumber(line, at, green) || !ReadNumber(line, at, blue)) {
      throw EZentrope("Error reading MAP palette file");
    }
    color = {uint16_t(red), uint16_t(green), uint16_t(blue)};
  }
  return colors;
}

struct TSlopeBounds {
  double Low[3];
  double High[3];
};

std::array<int, 3> Channels(const TRGB12& c) { return {c.Red, c.Green, c.Blue}; }

TRGB12 To12(const TRGB12& c8) {
  return {Channel8To12(c8.Red), Channel8To12(c8.Green), Channel8To12(c8.Blue)};
}

}  // namespace

void TGradient::ImportMAP(const std::filesystem::path& file_name) {
  ImportPalette(ReadMapFile(file_name), false, false);
}

void TGradient::ImportPalette(const std::array<TRGB12, 256>& colors8, bool skip_first,
                              bool skip_last) {
  BeginUpdate();
  Clear();
  int s = skip_first ? 1 : 0;
  const int end = skip_last ? 254 : 255;
  InsertPoint(s, To12(colors8[s]));
  TSlopeBounds bounds;
  auto start_bounds = [&](int i) {
    const auto start = Channels(colors8[s]);
    const auto here = Channels(colors8[i]);
    for (int c = 0; c < 3; ++c) {
      bounds.Low[c] = double(here[c] - kTolerance - start[c]) / (i - s);
      bounds.High[c] = double(here[c] + kTolerance - start[c]) / (i - s);
    }
  };
  start_bounds(s + 1);
  for (int i = s + 1; i <= end; ++i) {
    const auto start = Channels(colors8[s]);
    const auto here = Channels(colors8[i]);
    bool outside = false;
    for (int c = 0; c < 3; ++c) {
      const double slope = double(here[c] - start[c]) / (i - s);
      outside = outside || slope < bounds.Low[c] || slope > bounds.High[c];
    }
    if (outside) {
      InsertPoint((i - 1) * 399 / 255, To12(colors8[i - 1]));
      s = i - 1;
      start_bounds(i);
      continue;
    }
    for (int c = 0; c < 3; ++c) {
      bounds.Low[c] = std::max(bounds.Low[c], double(here[c] - kTolerance - start[c]) / (i - s));
      bounds.High[c] = std::min(bounds.High[c], double(here[c] + kTolerance - start[c]) / (i - s));
    }
  }
  InsertPoint(kGradientIndices - 1, To12(colors8[end]));
  SetSmooth(false);
  EndUpdate();
  SetModified(false);
}

}  // namespace zt
