// Export as a Photoshop file: the merged image, and optionally one Photoshop
// layer per layer with its name, blend mode, opacity, visibility and alpha.
#pragma once

#include <string>

#include "document/export/export_image.h"

namespace zt {

// The four-letter blend key that stands for a layer merge mode; "norm" for
// the modes Photoshop has no counterpart of.
std::string PSDBlendKey(int merge_mode);

// Threads as for TExportImage.
class TExportPSDImage : public TExportImage {
 public:
  TExportPSDImage(const std::filesystem::path& file_name, bool layers);
  static constexpr int kMaxSide = 30000;  // the format's limit; row byte counts are 16-bit

 protected:
  void Export() override;
  int MaxSide() const override { return kMaxSide; }

 private:
  void WriteLayerRecord(int layer, uint64_t& channel_entries);
  // Writes one PackBits-coded channel of `height` rows and patches its byte
  // counts at `table`; `fetch` delivers each row's channel bytes.
  void WriteChannelRows(uint64_t table,
                        const std::function<void(int row, uint8_t* channel)>& fetch);
  void WriteLayers();
  void WriteMergedImage();

  bool layers_;
  int64_t rows_done_ = 0;
  int64_t rows_total_ = 0;
};

}  // namespace zt
