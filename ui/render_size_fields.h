// The fields the Render to Disk and New Batch Render windows share: width and
// height (with the offered sizes), the aspect option, anti-aliasing with its
// threshold and depth, and the space the images need against the space free.
#pragma once

#include <QGroupBox>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QDialog;
class QFormLayout;
class QLabel;

namespace zt {

class TConfigManager;

// The widths, heights, thresholds and depths the windows offer.
inline constexpr int kOfferedWidths[] = {640, 800, 1024, 1280, 1600, 2048, 4096};
inline constexpr int kOfferedHeights[] = {480, 600, 768, 1024, 1200, 2048, 4096};
inline constexpr const char* kOfferedThresholds[] = {"0.0", "0.1", "0.2", "0.3", "0.5", "1.0"};
inline constexpr int kOfferedDepths[] = {1, 2, 3, 4};

// User-interface thread only. Starts from the Rendering settings.
class TRenderSizeFields : public QGroupBox {
  Q_OBJECT

 public:
  // `aspect_caption` names the aspect option; `follow_aspect` makes the height
  // follow the width while the option is on (null: the height is then
  // disabled, each image finding its own).
  TRenderSizeFields(const TConfigManager& config, const QString& aspect_caption,
                    std::function<int(int width)> follow_aspect, QWidget* parent = nullptr);

  // The typed size, each at least 1 and at most 100000.
  int ImageWidth() const;
  int ImageHeight() const;
  bool OriginalAspect() const;
  // 0 without anti-aliasing.
  int Depth() const;
  double Threshold() const;

  // Shows the required space ("%.1f MB") and the space available where `path`
  // lies ("Available on " and the drive, and its free MB).
  void ShowSpace(double required, const std::string& path);
  // Width, height, aspect, anti-aliasing, threshold and depth into the
  // Rendering settings.
  void Store(TConfigManager& config) const;

  QComboBox* WidthBox() const { return width_; }
  QComboBox* HeightBox() const { return height_; }
  QCheckBox* AspectBox() const { return aspect_; }
  QCheckBox* AntiAliasBox() const { return anti_alias_; }
  QLabel* RequiredLabel() const { return required_; }

 signals:
  // The size or anti-aliasing changed.
  void Changed();

 private:
  void Follow();

  std::function<int(int)> follow_aspect_;
  QComboBox* width_;
  QComboBox* height_;
  QCheckBox* aspect_;
  QCheckBox* anti_alias_;
  QComboBox* threshold_;
  QComboBox* depth_;
  QLabel* required_;
  QLabel* available_caption_;
  QLabel* available_;
};

// Lays out a render window: `form` above `fields`, then Render, which calls
// `render`, and Cancel.
void LayOutRenderWindow(QDialog& window, QFormLayout* form, TRenderSizeFields* fields,
                        std::function<void()> render);

}  // namespace zt
