// The image of a disk render, read back from its strips (see strip_export.h).
#include "document/disk/strip_export.h"

#include <limits>
#include <vector>

#include "document/export/export_bmp.h"
#include "document/export/export_jpeg.h"
#include "document/export/export_png.h"
#include "document/export/export_psd.h"
#include "document/export/export_tga.h"
#include "platform/format.h"

namespace zt {

int FormatMaxSide(TImageFormat format) {
  switch (format) {
    case TImageFormat::kPSD: return TExportPSDImage::kMaxSide;
    case TImageFormat::kJPEG: return TExportJPEGImage::kMaxSide;
    case TImageFormat::kTGA: return TExportTGAImage::kMaxSide;
    default: return std::numeric_limits<int>::max();
  }
}

std::unique_ptr<TExportImage> MakeExporter(const TRenderSettings& settings) {
  const std::string& name = settings.Destination;
  switch (settings.Format) {
    case TImageFormat::kBMP: return std::make_unique<TExportBMPImage>(name);
    case TImageFormat::kPSD:
      return std::make_unique<TExportPSDImage>(name, settings.Options.PSDLayers);
    case TImageFormat::kPNG: return std::make_unique<TExportPNGImage>(name);
    case TImageFormat::kJPEG:
      return std::make_unique<TExportJPEGImage>(name, settings.Options.JPEGQuality,
                                                settings.Options.JPEGBaseline);
    case TImageFormat::kTGA: return std::make_unique<TExportTGAImage>(name);
  }
  return nullptr;
}

void ExportStrips(const TRenderStore& store, std::uint64_t base, const TRenderHead& head,
                  const TRenderSettings& settings, TRenderDocument& document,
                  const std::function<void(double)>& on_progress) {
  const TRenderLayout layout(head);
  const auto read = [&](std::uint64_t at, void* data, std::size_t size) {
    if (!store.Read(base + at, data, size))
      throw ERenderError(Format("Invalid disk render file '%s'", store.Name().c_str()));
  };
  const std::size_t width = static_cast<std::size_t>(head.Width);
  const auto strip_row = [&](int row, int& strip) {
    strip = row / head.RowsPerStrip;
    return static_cast<std::uint64_t>(row - strip * head.RowsPerStrip);
  };

  std::unique_ptr<TExportImage> image = MakeExporter(settings);
  image->GetRow = [&](int row, std::uint8_t* bgr) {
    int strip;
    const std::uint64_t r = strip_row(row, strip);
    read(layout.MergedOffset(strip) + r * width * 3, bgr, width * 3);
  };
  image->GetLayerRow = [&](int layer, int row, std::uint8_t* bgra) {
    int strip;
    const std::uint64_t r = strip_row(row, strip);
    read(layout.BlockOffset(strip, head.Layers - 1 - layer) + r * width * 4, bgra, width * 4);
  };
  image->GetLayerInfo = [&](int layer, TExportLayerInfo& info) {
    info = document.LayerInfo(layer);
  };
  image->OnProgress = on_progress;
  try {
    image->Execute(document.Describe(head.Width, head.Height, head.Elapsed));
  } catch (const EExportWriteError&) {
    throw ERenderError(Format("Error rendering '%s'. Probably the destination disk is full",
                              settings.Destination.c_str()));
  }
}

}  // namespace zt
