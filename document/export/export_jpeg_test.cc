// Tests of the JPEG writer: the file decodes back (through libjpeg) to the
// image's size and roughly its colors; library failures carry its message.
// scripts/tests/validate-exports runs the external checkers.
#include "document/export/export_jpeg.h"

#include <gtest/gtest.h>

#include <jpeglib.h>
#include <cstdio>

#include <cstdlib>
#include <vector>

#include "document/testing/export_sample.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt {
namespace {

struct TDecoded {
  int Width = 0;
  int Height = 0;
  int Components = 0;
  bool Progressive = false;
  std::vector<uint8_t> Rgb;
};

TDecoded Decode(const std::string& file) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.data()), file.size());
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  TDecoded out{static_cast<int>(info.output_width),
               static_cast<int>(info.output_height),
               info.output_components,
               info.progressive_mode != 0,
               {}};
  out.Rgb.resize(static_cast<size_t>(out.Width) * out.Height * out.Components);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out.Rgb.data() + info.output_scanline * out.Width * out.Components;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return out;
}

// A smooth image, which JPEG keeps close.
void WireGradient(TExportImage& exporter, int width) {
  exporter.GetRow = [width](int row, uint8_t* bgr) {
    for (int x = 0; x < width; ++x) {
      bgr[3 * x] = static_cast<uint8_t>(40 + x);
      bgr[3 * x + 1] = static_cast<uint8_t>(120);
      bgr[3 * x + 2] = static_cast<uint8_t>(200 - row);
    }
  };
}

TEST(ExportJPEG, DecodesToTheImage) {
  struct Case {
    int Quality;
    bool Baseline;
    int Tolerance;
  } cases[] = {{95, false, 6}, {100, true, 4}, {30, true, 16}};
  for (const Case& c : cases) {
    testing::TempDir dir;
    auto path = dir.path() / "image.jpg";
    TExportJPEGImage exporter(path, c.Quality, c.Baseline);
    WireGradient(exporter, 90);
    exporter.Execute(testing::SampleDescription(90, 70, 1));
    TDecoded image = Decode(testing::ReadFile(path));
    ASSERT_EQ(image.Width, 90) << c.Quality;
    ASSERT_EQ(image.Height, 70);
    ASSERT_EQ(image.Components, 3);
    EXPECT_FALSE(image.Progressive);
    int worst = 0;
    for (int y = 0; y < 70; ++y) {
      for (int x = 0; x < 90; ++x) {
        const uint8_t* p = &image.Rgb[(y * 90 + x) * 3];
        worst = std::max(
            {worst, std::abs(p[0] - (200 - y)), std::abs(p[1] - 120), std::abs(p[2] - (40 + x))});
      }
    }
    EXPECT_LE(worst, c.Tolerance) << "quality " << c.Quality;
  }
}

// A library error carries its message and keeps the old file; the library's
// warnings go through the user interface.
TEST(ExportJPEG, LibraryErrorsAndMessages) {
  TRecordingUserInterface ui;
  TUserInterfaceGuard guard(ui);
  testing::TempDir dir;
  auto path = dir.Write("empty.jpg", "old");
  TExportJPEGImage exporter(path, 95, false);
  EXPECT_EQ(testing::ErrorMessageOf([&] { exporter.Execute(testing::SampleDescription(0, 5, 1)); }),
            "Empty JPEG image (DNL not supported)");
  EXPECT_EQ(testing::ReadFile(path), "old");
  TExportJPEGImage coarse(dir.path() / "coarse.jpg", 10, false);
  WireGradient(coarse, 20);
  coarse.Execute(testing::SampleDescription(20, 10, 1));
  const auto records = ui.Records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Text, "Caution: quantization tables are too coarse for baseline JPEG");
  EXPECT_EQ(records[0].Kind, TMessageKind::kWarning);
}

}  // namespace
}  // namespace zt
