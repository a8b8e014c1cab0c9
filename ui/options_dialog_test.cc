// Tests of the Options window: OK applies and saves, Cancel changes nothing,
// Apply applies without saving, and every field keeps to its setting's range.
#include "ui/options_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <climits>
#include <filesystem>

#include "document/settings/config_manager.h"
#include "testing/test_support.h"

namespace zt {
namespace {

class OptionsDialogTest : public ::testing::Test {
 protected:
  template <class T>
  static T* Field(TOptionsDialog& dialog, const char* key) {
    T* field = dialog.findChild<T*>(QString::fromUtf8(key));
    EXPECT_NE(field, nullptr) << key;
    return field;
  }
  // Changes a number, a check, a choice and a folder.
  static void Edit(TOptionsDialog& dialog) {
    Field<QSpinBox>(dialog, "AnimFrames")->setValue(20);
    Field<QCheckBox>(dialog, "AutoIndent")->setChecked(false);
    Field<QComboBox>(dialog, "ThreadBackPriority")->setCurrentIndex(2);
    Field<QLineEdit>(dialog, "ExportDirectory")->setText("/out");
  }
  bool SettingsFileExists() const { return std::filesystem::exists(dir_.path() / "settings.ini"); }

  testing::TempDir dir_;
  TConfigManager config_{dir_.path()};
};

TEST_F(OptionsDialogTest, OkSavesCancelKeepsApplyDoesNotSave) {
  config_.EditorFont.Name = "No Such Font";
  {
    TOptionsDialog dialog(config_);
    Edit(dialog);
    dialog.reject();
  }
  EXPECT_EQ(config_.AnimFrames, 8);
  EXPECT_TRUE(config_.AutoIndent);
  EXPECT_FALSE(SettingsFileExists());
  {
    TOptionsDialog dialog(config_);
    Edit(dialog);
    dialog.Apply();
    EXPECT_EQ(config_.AnimFrames, 20);
    EXPECT_FALSE(SettingsFileExists());
    dialog.accept();
  }
  TConfigManager saved(dir_.path());
  saved.LoadAll();
  EXPECT_EQ(saved.AnimFrames, 20);
  EXPECT_FALSE(saved.AutoIndent);
  EXPECT_EQ(saved.ThreadBackPriority, 3);  // the third of lowest, low, normal
  EXPECT_EQ(saved.ExportDirectory, "/out/");
  EXPECT_EQ(saved.Threshold, 0.3L);                  // untouched fields keep their values exactly
  EXPECT_EQ(saved.EditorFont.Name, "No Such Font");  // though shown as another font
}

TEST_F(OptionsDialogTest, OpensOnThePageShownLast) {
  {
    TOptionsDialog dialog(config_);
    dialog.ShowPage("Editor");
    dialog.reject();
  }
  TOptionsDialog dialog(config_);
  EXPECT_TRUE(Field<QSpinBox>(dialog, "TabSize")->isVisibleTo(&dialog));
  EXPECT_FALSE(Field<QSpinBox>(dialog, "AnimFrames")->isVisibleTo(&dialog));
}

TEST_F(OptionsDialogTest, FieldsKeepToTheSettingsRanges) {
  TOptionsDialog dialog(config_);
  const struct {
    const char* Key;
    int Low, High;
  } kNumbers[] = {{"AnimFrames", 2, 50},      {"TabSize", 1, 16},
                  {"ThreadNumber", 1, 16},    {"Depth", 1, 6},
                  {"Width", 1, 100000},       {"ExportJPEGQuality", 1, 100},
                  {"EditorFontSize", 1, 100}, {"AnimMaxWidth", 160, INT_MAX}};
  for (const auto& n : kNumbers) {
    QSpinBox* box = Field<QSpinBox>(dialog, n.Key);
    EXPECT_EQ(box->minimum(), n.Low) << n.Key;
    EXPECT_EQ(box->maximum(), n.High) << n.Key;
    box->setValue(n.Low - 1);
    EXPECT_EQ(box->value(), n.Low) << n.Key;
  }
  const struct {
    const char* Key;
    double Low, High;
  } kFractions[] = {
      {"Threshold", 0, 3}, {"DefaultImageGamma", 0.1, 10}, {"DefaultImageResolution", 1, 10000}};
  for (const auto& f : kFractions) {
    QDoubleSpinBox* box = Field<QDoubleSpinBox>(dialog, f.Key);
    EXPECT_DOUBLE_EQ(box->minimum(), f.Low) << f.Key;
    EXPECT_DOUBLE_EQ(box->maximum(), f.High) << f.Key;
    box->setValue(f.High + 5);
  }
  EXPECT_EQ(Field<QComboBox>(dialog, "ZoomFactor")->count(), 5);
  dialog.Apply();
  EXPECT_EQ(config_.AnimFrames, 2);
  EXPECT_EQ(config_.Threshold, 3.0L);
  EXPECT_EQ(config_.DefaultImageGamma, 10.0L);
}

}  // namespace
}  // namespace zt
