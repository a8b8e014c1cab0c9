// The editor window: over a layer it edits the layer's colors live, offers undo
// and redo, is opened once per object and closes with the layer; a new gradient
// starts in the mode of the settings; .zgr entries and MAP palettes open in
// editors of their own.
#include "ui/gradient_editor.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QSpinBox>
#include <QTest>

#include "color/layer.h"
#include "document/fractal_test_util.h"
#include "document/settings/config_manager.h"
#include "platform/user_interface.h"
#include "ui/gradient_editing.h"

namespace zt::testing {
namespace {

class GradientEditorTest : public FractalTest {
 protected:
  // The editors `owner_` holds, in the order they were made.
  QList<TGradientEditor*> Editors() { return owner_.findChildren<TGradientEditor*>(); }

  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
  QWidget owner_;
};

TEST_F(GradientEditorTest, EditsTheLayersGradientLiveWithUndoAndClosesWithTheLayer) {
  auto fractal = NewFractal(4, 2, "");
  TLayer& layer = fractal->CurrentLayer();
  QPointer<TGradientEditor> editor = EditLayerGradient(&owner_, layer);
  EXPECT_EQ(EditLayerGradient(&owner_, layer), editor.data());  // one per gradient
  EXPECT_EQ(editor->windowTitle(), QString("Gradient - ") + layer.Caption().c_str());
  EXPECT_FALSE(editor->UndoAction()->isEnabled());

  editor->Editing().SetCurrent(2);  // yellow at 200
  editor->Refresh();
  EXPECT_EQ(editor->PositionBox()->value(), 200);
  EXPECT_EQ(editor->ChannelBox(2)->value(), 0);
  for (int blue : {60, 120}) editor->ChannelBox(2)->setValue(blue);
  emit editor->ChannelBox(2)->editingFinished();
  editor->PositionBox()->setValue(210);
  EXPECT_EQ(layer.ConvertTable()[210 * 128].Blue, 120);
  EXPECT_EQ(layer.Gradient().History().Count(), 3);  // the color, then the place
  ASSERT_TRUE(editor->UndoAction()->isEnabled());

  editor->UndoAction()->trigger();
  EXPECT_EQ(editor->PositionBox()->value(), 200);
  EXPECT_EQ(layer.ConvertTable()[200 * 128].Blue, 120);
  editor->UndoAction()->trigger();
  EXPECT_EQ(layer.ConvertTable()[200 * 128].Blue, 0);
  EXPECT_EQ(editor->ChannelBox(2)->value(), 0);
  editor->RedoAction()->trigger();
  EXPECT_EQ(editor->ChannelBox(2)->value(), 120);

  editor->OffsetBox()->setValue(-20);
  EXPECT_EQ(layer.Gradient().Position(), -20);
  editor->SmoothBox()->setChecked(false);
  EXPECT_FALSE(layer.Gradient().Smooth());

  // A change from elsewhere shows once the event loop runs.
  layer.Gradient().SetSmooth(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return editor->SmoothBox()->isChecked(); }, 2000));

  fractal.reset();
  ASSERT_FALSE(editor.isNull());
  EXPECT_TRUE(editor->Orphaned());
  EXPECT_FALSE(editor->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return editor.isNull(); }, 2000));
}

TEST_F(GradientEditorTest, ANewGradientStartsInTheModeOfTheSettings) {
  TKeepValue<bool> keep(ConfigManager().DefaultGradientRGBMode);
  for (bool rgb : {false, true}) {
    ConfigManager().DefaultGradientRGBMode = rgb;
    std::unique_ptr<TGradientEditor> editor(NewGradientEditor(&owner_));
    EXPECT_EQ(editor->ModeBox()->currentText(), rgb ? "RGB" : "HSL");
    const QLabel* label = editor->findChildren<QLabel*>()[1];  // after "Position:"
    EXPECT_EQ(label->text(), rgb ? "Red:" : "Hue:");
    editor->ModeBox()->setCurrentIndex(rgb ? 1 : 0);
    emit editor->ModeBox()->activated(rgb ? 1 : 0);
    EXPECT_EQ(label->text(), rgb ? "Hue:" : "Red:");
  }
  std::unique_ptr<TGradientEditor> alpha(NewAlphaChannelEditor(&owner_));
  EXPECT_EQ(alpha->ModeBox(), nullptr);
  EXPECT_EQ(alpha->windowTitle(), "Alpha Channel");
}

TEST_F(GradientEditorTest, EntryFilesAndPalettesOpenInEditorsOfTheirOwn) {
  TGradient gradient(true);
  gradient.RandomizeCount(7);
  const std::string zgr = (dir_.path() / "mine.zgr").string();
  ASSERT_TRUE(TGradientEditing(gradient).SaveEntry(zgr, "Seven colors"));
  std::string map;
  for (int i = 0; i < 256; ++i) map += "255 0 0\n";
  const std::string palette = dir_.Write("red.map", map).string();

  ui_.QueueBrowse(zgr, "SevenColors");
  EXPECT_TRUE(OpenInColorEditor(&owner_, zgr));
  EXPECT_TRUE(OpenInColorEditor(&owner_, palette));
  EXPECT_TRUE(OpenInColorEditor(&owner_, zgr));  // cancelled in the browser
  EXPECT_FALSE(OpenInColorEditor(&owner_, dir_.Write("x.zpr", "").string()));
  ASSERT_EQ(Editors().size(), 2);
  EXPECT_TRUE(ui_.Records().empty());

  TGradientEditor& loaded = *Editors()[0];
  EXPECT_EQ(loaded.windowTitle(), "Gradient - Seven colors");
  // Files hold 8 bits per channel.
  TGradientEditing original(gradient);
  ASSERT_EQ(loaded.Editing().Count(), 7);
  for (int n = 0; n < 7; ++n) {
    EXPECT_EQ(loaded.Editing().IndexOf(n), original.IndexOf(n));
    EXPECT_EQ(loaded.Editing().PointColor(n), original.PointColor(n));
  }
  EXPECT_FALSE(loaded.Editing().CanUndo());

  TGradientEditor& red = *Editors()[1];
  EXPECT_EQ(red.windowTitle(), "Gradient - red");
  ASSERT_EQ(red.Editing().Count(), 2);
  EXPECT_EQ(red.Editing().IndexOf(1), 399);
  EXPECT_EQ(red.Editing().PointColor(1), qRgb(255, 0, 0));

  EXPECT_TRUE(OpenInColorEditor(&owner_, dir_.Write("short.map", "1 2 3\n").string()));
  ASSERT_EQ(ui_.Records().size(), 1u);
  EXPECT_EQ(ui_.Records()[0].Text, "Error reading MAP palette file");
}

}  // namespace
}  // namespace zt::testing
