// Export of the merged image as a JPEG file through libjpeg.
#pragma once

#include "document/export/export_image.h"

namespace zt {

// Threads as for TExportImage. libjpeg failures are raised as EExportError
// with the library's own message.
class TExportJPEGImage : public TExportImage {
 public:
  // `quality` from 1 to 100; `baseline` forces baseline-compatible tables.
  TExportJPEGImage(const std::filesystem::path& file_name, int quality, bool baseline);
  static constexpr int kMaxSide = 65500;  // the library's limit

 protected:
  void Export() override;
  int MaxSide() const override { return kMaxSide; }

 private:
  int quality_;
  bool baseline_;
};

}  // namespace zt
