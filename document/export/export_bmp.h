// Export of the merged image as an uncompressed 24-bit Windows bitmap.
#pragma once

#include "document/export/export_image.h"

namespace zt {

// Threads as for TExportImage.
class TExportBMPImage : public TExportImage {
 public:
  using TExportImage::TExportImage;

 protected:
  void Export() override;
};

}  // namespace zt
