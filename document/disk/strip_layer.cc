// A rendered layer calculated strip by strip (see strip_layer.h).
#include "document/disk/strip_layer.h"

#include <algorithm>

namespace zt {

TStripLayer::TStripLayer(const TLayer& source, const TLayerDefaults& defaults, int width,
                         int thread_count, int priority)
    : overlap_(static_cast<std::size_t>(width) + 1) {
  const TLayerSnapshot snapshot = source.SaveSnapshot();
  for (TCopy& copy : copies_) {
    // The constructor's update bracket stays open (see the class comment).
    copy.Layer = std::make_unique<TLayer>(defaults);
    copy.Layer->SetThreadCount(thread_count);
    copy.Layer->SetPriority(priority);
    copy.Layer->RestoreSnapshot(snapshot);
  }
}

void TStripLayer::SetPriority(int priority) {
  for (TCopy& copy : copies_) copy.Layer->SetPriority(priority);
}

void TStripLayer::Place(int strip, int width, int height, int first_row, int rows) {
  TCopy& copy = Copy(strip);
  copy.FirstRow = first_row;
  copy.Layer->SetImageSize(width + 1, rows);
  // Resizing the store sized the mapping too: the mapping keeps the image's size,
  // and its origin makes the store's row 0 the image's row `first_row`.
  TMapping& mapping = copy.Layer->Mapping();
  mapping.SetImageWidth(width);
  mapping.SetImageHeight(height);
  mapping.SetImageOrigin(0, -first_row);
}

void TStripLayer::Start(int strip) {
  TLayer& layer = *Copy(strip).Layer;
  layer.EndUpdate();
  layer.BeginUpdate();
}

void TStripLayer::Restore(int strip, std::vector<std::uint16_t>& pixels,
                          const std::vector<std::uint8_t>& state) {
  TLayer& layer = *Copy(strip).Layer;
  layer.Image().ExchangePixels(pixels);
  layer.RestoreState(state);
}

void TStripLayer::Color(int strip, std::uint32_t* grid) {
  TLayer& layer = *Copy(strip).Layer;
  const TIndexImage& image = layer.Image();
  const std::size_t stride = static_cast<std::size_t>(image.Width());
  std::uint32_t* row = grid;
  if (strip > 0) {
    std::copy(overlap_.begin(), overlap_.end(), row);
    row += stride;
  }
  for (int y = 0; y < image.Height(); ++y, row += stride) layer.ColorRow(y, 0, image.Width(), row);
  std::copy(row - stride, row, overlap_.begin());
}

}  // namespace zt
