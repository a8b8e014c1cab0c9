// Tests of exporting a document: the description and the answers to the
// exporter's requests, the rows that reach the files, the options taken from
// the settings, the progress window and failures.
#include "document/export/fractal_exporter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "document/export/export_bmp.h"
#include "document/fractal_test_util.h"
#include "document/settings/config_manager.h"

namespace zt {
namespace {

using testing::ErrorMessageOf;
using testing::ReadFile;

class FractalExporterTest : public testing::FractalTest {
 protected:
  // A calculated 5 × 3 document of two layers.
  std::unique_ptr<TFractal> Calculated() {
    auto fractal = NewFractal(5, 3, "Mandel");
    Finish(*fractal);
    fractal->BeginUpdate();  // holds the update manager while the properties change
    fractal->AddLayer("Copy");
    fractal->Layers()[1].SetMergeMode(2);
    fractal->Layers()[1].SetOpacity(40);
    fractal->Layers()[1].SetVisible(false);
    fractal->EndUpdate();
    Finish(*fractal);
    return fractal;
  }

  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }
};

TEST_F(FractalExporterTest, DescriptionComesFromTheDocument) {
  auto fractal = NewFractal(7, 4, "");
  fractal->SetResolution(150);
  fractal->SetGamma(1.8);
  fractal->SetAuthor("Painter");
  fractal->SetCreated("May 1, 2000");
  fractal->SetComments({"a", "b", ""});
  TExportBMPImage image(Path("out.bmp"));
  TFractalExporter exporter(*fractal, image);
  const TExportDescription d = exporter.Describe();
  EXPECT_EQ(d.Width, 7);
  EXPECT_EQ(d.Height, 4);
  EXPECT_EQ(d.LayerCount, 1);
  EXPECT_EQ(d.Resolution, 150);
  EXPECT_EQ(d.Gamma, 1.8);
  EXPECT_EQ(d.Title, "Test");
  EXPECT_EQ(d.Author, "Painter");
  EXPECT_EQ(d.Created, "May 1, 2000");
  EXPECT_EQ(d.Comment, "a\r\nb\r\n");
}

TEST_F(FractalExporterTest, LayerRequestsAnswerFromTheLayers) {
  auto fractal = Calculated();
  TExportBMPImage image(Path("out.bmp"));
  TFractalExporter exporter(*fractal, image);

  TExportLayerInfo info;
  exporter.GetLayerInfo(1, info);
  EXPECT_EQ(info.Name, "Layer 1");
  EXPECT_EQ(info.MergeMode, 2);
  EXPECT_EQ(info.Opacity, 40);
  EXPECT_FALSE(info.Visible);
  exporter.GetLayerInfo(0, info);
  EXPECT_EQ(info.Name, "Copy");

  // Every pixel is its index looked up in the layer's convert table.
  const TLayer& layer = fractal->Layers()[0];
  std::vector<std::uint8_t> row(5 * 4, 0xAA);
  for (int y = 0; y < 3; ++y) {
    exporter.GetLayerRow(0, y, row.data());
    for (int x = 0; x < 5; ++x) {
      const TColorEntry& color = layer.ConvertTable()[layer.Image().GetPixel(x, y)];
      const std::uint8_t expected[4] = {color.Blue, color.Green, color.Red, color.Opacity};
      EXPECT_EQ(std::memcmp(&row[4 * x], expected, 4), 0) << x << "," << y;
    }
  }
  // Rows and layers outside the document are transparent black.
  for (auto [index, y] : std::vector<std::pair<int, int>>{{0, 3}, {0, -1}, {2, 0}, {-1, 0}}) {
    std::fill(row.begin(), row.end(), 0xAA);
    exporter.GetLayerRow(index, y, row.data());
    EXPECT_EQ(row, std::vector<std::uint8_t>(20, 0)) << index << "," << y;
  }
}

TEST_F(FractalExporterTest, PhotoshopLayersFollowTheSetting) {
  auto fractal = Calculated();
  TConfigManager& config = ConfigManager();
  for (bool layers : {true, false}) {
    config.ExportPSDLayers = layers;
    const std::string file = Path(layers ? "layers.psd" : "flat.psd");
    fractal->ExportPSD(file);
    const std::string bytes = ReadFile(file);
    ASSERT_GT(bytes.size(), 44u);
    const std::string mask_info_length = bytes.substr(34, 4);
    if (layers) {
      EXPECT_NE(mask_info_length, std::string(4, '\0'));
      EXPECT_EQ(bytes.substr(42, 2), std::string("\0\2", 2));  // two layer records
    } else {
      EXPECT_EQ(mask_info_length, std::string(4, '\0'));
    }
  }
  config.ExportPSDLayers = true;
}

TEST_F(FractalExporterTest, JpegQualityFollowsTheSetting) {
  auto fractal = NewFractal(64, 48, "Mandel");
  Finish(*fractal);
  TConfigManager& config = ConfigManager();
  config.ExportJPEGQuality = 5;
  fractal->ExportJPEG(Path("low.jpg"));
  config.ExportJPEGQuality = 100;
  fractal->ExportJPEG(Path("high.jpg"));
  config.ExportJPEGQuality = 95;
  EXPECT_LT(ReadFile(Path("low.jpg")).size(), ReadFile(Path("high.jpg")).size());
}

// Exports change nothing in the document; the bitmap holds the merged rows.
TEST_F(FractalExporterTest, EachExportRunsUnderItsProgressCaption) {
  auto fractal = Calculated();
  const int history = fractal->History().Count();
  struct TCase {
    void (TFractal::*Export)(const std::string&);
    const char* Name;
    const char* Caption;
  };
  const TCase cases[] = {
      {&TFractal::ExportBMP, "a.bmp", "Exporting bitmap image:"},
      {&TFractal::ExportPSD, "a.psd", "Exporting Photoshop image:"},
      {&TFractal::ExportPNG, "a.png", "Exporting PNG image:"},
      {&TFractal::ExportTGA, "a.tga", "Exporting Targa image:"},
      {&TFractal::ExportJPEG, "a.jpg", "Exporting JPEG image:"},
  };
  for (const TCase& c : cases) {
    testing::TRecordingWindow window;
    SetProgressWindow(&window);
    ((*fractal).*c.Export)(Path(c.Name));
    SetProgressWindow(nullptr);
    EXPECT_EQ(window.Shown, std::vector<std::string>{c.Caption + Path(c.Name)});
    ASSERT_FALSE(window.Seen.empty()) << c.Name;
    EXPECT_EQ(window.Seen.back(), 1.0) << c.Name;
    EXPECT_TRUE(std::filesystem::exists(Path(c.Name))) << c.Name;
  }
  EXPECT_EQ(fractal->History().Count(), history);

  const std::string bytes = ReadFile(Path("a.bmp"));
  ASSERT_EQ(bytes.size(), 54u + 3 * 16);  // rows of 15 bytes padded to 16, bottom up
  std::vector<std::uint8_t> merged(15);
  for (int y = 0; y < 3; ++y) {
    fractal->UpdateManager().BeginStop();
    fractal->UpdateManager().GetMergedRow(y, merged.data());
    fractal->UpdateManager().EndStop();
    EXPECT_EQ(bytes.substr(54 + (2 - y) * 16, 15), std::string(merged.begin(), merged.end()))
        << "row " << y;
  }
}

TEST_F(FractalExporterTest, FailuresRaiseTheExportMessages) {
  auto fractal = Calculated();
  const std::string missing = Path("no/such/folder.png");
  EXPECT_EQ(ErrorMessageOf([&] { fractal->ExportPNG(missing); }),
            "Could not create '" + missing + "'");
  if (std::filesystem::is_character_file("/dev/full")) {
    EXPECT_EQ(ErrorMessageOf([&] { fractal->ExportBMP("/dev/full"); }),
              "Error writing '/dev/full'. Probably the destination disk is full");
  }
  // The update manager runs again afterwards.
  EXPECT_TRUE(fractal->UpdateManager().WaitIdle(5000));
}

}  // namespace
}  // namespace zt
