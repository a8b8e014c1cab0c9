// Tests of the formula editor: compiling the entry at the cursor lists the
// messages and a double click jumps to the place; saving keeps the file's line
// ends, replaces it only when the write succeeds and reports the save; closing
// asks about unsaved text; the Tab and Enter keys follow the editor settings.
#include "ui/formula_editor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <filesystem>

#include "document/settings/config_manager.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"
#include "ui/code_edit.h"
#include "ui/compile_messages_dock.h"
#include "ui/file_opener.h"
#include "ui/main_window.h"
#include "ui/testing/window_test_util.h"

namespace zt {
namespace {

using testing::TKeepValue;

constexpr const char* kCollection =
    "Good {\r\n  z = #pixel\r\n}\r\n"
    "Bad {\r\n  z = 0\r\n\tz = z + $ 1\r\n}\r\n";

QStringList Texts(const QListWidget& list) {
  QStringList texts;
  for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
  return texts;
}

TEST(FormulaEditorTest, CompileListsTheMessagesAndADoubleClickJumpsThere) {
  testing::TempDir dir;
  TKeepValue keep_tab(ConfigManager().TabSize);
  TKeepValue keep_hide(ConfigManager().HideMsgUponSuccess);
  ConfigManager().TabSize = 4;
  ConfigManager().HideMsgUponSuccess = true;
  TFormulaEditor editor;
  ASSERT_TRUE(editor.Load(dir.Write("set.zfm", kCollection).string()));
  editor.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));

  editor.Edit().GoTo(1, 0);
  editor.CompileEntry();
  EXPECT_FALSE(editor.Messages().isVisible());  // a clean compilation hides it

  editor.Edit().GoTo(4, 0);
  editor.CompileEntry();
  EXPECT_TRUE(editor.Messages().isVisible());
  EXPECT_EQ(editor.Messages().windowTitle(), "Messages - Bad");
  QListWidget& list = editor.Messages().List();
  EXPECT_EQ(Texts(list), (QStringList{"Error: set.zfm (6:13): Invalid character encountered: '$'.",
                                      "Unable to compile 'Bad' in 'set.zfm'."}));
  EXPECT_EQ(editor.Messages().HelpKey(), "ERR_INVALIDCHAR");

  editor.Edit().GoTo(0, 0);
  QApplication::processEvents();  // the dock lays out its list
  const QPoint at = list.visualItemRect(list.item(0)).center();
  // A double click is a click and then the second press.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
  // Column 13 with a tab of four columns is the ninth character.
  EXPECT_EQ(editor.Edit().textCursor().blockNumber(), 5);
  EXPECT_EQ(editor.Edit().textCursor().positionInBlock(), 9);
  EXPECT_EQ(editor.Edit().textCursor().block().text().at(9), '$');
}

TEST(FormulaEditorTest, SavingKeepsLineEndsReplacesOnlyWhenWrittenAndAsksOnClose) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir.path() / "sub");
  const std::string file = dir.Write("sub/set.zfm", kCollection).string();
  TRecordingUserInterface ui;
  TUserInterfaceGuard guard(ui);
  auto* editor = new TFormulaEditor;
  editor->setAttribute(Qt::WA_DeleteOnClose);
  QPointer<TFormulaEditor> alive(editor);
  std::vector<std::string> saved;
  editor->OnSaved = [&](const std::string& name) { saved.push_back(name); };
  ASSERT_TRUE(editor->Load(file));
  editor->Edit().GoTo(0, 0);
  editor->Edit().insertPlainText("; mine\n");
  ASSERT_TRUE(editor->Save());
  EXPECT_EQ(testing::ReadFile(file), std::string("; mine\r\n") + kCollection);
  EXPECT_EQ(testing::CountEntries(dir.path() / "sub"), 1);
  EXPECT_EQ(saved, std::vector<std::string>{file});
  EXPECT_FALSE(editor->Modified());

  // The folder is gone and a file stands in its place: the save fails, the
  // text stays unsaved and the old file is untouched.
  std::filesystem::rename(dir.path() / "sub", dir.path() / "moved");
  dir.Write("sub", "");
  editor->Edit().insertPlainText("x");
  EXPECT_FALSE(editor->Save());
  ASSERT_EQ(ui.Records().size(), 1u);
  EXPECT_EQ(ui.Records()[0].Kind, TMessageKind::kError);
  EXPECT_TRUE(editor->Modified());
  EXPECT_EQ(testing::ReadFile(dir.path() / "moved/set.zfm"),
            std::string("; mine\r\n") + kCollection);
  EXPECT_EQ(saved.size(), 1u);

  ui.QueueAnswer(TAnswer::kCancel);
  EXPECT_FALSE(editor->close());
  ui.QueueAnswer(TAnswer::kNo);
  EXPECT_TRUE(editor->close());
  EXPECT_EQ(ui.Records().back().Text, "Save changes to 'set.zfm'?");
  EXPECT_TRUE(QTest::qWaitFor([&] { return alive.isNull(); }));
}

TEST(FormulaEditorTest, TabAndEnterFollowTheEditorSettings) {
  const struct {
    int Column, TabSize;
    bool Tabs;
    const char* Text;
  } tabs[] = {{0, 2, false, "  "}, {3, 4, false, " "}, {4, 4, false, "    "}, {5, 2, true, "\t"}};
  for (const auto& row : tabs)
    EXPECT_EQ(TabText(row.Column, row.TabSize, row.Tabs), row.Text) << row.Column;
  EXPECT_EQ(LeadingBlanks(" \t z = 1"), " \t ");

  TKeepValue keep_tab(ConfigManager().TabSize);
  TKeepValue keep_indent(ConfigManager().AutoIndent);
  TKeepValue keep_chars(ConfigManager().TabCharacters);
  ConfigManager().TabSize = 3;
  ConfigManager().AutoIndent = true;
  ConfigManager().TabCharacters = false;
  TCodeEdit edit;
  QTest::keyClick(&edit, Qt::Key_Tab);
  QTest::keyClicks(&edit, "a");
  QTest::keyClick(&edit, Qt::Key_Return);
  QTest::keyClicks(&edit, "b");
  EXPECT_EQ(edit.toPlainText(), "   a\n   b");
}

class FormulaEditorWindowTest : public testing::WindowTest {};

TEST_F(FormulaEditorWindowTest, ACollectionOpensOnceAndItsSaveRecompilesTheDocuments) {
  TRecordingUserInterface ui;
  TUserInterfaceGuard guard(ui);
  TMainWindow window;
  TFractalWindow* document = window.AddDocument(NewFractal(16, 12, "Mandel"));
  ASSERT_TRUE(WaitUntil([&] { return document->IsCalculated(); }));
  ASSERT_TRUE(OpenFileByExtension(window, file_));
  ASSERT_TRUE(OpenFileByExtension(window, dir_.path().string() + "/./document.zfm"));
  const QList<TFormulaEditor*> editors = window.findChildren<TFormulaEditor*>();
  ASSERT_EQ(editors.size(), 1);
  TFormulaEditor& editor = *editors[0];

  QString text = editor.Edit().toPlainText();
  text.replace("|z| < 4\ndefault:", "|z| < @limit\ndefault:");
  editor.Edit().selectAll();
  editor.Edit().insertPlainText(text);
  ASSERT_TRUE(editor.Save());
  EXPECT_EQ(document->Fractal().CurrentLayer().Formula().Params().Count(), 1);
  EXPECT_TRUE(WaitUntil([&] { return document->IsCalculated(); }));

  // Exit asks the editor about its unsaved text first; Cancel keeps both open.
  editor.Edit().insertPlainText("; more");
  ui.QueueAnswer(TAnswer::kCancel);
  EXPECT_FALSE(window.close());
  EXPECT_EQ(ui.Records().back().Text, "Save changes to 'document.zfm'?");
  EXPECT_EQ(window.findChildren<TFormulaEditor*>().size(), 1);
}

}  // namespace
}  // namespace zt
