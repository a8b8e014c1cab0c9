// Tests of what all exporters share: creating the output, the request
// defaults, progress, and that a failed export never harms an existing file.
#include "document/export/export_image.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "document/export/export_bmp.h"
#include "document/export/export_jpeg.h"
#include "document/export/export_png.h"
#include "document/export/export_psd.h"
#include "document/export/export_tga.h"
#include "document/testing/export_sample.h"
#include "testing/test_support.h"

namespace zt {
namespace {

struct TFormat {
  const char* Name;
  std::function<std::unique_ptr<TExportImage>(const std::filesystem::path&)> Create;
};

const TFormat kFormats[] = {
    {"bmp", [](const auto& p) { return std::make_unique<TExportBMPImage>(p); }},
    {"psd", [](const auto& p) { return std::make_unique<TExportPSDImage>(p, true); }},
    {"png", [](const auto& p) { return std::make_unique<TExportPNGImage>(p); }},
    {"jpg", [](const auto& p) { return std::make_unique<TExportJPEGImage>(p, 95, false); }},
    {"tga", [](const auto& p) { return std::make_unique<TExportTGAImage>(p); }},
};

using testing::CountEntries;

// A file that cannot be created is named in the message.
TEST(ExportImage, EveryFormatWritesWithProgressOrNamesWhatItCannotCreate) {
  for (const TFormat& format : kFormats) {
    testing::TempDir dir;
    const auto missing = dir.path() / "missing" / "image.bmp";
    EXPECT_EQ(testing::ErrorMessageOf([&] { format.Create(missing); }),
              "Could not create '" + missing.string() + "'")
        << format.Name;
    auto path = dir.path() / (std::string("image.") + format.Name);
    auto exporter = format.Create(path);
    testing::WireSample(*exporter, 5);
    std::vector<double> seen;
    exporter->OnProgress = [&](double p) { seen.push_back(p); };
    exporter->Execute(testing::SampleDescription(5, 4, 2));
    EXPECT_EQ(exporter->Progress(), 1.0) << format.Name;
    ASSERT_FALSE(seen.empty()) << format.Name;
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << format.Name;
    EXPECT_EQ(seen.back(), 1.0) << format.Name;
    EXPECT_GT(testing::ReadFile(path).size(), 18u) << format.Name;
    EXPECT_EQ(CountEntries(dir.path()), 1) << format.Name << ": no temporary file left";
  }
}

// A full disk at any point: the old file stays byte for byte, the temporary
// file goes, and the message names the destination.
TEST(ExportImage, FailedWriteKeepsTheExistingFile) {
  struct Sabotage {
    const char* Name;
    int Width;
    std::function<void(TAtomicOutputFile&)> Apply;
  } sabotages[] = {
      {"first write of a small image", 8, [](TAtomicOutputFile& f) { f.FailWrite(1); }},
      {"second write of a large image", 400, [](TAtomicOutputFile& f) { f.FailWrite(2); }},
      {"dev full, small image", 8, [](TAtomicOutputFile& f) { ASSERT_TRUE(f.DivertToDevFull()); }},
      {"dev full, large image", 400,
       [](TAtomicOutputFile& f) { ASSERT_TRUE(f.DivertToDevFull()); }},
  };
  const std::string old_contents("old file\0with bytes", 19);
  for (const TFormat& format : kFormats) {
    for (const Sabotage& sabotage : sabotages) {
      testing::TempDir dir;
      auto path = dir.Write(std::string("image.") + format.Name, old_contents);
      auto exporter = format.Create(path);
      testing::WireNoise(*exporter, sabotage.Width);
      sabotage.Apply(exporter->Output());
      EXPECT_EQ(testing::ErrorMessageOf(
                    [&] { exporter->Execute(testing::SampleDescription(sabotage.Width, 300, 3)); }),
                "Error writing '" + path.string() + "'. Probably the destination disk is full")
          << format.Name << ", " << sabotage.Name;
      exporter.reset();
      EXPECT_EQ(testing::ReadFile(path), old_contents) << format.Name << ", " << sabotage.Name;
      EXPECT_EQ(CountEntries(dir.path()), 1) << format.Name << ", " << sabotage.Name;
    }
  }
}

TEST(ExportImage, SizesBeyondTheFormatsFieldsAreRefused) {
  testing::TempDir dir;
  const auto path = dir.Write("old.tga", "old");
  const struct {
    std::function<std::unique_ptr<TExportImage>(const std::filesystem::path&)> Create;
    int Width, Height;
    const char* Limit;
  } cases[] = {
      {kFormats[4].Create, 65536, 1, "65535 x 65535"},
      {kFormats[1].Create, 1, 30001, "30000 x 30000"},
  };
  for (const auto& c : cases) {
    TExportDescription description;
    description.Width = c.Width;
    description.Height = c.Height;
    description.LayerCount = 1;
    auto exporter = c.Create(path);
    EXPECT_EQ(
        testing::ErrorMessageOf([&] { exporter->Execute(description); }),
        "Cannot export '" + path.string() + "': the format holds at most " + c.Limit + " pixels");
    exporter.reset();
    EXPECT_EQ(testing::ReadFile(path), "old");
    EXPECT_EQ(CountEntries(dir.path()), 1);
  }
}

TEST(ExportImage, UnansweredRequestsGiveBlackRows) {
  testing::TempDir dir;
  auto path = dir.path() / "black.tga";
  TExportTGAImage exporter(path);
  exporter.Execute(testing::SampleDescription(3, 2, 0));
  std::string file = testing::ReadFile(path);
  ASSERT_EQ(file.size(), 18u + 18u);
  EXPECT_EQ(file.substr(18), std::string(18, '\0'));
}

}  // namespace
}  // namespace zt
