// Export of the merged image as an uncompressed 24-bit Targa file.
#pragma once

#include "document/export/export_image.h"

namespace zt {

// Threads as for TExportImage.
class TExportTGAImage : public TExportImage {
 public:
  using TExportImage::TExportImage;
  static constexpr int kMaxSide = 65535;  // 16-bit size fields

 protected:
  void Export() override;
  int MaxSide() const override { return kMaxSide; }
};

}  // namespace zt
