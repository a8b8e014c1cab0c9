// The size, aspect, anti-aliasing and space fields of the render windows.
#include "ui/render_size_fields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "document/disk/render_checks.h"
#include "document/settings/config_manager.h"

namespace zt {
namespace {

constexpr int kLargestSize = 100000;

// An editable choice of whole numbers from `low` to `high`, showing `value`.
template <std::size_t N>
QComboBox* NumberBox(const int (&offered)[N], int low, int high, int value, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  for (int n : offered) box->addItem(QString::number(n));
  box->setValidator(new QIntValidator(low, high, box));
  box->setCurrentText(QString::number(value));
  return box;
}

int NumberIn(const QComboBox* box, int low, int high) {
  return std::clamp(box->currentText().toInt(), low, high);
}

}  // namespace

TRenderSizeFields::TRenderSizeFields(const TConfigManager& config, const QString& aspect_caption,
                                     std::function<int(int)> follow_aspect, QWidget* parent)
    : QGroupBox(QStringLiteral("Image"), parent), follow_aspect_(std::move(follow_aspect)) {
  width_ = NumberBox(kOfferedWidths, 1, kLargestSize, config.Width, this);
  height_ = NumberBox(kOfferedHeights, 1, kLargestSize, config.Height, this);
  aspect_ = new QCheckBox(aspect_caption, this);
  aspect_->setChecked(config.OriginalAspect);
  anti_alias_ = new QCheckBox(QStringLiteral("&Anti-aliasing"), this);
  anti_alias_->setChecked(config.AntiAliasing);
  threshold_ = new QComboBox(this);
  threshold_->setEditable(true);
  threshold_->setInsertPolicy(QComboBox::NoInsert);
  for (const char* t : kOfferedThresholds) threshold_->addItem(QString::fromUtf8(t));
  auto* threshold_check = new QDoubleValidator(0, 3, 3, threshold_);
  threshold_check->setNotation(QDoubleValidator::StandardNotation);
  threshold_check->setLocale(QLocale::c());
  threshold_->setValidator(threshold_check);
  threshold_->setCurrentText(QString::number(static_cast<double>(config.Threshold), 'f', 1));
  depth_ = NumberBox(kOfferedDepths, 1, 6, config.Depth, this);
  required_ = new QLabel(this);
  available_caption_ = new QLabel(this);
  available_ = new QLabel(this);

  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("&Width:"), width_);
  form->addRow(QStringLiteral("&Height:"), height_);
  form->addRow(aspect_);
  form->addRow(anti_alias_);
  form->addRow(QStringLiteral("&Threshold:"), threshold_);
  form->addRow(QStringLiteral("D&epth:"), depth_);
  form->addRow(QStringLiteral("Required:"), required_);
  form->addRow(available_caption_, available_);

  const auto changed = [this] { emit Changed(); };
  connect(width_, &QComboBox::currentTextChanged, this, [this, changed] {
    Follow();
    changed();
  });
  connect(height_, &QComboBox::currentTextChanged, this, changed);
  connect(aspect_, &QCheckBox::toggled, this, [this, changed] {
    Follow();
    changed();
  });
  connect(anti_alias_, &QCheckBox::toggled, this, [this, changed](bool on) {
    threshold_->setEnabled(on);
    depth_->setEnabled(on);
    changed();
  });
  threshold_->setEnabled(anti_alias_->isChecked());
  depth_->setEnabled(anti_alias_->isChecked());
  Follow();
}

void TRenderSizeFields::Follow() {
  const bool follows = aspect_->isChecked();
  height_->setEnabled(!follows);
  if (follows && follow_aspect_)
    height_->setCurrentText(QString::number(follow_aspect_(ImageWidth())));
}

int TRenderSizeFields::ImageWidth() const { return NumberIn(width_, 1, kLargestSize); }
int TRenderSizeFields::ImageHeight() const { return NumberIn(height_, 1, kLargestSize); }
bool TRenderSizeFields::OriginalAspect() const { return aspect_->isChecked(); }

int TRenderSizeFields::Depth() const {
  return anti_alias_->isChecked() ? NumberIn(depth_, 1, 6) : 0;
}

double TRenderSizeFields::Threshold() const {
  return std::clamp(QLocale::c().toDouble(threshold_->currentText()), 0.0, 3.0);
}

void TRenderSizeFields::ShowSpace(double required, const std::string& path) {
  required_->setText(QString::fromStdString(SpaceText(required)));
  available_caption_->setText(QString::fromStdString(AvailableText(path)) + QLatin1Char(':'));
  available_->setText(QString::fromStdString(SpaceText(FreeSpace(path))));
}

void TRenderSizeFields::Store(TConfigManager& config) const {
  config.Width = ImageWidth();
  config.Height = ImageHeight();
  config.OriginalAspect = OriginalAspect();
  config.AntiAliasing = anti_alias_->isChecked();
  config.Threshold = Threshold();
  config.Depth = NumberIn(depth_, 1, 6);
}

void LayOutRenderWindow(QDialog& window, QFormLayout* form, TRenderSizeFields* fields,
                        std::function<void()> render) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &window);
  buttons->addButton(QStringLiteral("&Render"), QDialogButtonBox::AcceptRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &window, std::move(render));
  QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
  auto* layout = new QVBoxLayout(&window);
  layout->addLayout(form);
  layout->addWidget(fields);
  layout->addWidget(buttons);
}

}  // namespace zt
