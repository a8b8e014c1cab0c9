// The adjustment window gives its boxes as the shift and keeps the selection
// choice for next time.
#include "ui/adjust_colors_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSpinBox>

#include "document/settings/config_manager.h"

namespace zt::testing {
namespace {

TEST(AdjustColorsDialogTest, GivesTheShiftAndKeepsTheSelectionChoice) {
  for (bool only : {true, false}) {
    TAdjustColorsDialog dialog;
    dialog.HueBox()->setValue(-200);  // limited to half the circle
    dialog.SaturationBox()->setValue(30);
    dialog.LuminanceBox()->setValue(-300);
    dialog.SelectionOnlyBox()->setChecked(only);
    const THSLShift shift = dialog.Shift();
    EXPECT_EQ(shift.Hue, -180);
    EXPECT_EQ(shift.Saturation, 30);
    EXPECT_EQ(shift.Luminance, -255);
    EXPECT_EQ(shift.SelectedOnly, only);
    dialog.accept();
    EXPECT_EQ(TAdjustColorsDialog().SelectionOnlyBox()->isChecked(), only);
  }
}

}  // namespace
}  // namespace zt::testing
