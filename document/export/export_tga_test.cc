// Byte-exact tests of the Targa writer, and a check by an external reader.
#include "document/export/export_tga.h"

#include <gtest/gtest.h>

#include "document/testing/export_sample.h"
#include "testing/test_support.h"

namespace zt {
namespace {

TEST(ExportTGA, HeaderAndBottomUpRows) {
  testing::TempDir dir;
  auto path = dir.path() / "image.tga";
  TExportTGAImage exporter(path);
  testing::WireSample(exporter, 258);
  exporter.Execute(testing::SampleDescription(258, 2, 1));
  std::string file = testing::ReadFile(path);
  ASSERT_EQ(file.size(), 18u + 2 * 258 * 3);
  const std::string header("\0\0\2\0\0\0\0\0\0\0\0\0\x02\x01\x02\0\x18\0", 18);
  EXPECT_EQ(file.substr(0, 18), header);
  uint8_t bgr[3];
  testing::SampleMergedPixel(1, 1, bgr);
  EXPECT_EQ(file.substr(18 + 3, 3), std::string(reinterpret_cast<char*>(bgr), 3)) << "row 1 first";
  testing::SampleMergedPixel(257, 0, bgr);
  EXPECT_EQ(file.substr(file.size() - 3), std::string(reinterpret_cast<char*>(bgr), 3));

  // An external reader keeps the stored order and notes the orientation; turned
  // upright, the top left pixel must be the one of row 0.
  if (!testing::HaveProgram("identify")) GTEST_SKIP() << "ImageMagick is not installed";
  auto result = testing::RunCommand("convert '" + path.string() +
                                    "' -auto-orient -format '%w %h %[pixel:p{0,0}]' info:");
  EXPECT_EQ(result.ExitCode, 0) << result.Output;
  EXPECT_EQ(result.Output, "258 2 srgb(100,0,0)");
}

}  // namespace
}  // namespace zt
