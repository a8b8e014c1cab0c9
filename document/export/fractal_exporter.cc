// Answers an exporter's requests from a document.
#include "document/export/fractal_exporter.h"

#include <algorithm>
#include <cstring>

#include "color/color_types.h"
#include "document/fractal.h"

namespace zt {
namespace {

// Releases the update manager however the export ends; rectangles dropped while it
// was stopped are drawn again.
class TStoppedManager {
 public:
  explicit TStoppedManager(TUpdateManager& manager) : manager_(manager) { manager_.BeginStop(); }
  ~TStoppedManager() {
    manager_.EndStop();
    manager_.InvalidateAll();
  }
  TStoppedManager(const TStoppedManager&) = delete;
  TStoppedManager& operator=(const TStoppedManager&) = delete;

 private:
  TUpdateManager& manager_;
};

}  // namespace

TExportDescription DescribeForExport(TFractal& fractal) {
  TExportDescription description;
  description.Width = fractal.Width();
  description.Height = fractal.Height();
  description.LayerCount = fractal.Layers().Count();
  description.Resolution = fractal.Resolution();
  description.Gamma = fractal.Gamma();
  description.Title = fractal.Title();
  description.Author = fractal.Author();
  description.Created = fractal.Created();
  const int lines = static_cast<int>(fractal.Comments().size());
  for (int i = 0; i < lines; ++i) {
    if (i > 0) description.Comment += "\r\n";
    description.Comment += fractal.CommentLine(i);
  }
  return description;
}

TFractalExporter::TFractalExporter(TFractal& fractal, TExportImage& image)
    : fractal_(fractal), image_(image) {}

void TFractalExporter::GetLayerInfo(int layer, TExportLayerInfo& info) {
  if (layer < 0 || layer >= fractal_.Layers().Count()) return;
  const TLayer& source = fractal_.Layers()[layer];
  info.Name = source.Caption();
  info.MergeMode = static_cast<std::uint8_t>(source.MergeMode());
  info.Opacity = source.Opacity();
  info.Visible = source.Visible();
  info.UsesAlpha = source.UseAlpha();
}

void TFractalExporter::GetLayerRow(int layer, int row, std::uint8_t* bgra) {
  const int width = fractal_.Width();
  std::memset(bgra, 0, static_cast<std::size_t>(width) * 4);
  if (layer < 0 || layer >= fractal_.Layers().Count()) return;
  const TLayer& source = fractal_.Layers()[layer];
  const TIndexImage& image = source.Image();
  if (row < 0 || row >= image.Height()) return;
  const std::uint16_t* indices = image.Row(row);
  const TColorEntry* table = source.ConvertTable();
  const int count = std::min(width, image.Width());
  for (int x = 0; x < count; ++x) {
    // An index past the table (a damaged file) shows as background.
    const int index = indices[x] < kConvertTableEntries ? indices[x] : kBackgroundEntry;
    const TColorEntry& color = table[index];
    bgra[4 * x] = color.Blue;
    bgra[4 * x + 1] = color.Green;
    bgra[4 * x + 2] = color.Red;
    bgra[4 * x + 3] = color.Opacity;
  }
}

void TFractalExporter::GetRow(int row, std::uint8_t* bgr) {
  std::memset(bgr, 0, static_cast<std::size_t>(fractal_.Width()) * 3);
  fractal_.UpdateManager().GetMergedRow(row, bgr);
}

void TFractalExporter::Execute() {
  const TExportDescription description = Describe();
  TStoppedManager stopped(fractal_.UpdateManager());
  image_.GetLayerInfo = [this](int layer, TExportLayerInfo& info) { GetLayerInfo(layer, info); };
  image_.GetLayerRow = [this](int layer, int row, std::uint8_t* bgra) {
    GetLayerRow(layer, row, bgra);
  };
  image_.GetRow = [this](int row, std::uint8_t* bgr) { GetRow(row, bgr); };
  image_.OnProgress = [this](double progress) { Report(progress); };
  image_.Execute(description);
  Report(1.0);
}

}  // namespace zt
