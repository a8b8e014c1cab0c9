// The "New Batch Render" window: a parameter file whose sets are rendered one
// image each into a destination folder, the format (with its options window),
// the image size, each set's own aspect ratio kept or not, skipping images
// that exist, anti-aliasing, and the space the images need. Render runs the
// checks (asking before it writes into a folder that exists), stores the
// choices in the settings and starts the batch in a rendering window.
#pragma once

#include <QDialog>
#include <string>

#include "document/disk/batch_render.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace zt {

class TConfigManager;
class TRenderForm;
class TRenderSizeFields;

// User-interface thread only.
class TBatchRenderDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TBatchRenderDialog(TConfigManager& config, QWidget* parent = nullptr);

  // What the fields say.
  TBatchSettings Settings() const;
  QLineEdit* ParameterFileEdit() const { return parameter_file_; }
  QLineEdit* FolderEdit() const { return folder_; }
  QComboBox* FormatBox() const { return format_; }
  QCheckBox* SkipBox() const { return skip_; }
  TRenderSizeFields& Fields() const { return *fields_; }

  // The checks, then the batch; the window closes when it started. The
  // rendering window, or null when a check, the question or the start stopped it.
  TRenderForm* Render();

 private:
  void BrowseParameterFile();
  void BrowseFolder();
  void FormatOptions();
  void Update();

  TConfigManager& config_;
  QLineEdit* parameter_file_;
  QLineEdit* folder_;
  QComboBox* format_;
  QCheckBox* skip_;
  TRenderSizeFields* fields_;
};

}  // namespace zt
