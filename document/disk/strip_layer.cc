// A rendered layer calculated strip by strip (see strip_layer.h).
#include "document/disk/strip_layer.h"

#include <algorithm>

namespace zt {

TStripLayer::TStripLayer(const TLayer& source, const TLayerDefaults& defaults, int width,
                         int thread_count, int priority)
    : layer_(std::make_unique<TLayer>(defaults)), overlap_(static_cast<std::size_t>(width) + 1) {
  // The constructor's update bracket stays open (see the class comment).
  layer_->SetThreadCount(thread_count);
  layer_->SetPriority(priority);
  layer_->RestoreSnapshot(source.SaveSnapshot());
}

void TStripLayer::Place(int width, int height, int first_row, int rows) {
  first_row_ = first_row;
  layer_->SetImageSize(width + 1, rows);
  // Resizing the store sized the mapping too: the mapping keeps the image's size,
  // and its origin makes the store's row 0 the image's row `first_row`.
  TMapping& mapping = layer_->Mapping();
  mapping.SetImageWidth(width);
  mapping.SetImageHeight(height);
  mapping.SetImageOrigin(0, -first_row);
}

void TStripLayer::Start() {
  layer_->EndUpdate();
  layer_->BeginUpdate();
}

void TStripLayer::Restore(std::vector<std::uint16_t>& pixels,
                          const std::vector<std::uint8_t>& state) {
  layer_->Image().ExchangePixels(pixels);
  layer_->RestoreState(state);
}

double TStripLayer::Share() const {
  if (Done()) return 1;
  return std::clamp(layer_->Progress(), 0.0, 1.0);
}

void TStripLayer::Color(std::uint32_t* grid, bool first_strip) {
  const TIndexImage& image = layer_->Image();
  const std::size_t stride = static_cast<std::size_t>(image.Width());
  std::uint32_t* row = grid;
  if (!first_strip) {
    std::copy(overlap_.begin(), overlap_.end(), row);
    row += stride;
  }
  for (int y = 0; y < image.Height(); ++y, row += stride)
    layer_->ColorRow(y, 0, image.Width(), row);
  std::copy(row - stride, row, overlap_.begin());
}

}  // namespace zt
