// Byte-exact tests of the bitmap writer; scripts/tests/validate-exports has an
// external reader open its files.
#include "document/export/export_bmp.h"

#include <gtest/gtest.h>

#include "document/testing/export_sample.h"
#include "testing/test_support.h"

namespace zt {
namespace {

uint32_t Little(const std::string& file, size_t at, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(file[at + i]);
  return value;
}

std::string ExportSample(const std::filesystem::path& path, int width, int height) {
  TExportBMPImage exporter(path);
  testing::WireSample(exporter, width);
  exporter.Execute(testing::SampleDescription(width, height, 1));
  return testing::ReadFile(path);
}

TEST(ExportBMP, HeaderFields) {
  testing::TempDir dir;
  std::string file = ExportSample(dir.path() / "one.bmp", 1, 1);
  ASSERT_EQ(file.size(), 58u);
  EXPECT_EQ(file.substr(0, 2), "BM");
  struct Field {
    const char* Name;
    size_t At;
    int Bytes;
    uint32_t Expected;
  } fields[] = {
      {"file size", 2, 4, 58},
      {"reserved", 6, 4, 0},
      {"data offset", 10, 4, 54},
      {"info size", 14, 4, 40},
      {"width", 18, 4, 1},
      {"height", 22, 4, 1},
      {"planes", 26, 2, 1},
      {"bits", 28, 2, 24},
      {"compression", 30, 4, 0},
      {"image size", 34, 4, 4},
      {"x resolution", 38, 4, 11811},
      {"y resolution", 42, 4, 11811},
      {"colors used", 46, 4, 0},
      {"important", 50, 4, 0},
  };
  for (const Field& f : fields) EXPECT_EQ(Little(file, f.At, f.Bytes), f.Expected) << f.Name;
  uint8_t bgr[3];
  testing::SampleMergedPixel(0, 0, bgr);
  EXPECT_EQ(file.substr(54), std::string(reinterpret_cast<char*>(bgr), 3) + '\0');
}

}  // namespace
}  // namespace zt
