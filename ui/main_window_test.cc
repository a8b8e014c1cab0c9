// Tests of the main window: new documents, opening by extension with the revert
// and unsaved-changes questions, undo and redo of a layer command, copy and paste
// of a layer, saving and reopening, dropped files, the color editors and the
// start-up action.
#include "ui/main_window.h"

#include <QAction>
#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QToolBar>
#include <QUrl>

#include "document/settings/config_manager.h"
#include "platform/user_interface.h"
#include "ui/file_commands.h"
#include "ui/file_opener.h"
#include "ui/gradient_editor.h"
#include "ui/layers_tool.h"
#include "ui/main_menus.h"
#include "ui/qt_user_interface.h"
#include "ui/testing/window_test_util.h"

namespace zt::testing {
namespace {

class MainWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // Fractal files name the test formula's collection without its folder.
    ConfigManager().FormulaDirectory = dir_.path().string() + "/";
  }
  // A calculated fractal file of the test formula.
  std::string FractalFile(const std::string& name) {
    std::unique_ptr<TFractal> fractal = NewFractal(16, 12, "Mandel");
    Finish(*fractal);
    const std::string file = (dir_.path() / name).string();
    fractal->SaveToFile(file);
    return file;
  }

  void Trigger(TCommand command) { window_.Menus().Action(command)->trigger(); }
  TFractal& Active() { return window_.ActiveDocument()->Fractal(); }
  bool WaitCalculated() {
    return WaitUntil([&] { return window_.ActiveDocument()->IsCalculated(); });
  }
  std::vector<std::string> Questions() const {
    std::vector<std::string> texts;
    for (const auto& record : ui_.Records())
      if (record.Question) texts.push_back(record.Text);
    return texts;
  }

  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
  TKeepValue<int> keep_width_{ConfigManager().DefaultImageWidth};
  TKeepValue<int> keep_height_{ConfigManager().DefaultImageHeight};
  TKeepValue<std::string> keep_folder_{ConfigManager().FormulaDirectory};
  TMainWindow window_;
};

TEST_F(MainWindowTest, NewMakesAnUntouchedDocumentOfTheDefaultSize) {
  ConfigManager().DefaultImageWidth = 40;
  ConfigManager().DefaultImageHeight = 30;
  Trigger(TCommand::kNew);
  ASSERT_EQ(window_.Documents().size(), 1);
  EXPECT_EQ(Active().Width(), 40);
  EXPECT_EQ(Active().Height(), 30);
  EXPECT_EQ(Active().Title(), "Fractal1");
  EXPECT_FALSE(window_.Menus().Action(TCommand::kUndo)->isEnabled());
  EXPECT_TRUE(window_.Menus().Action(TCommand::kSave)->isEnabled());
}

TEST_F(MainWindowTest, AFractalFileOpensOnceAndAsksBeforeItRevertsOrCloses) {
  const std::string file = FractalFile("first.zfr");
  ASSERT_TRUE(OpenFileByExtension(window_, file));
  ASSERT_EQ(window_.Documents().size(), 1);
  EXPECT_EQ(Active().Title(), "first");
  EXPECT_FALSE(Active().History().CanUndo());
  Trigger(TCommand::kLayerAdd);
  ASSERT_EQ(Active().Layers().Count(), 2);

  ui_.QueueAnswer(TAnswer::kNo);
  EXPECT_FALSE(OpenFileByExtension(window_, file));
  EXPECT_EQ(Active().Layers().Count(), 2);
  ui_.QueueAnswer(TAnswer::kYes);
  EXPECT_TRUE(OpenFileByExtension(window_, file));
  EXPECT_EQ(window_.Documents().size(), 1);
  EXPECT_EQ(Active().Layers().Count(), 1);
  const std::string question = "This document is already open:\r" + file +
                               "\r\rDo you want to revert to the previously saved version?";

  // Closing asks about unsaved changes; Cancel keeps the document open.
  Trigger(TCommand::kLayerAdd);
  ASSERT_TRUE(Active().Modified());
  ui_.QueueAnswer(TAnswer::kCancel);
  EXPECT_FALSE(window_.close());
  EXPECT_EQ(window_.Documents().size(), 1);
  ui_.QueueAnswer(TAnswer::kNo);
  EXPECT_TRUE(window_.close());
  EXPECT_TRUE(window_.Documents().isEmpty());
  const std::string save = "Save changes to 'first'?";
  EXPECT_EQ(Questions(), (std::vector<std::string>{question, question, save, save}));
}

TEST_F(MainWindowTest, LayerCommandsAreUndoneAndRedoneOneStepEach) {
  ASSERT_TRUE(OpenFileByExtension(window_, FractalFile("layers.zfr")));
  Trigger(TCommand::kLayerAdd);
  Trigger(TCommand::kLayerDuplicate);
  ASSERT_EQ(Active().Layers().Count(), 3);
  EXPECT_EQ(Active().CurrentLayer().Caption(), "Layer 2 copy");
  Trigger(TCommand::kLayerDown);
  EXPECT_EQ(Active().CurrentIndex(), 1);
  EXPECT_EQ(Active().Layers()[1].Caption(), "Layer 2 copy");
  for (int count : {3, 2, 1}) {
    ASSERT_TRUE(window_.Menus().Action(TCommand::kUndo)->isEnabled());
    Trigger(TCommand::kUndo);
    EXPECT_EQ(Active().Layers().Count(), count);
  }
  EXPECT_FALSE(window_.Menus().Action(TCommand::kUndo)->isEnabled());
  Trigger(TCommand::kRedo);
  EXPECT_EQ(Active().Layers().Count(), 2);
  EXPECT_TRUE(window_.Menus().Action(TCommand::kRedo)->isEnabled());
}

TEST_F(MainWindowTest, ACopiedLayerPastesAsANewLayer) {
  ASSERT_TRUE(OpenFileByExtension(window_, FractalFile("copy.zfr")));
  Active().CurrentLayer().SetCaption("Original");
  window_.Menus().CopyAction(TDocumentPart::kLayer)->trigger();
  const std::string copied = ClipboardText();
  EXPECT_EQ(copied, CopyPart(Active(), TDocumentPart::kLayer));
  window_.Menus().PasteAction(TDocumentPart::kLayer)->trigger();
  ASSERT_EQ(Active().Layers().Count(), 2);
  EXPECT_EQ(CopyPart(Active(), TDocumentPart::kLayer), copied);

  SetClipboardText("not a parameter set");
  window_.Menus().PasteAction(TDocumentPart::kLayer)->trigger();
  EXPECT_EQ(Active().Layers().Count(), 2);
  ASSERT_FALSE(ui_.Records().empty());
  EXPECT_EQ(ui_.Records().back().Text, "Clipboard does not contain valid layer data");
}

TEST_F(MainWindowTest, ADocumentSavedUnderANewNameOpensAgainFromThatFile) {
  ASSERT_TRUE(OpenFileByExtension(window_, FractalFile("source.zfr")));
  Trigger(TCommand::kLayerAdd);
  ASSERT_TRUE(WaitCalculated());
  const std::string chosen = (dir_.path() / "Saved Copy").string();
  ASSERT_TRUE(SaveDocumentTo(Active(), chosen, false));
  EXPECT_EQ(Active().FileName(), chosen + ".zfr");
  EXPECT_EQ(Active().Title(), "Saved Copy");
  EXPECT_FALSE(Active().Modified());
  window_.DocumentArea().closeAllSubWindows();
  ASSERT_TRUE(window_.Documents().isEmpty());

  ASSERT_TRUE(OpenFileByExtension(window_, chosen + ".zfr"));
  EXPECT_EQ(Active().Title(), "Saved Copy");
  EXPECT_EQ(Active().Layers().Count(), 2);
  EXPECT_TRUE(window_.ActiveDocument()->IsCalculated());
  EXPECT_TRUE(Questions().empty());
}

TEST_F(MainWindowTest, DroppedFilesOpenInTheOrderOfTheDrop) {
  const std::string first = FractalFile("b-first.zfr");
  const std::string second = FractalFile("a-second.zfr");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(first)),
                QUrl::fromLocalFile(QString::fromStdString(second))});
  // A drop goes to the widget that accepted the drag when it entered.
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window_, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window_, &drop);
  QStringList titles;
  for (TFractalWindow* document : window_.Documents())
    titles << QString::fromStdString(document->Fractal().Title());
  EXPECT_EQ(titles, (QStringList{"b-first", "a-second"}));
  EXPECT_EQ(window_.RecentFiles().Files(), (std::vector<std::string>{second, first}));
}

TEST_F(MainWindowTest, TheLayerMenuAndPaletteFilesOpenColorEditors) {
  Trigger(TCommand::kNew);
  for (QAction* action : window_.findChildren<QAction*>())
    if (action->text() == "Edit &Gradient..." || action->text() == "Edit Alpha &Channel...")
      action->trigger();
  std::string palette;
  for (int i = 0; i < 256; ++i) palette += std::to_string(i) + " 0 0\n";
  window_.OpenFiles({dir_.Write("ramp.map", palette).string()});
  const QList<TGradientEditor*> editors = window_.findChildren<TGradientEditor*>();
  ASSERT_EQ(editors.size(), 3);
  TLayer& layer = Active().CurrentLayer();
  EXPECT_EQ(editors[0]->Editing().Object(), &layer.Gradient());
  EXPECT_EQ(editors[1]->Editing().Object(), &layer.AlphaChannel());
  EXPECT_EQ(editors[2]->windowTitle(), "Gradient - ramp");
  EXPECT_EQ(editors[2]->Editing().Count(), 2);
  EXPECT_TRUE(ui_.Records().empty());
}

TEST_F(MainWindowTest, TheStartUpActionRunsWhenNoFilesAreNamed) {
  TConfigManager& config = ConfigManager();
  TKeepValue keep_option(config.StartupFractalOptions);
  TKeepValue keep_file(config.DefaultParamFile), keep_entry(config.DefaultParamEntry);
  const std::string sets = dir_.Write("sets.zpr",
                                      "Small {\nfractal:\n  title=\"Small set\" width=16 "
                                      "height=12 numlayers=1\nlayer:\nformula:\n  filename=\"" +
                                          file_ + "\" entry=\"Mandel\"\n}\n")
                               .string();
  config.DefaultParamFile = sets;
  config.DefaultParamEntry = "Small";
  ui_.QueueBrowse(file_, "Mandel");
  ui_.QueueBrowse(sets, "Small");
  const struct {
    int Option;
    std::vector<std::string> Files;
    const char* Title;  // of the document opened, or null for none
  } cases[] = {
      {0, {}, nullptr},
      {1, {}, "Fractal1"},
      {2, {}, "Small set"},
      {3, {}, "Small set"},
      {0, {FractalFile("named.zfr")}, "named"},
  };
  for (const auto& c : cases) {
    config.StartupFractalOptions = c.Option;
    window_.RunStartup(c.Files);
    if (c.Title == nullptr) {
      EXPECT_TRUE(window_.Documents().isEmpty());
      continue;
    }
    ASSERT_EQ(window_.Documents().size(), 1) << c.Option;
    EXPECT_EQ(Active().Title(), c.Title);
    EXPECT_EQ(Active().CurrentLayer().Formula().Code().EntryName, "Mandel");
    EXPECT_FALSE(Active().History().CanUndo());
    window_.DocumentArea().closeAllSubWindows();
  }
  EXPECT_EQ(ui_.Browsed(), (std::vector<TEntryBrowseKind>{TEntryBrowseKind::kFormula,
                                                          TEntryBrowseKind::kParameters}));
}

TEST_F(MainWindowTest, TheToolsFollowTheActiveDocumentAndLetGoOfAClosedOne) {
  TLayersTool* layers = window_.findChild<TLayersTool*>();
  ASSERT_NE(layers, nullptr);
  ASSERT_TRUE(OpenFileByExtension(window_, FractalFile("one.zfr")));
  TFractalWindow* first = window_.ActiveDocument();
  ASSERT_TRUE(OpenFileByExtension(window_, FractalFile("two.zfr")));
  Trigger(TCommand::kLayerAdd);
  // The tools refresh from the event loop.
  const auto rows = [&](int count) {
    return WaitUntil([&] { return layers->Model().rowCount() == count; });
  };
  EXPECT_NE(window_.ActiveDocument(), first);
  EXPECT_TRUE(rows(2));
  Trigger(TCommand::kClose);
  EXPECT_EQ(window_.ActiveDocument(), first);
  EXPECT_TRUE(rows(1));
  Trigger(TCommand::kClose);
  EXPECT_EQ(window_.ActiveDocument(), nullptr);
  EXPECT_TRUE(rows(0));
  EXPECT_FALSE(window_.Menus().Action(TCommand::kSave)->isEnabled());
}

TEST_F(MainWindowTest, TheLayoutComesBackInTheNextRun) {
  TKeepValue keep_toolbar(ConfigManager().ShowToolbar);
  window_.SetTabbed(true);
  window_.resize(700, 500);
  window_.RecentFiles().Add("/a.zfr");
  ConfigManager().ShowToolbar = false;
  window_.SaveLayout();

  TMainWindow next;
  next.RestoreLayout();
  EXPECT_TRUE(next.Tabbed());
  EXPECT_EQ(next.size(), QSize(700, 500));
  EXPECT_FALSE(next.Menus().ToolBar()->isVisibleTo(&next));
  EXPECT_EQ(next.RecentFiles().Files(), std::vector<std::string>{"/a.zfr"});
}

}  // namespace
}  // namespace zt::testing
