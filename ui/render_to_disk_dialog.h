// The "Render to Disk" window: the destination image (chosen with the Export
// Image dialog, which also gives the format and its options), the image size
// with the document's aspect ratio kept or not, anti-aliasing, and the space
// needed. Render checks the destination and the space, stores the choices in
// the settings and starts the render in a rendering window.
#pragma once

#include <QDialog>
#include <string>

#include "document/disk/render_file.h"

class QLabel;
class QLineEdit;

namespace zt {

class TConfigManager;
class TFractal;
class TRenderForm;
class TRenderSizeFields;

// The format an image file's extension names (".jpeg" too, any case), or
// `fallback` for any other name.
TImageFormat FormatOfName(const std::string& name, TImageFormat fallback);

// User-interface thread only. The document must outlive the window; the render
// works from a copy taken when it starts.
class TRenderToDiskDialog : public QDialog {
  Q_OBJECT

 public:
  TRenderToDiskDialog(TFractal& fractal, TConfigManager& config, QWidget* parent = nullptr);

  // The destination with its format's extension.
  std::string Destination() const;
  TImageFormat Format() const;
  QLineEdit* DestinationEdit() const { return destination_; }
  TRenderSizeFields& Fields() const { return *fields_; }

  // The checks, then the render; the window closes when it started. The
  // rendering window, or null when a check or the start failed.
  TRenderForm* Render();

 private:
  void Browse();
  void Update();

  TFractal& fractal_;
  TConfigManager& config_;
  TImageFormat fallback_;  // for a name without an image extension
  QLineEdit* destination_;
  QLabel* temporary_;
  TRenderSizeFields* fields_;
};

}  // namespace zt
