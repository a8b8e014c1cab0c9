// Export of the merged image as a PNG file: 8-bit RGB, gamma, resolution and
// the document's texts, the pixels in one zlib-compressed IDAT chunk.
#pragma once

#include "document/export/export_image.h"

namespace zt {

// Threads as for TExportImage.
class TExportPNGImage : public TExportImage {
 public:
  using TExportImage::TExportImage;

 protected:
  void Export() override;

 private:
  void WriteChunk(const char* type, const std::string& data);
  void WriteImageData();
};

}  // namespace zt
