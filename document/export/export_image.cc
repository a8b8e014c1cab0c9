// The exporter base: request defaults, checked writes, and the final
// replacement of the destination.
#include "document/export/export_image.h"

#include <cstring>

#include "platform/format.h"

namespace zt {

TExportImage::TExportImage(const std::filesystem::path& file_name)
    : output_(std::make_unique<TAtomicOutputFile>(file_name)) {
  if (!output_->Created()) throw EExportError(Format("Could not create '%s'", file_name.c_str()));
}

TExportImage::~TExportImage() = default;

void TExportImage::Execute(const TExportDescription& description) {
  description_ = description;
  // Fields too small for the size would give a file that no program can read.
  if (description.Width > MaxSide() || description.Height > MaxSide())
    throw EExportError(Format("Cannot export '%s': the format holds at most %d x %d pixels",
                              output_->Destination().c_str(), MaxSide(), MaxSide()));
  Export();
  if (!output_->Commit()) ThrowWriteError();
  StoreProgress(1.0);
}

TExportLayerInfo TExportImage::LayerInfo(int layer) const {
  TExportLayerInfo info;
  if (GetLayerInfo) GetLayerInfo(layer, info);
  return info;
}

void TExportImage::LayerRow(int layer, int row, uint8_t* bgra) const {
  if (GetLayerRow) {
    GetLayerRow(layer, row, bgra);
  } else {
    std::memset(bgra, 0, static_cast<size_t>(description_.Width) * 4);
  }
}

void TExportImage::Row(int row, uint8_t* bgr) const {
  if (GetRow) {
    GetRow(row, bgr);
  } else {
    std::memset(bgr, 0, static_cast<size_t>(description_.Width) * 3);
  }
}

void TExportImage::Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }

void TExportImage::Write(const void* data, size_t size) {
  if (!output_->Write(data, size)) ThrowWriteError();
}

void TExportImage::Patch(uint64_t position, std::string_view bytes) {
  if (!output_->Patch(position, bytes.data(), bytes.size())) ThrowWriteError();
}

void TExportImage::ThrowWriteError() const {
  throw EExportWriteError(Format("Error writing '%s'. Probably the destination disk is full",
                                 output_->Destination().c_str()));
}

void TExportImage::SetProgress(int64_t done, int64_t total) {
  if (total > 0) StoreProgress(static_cast<double>(done) / static_cast<double>(total));
}

void TExportImage::StoreProgress(double progress) {
  progress_.store(progress, std::memory_order_relaxed);
  if (OnProgress) OnProgress(progress);
}

}  // namespace zt
