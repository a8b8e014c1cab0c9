// Tests of the PNG writer: every chunk read back with its CRC checked and the
// image data inflated back to the rows. scripts/tests/validate-exports runs the
// external checkers.
#include "document/export/export_png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <vector>

#include "document/testing/export_sample.h"
#include "testing/test_support.h"

namespace zt {
namespace {

uint32_t Big(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes.at(at + i));
  return value;
}

struct TChunk {
  std::string Type;
  std::string Data;
};

// Splits the file into chunks, checking the signature and every CRC.
std::vector<TChunk> ReadChunks(const std::string& file) {
  EXPECT_EQ(file.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
  std::vector<TChunk> chunks;
  for (size_t at = 8; at < file.size();) {
    uint32_t length = Big(file, at);
    TChunk chunk{file.substr(at + 4, 4), file.substr(at + 8, length)};
    uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(file.data() + at + 4), length + 4);
    EXPECT_EQ(Big(file, at + 8 + length), crc) << chunk.Type;
    chunks.push_back(chunk);
    at += 12 + length;
  }
  return chunks;
}

std::string Inflate(const std::string& data) {
  std::string out(1 << 22, '\0');
  uLongf size = out.size();
  EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                       reinterpret_cast<const Bytef*>(data.data()), data.size()),
            Z_OK);
  out.resize(size);
  return out;
}

std::vector<TChunk> ExportSample(const std::filesystem::path& path, const TExportDescription& d) {
  TExportPNGImage exporter(path);
  testing::WireSample(exporter, d.Width);
  exporter.Execute(d);
  return ReadChunks(testing::ReadFile(path));
}

std::string Text(const std::string& keyword, const std::string& text) {
  return keyword + std::string(1, '\0') + text;
}

TEST(ExportPNG, ChunksInOrderWithTheirValuesOrEmptyTexts) {
  testing::TempDir dir;
  TExportDescription d = testing::SampleDescription(3, 2, 1);
  d.Comment = "a\r\nb";
  auto chunks = ExportSample(dir.path() / "image.png", d);
  std::vector<std::pair<std::string, std::string>> expected = {
      {"IHDR", std::string("\0\0\0\3\0\0\0\2\x08\x02\0\0\0", 13)},
      {"gAMA", std::string("\0\0\x9C\x40", 4)},                  // 40000
      {"pHYs", std::string("\0\0\x2E\x23\0\0\x2E\x23\x01", 9)},  // 11811
      {"tEXt", Text("Title", "Sample")},
      {"tEXt", Text("Author", "Tester")},
      {"tEXt", Text("Creation Time", "2026-12-06")},
      {"tEXt", Text("Software", "Zentrope 2.04")},
      {"tEXt", Text("Comment", "a\rb")},
  };
  ASSERT_EQ(chunks.size(), expected.size() + 2);
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(chunks[i].Type, expected[i].first) << i;
    EXPECT_EQ(chunks[i].Data, expected[i].second) << i;
  }
  EXPECT_EQ(chunks[8].Type, "IDAT");
  EXPECT_EQ(chunks[9].Type, "IEND");
  EXPECT_EQ(chunks[9].Data, "");

  // Empty texts are still written; a gamma of 0 is left out.
  d.Title = d.Author = d.Created = d.Comment = "";
  d.Gamma = 0;
  chunks = ExportSample(dir.path() / "empty.png", d);
  std::vector<std::string> types;
  for (const TChunk& c : chunks) types.push_back(c.Type);
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "pHYs", "tEXt", "tEXt", "tEXt", "tEXt", "tEXt",
                                             "IDAT", "IEND"}));
  EXPECT_EQ(chunks[2].Data, Text("Title", ""));
  EXPECT_EQ(chunks[6].Data, Text("Comment", ""));
}

// Large enough that the compressed data passes the output buffer, so the
// IDAT length is patched on the disk.
TEST(ExportPNG, ImageDataInflatesBackToTheRows) {
  const struct { int Width, Height; } sizes[] = {{1, 1}, {5, 4}, {700, 300}};
  for (auto size : sizes) {
    testing::TempDir dir;
    TExportPNGImage exporter(dir.path() / "image.png");
    testing::WireNoise(exporter, size.Width);
    exporter.Execute(testing::SampleDescription(size.Width, size.Height, 1));
    auto chunks = ReadChunks(testing::ReadFile(dir.path() / "image.png"));
    ASSERT_EQ(chunks.size(), 10u);
    std::string expected;
    for (int y = 0; y < size.Height; ++y) {
      expected.push_back(0);
      for (int i = 0; i < 3 * size.Width; i += 3)  // red, green, blue
        for (int c : {2, 1, 0})
          expected.push_back(static_cast<char>(testing::NoiseByte(i + c, y, -1)));
    }
    EXPECT_EQ(Inflate(chunks[8].Data), expected) << size.Width << "x" << size.Height;
    if (size.Width == 700) {
      EXPECT_GT(chunks[8].Data.size(), 65536u) << "must pass the output buffer";
    }
  }
}

}  // namespace
}  // namespace zt
