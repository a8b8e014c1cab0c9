// Tests of the entry browser: it starts on the asked entry with its text, a
// file picked in the folder tree lists its entries, OK answers the choice and
// Cancel nothing; a parameter set's preview calculates in the background and
// the one that runs stops when the choice changes.
#include "ui/entry_browser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "document/fractal.h"
#include "document/settings/config_manager.h"
#include "platform/thread.h"
#include "testing/test_support.h"
#include "ui/entry_preview.h"
#include "ui/testing/wait_until.h"

namespace zt {
namespace {

using testing::TKeepValue;

using testing::WaitUntil;

QStringList Column(const QTreeWidget& list, int column) {
  QStringList texts;
  for (int i = 0; i < list.topLevelItemCount(); ++i) texts << list.topLevelItem(i)->text(column);
  return texts;
}

std::string Set(const std::string& name, const std::string& entry) {
  return name + " {\nfractal:\n  title=\"" + name +
         "\" width=64 height=32 numlayers=1\nlayer:\n  visible=yes alpha=no\nmapping:\n"
         "  center=-0.5/0 magn=1 angle=0\nformula:\n  filename=\"document.zfm\" entry=\"" +
         entry +
         "\" maxiter=50 percheck=off\ngradient:\n  smooth=yes numnodes=1 index=0 "
         "color=255\n}\n\n";
}

// Closes the next modal dialog with `accept`.
void CloseDialogSoon(bool accept) {
  QTimer::singleShot(0, [accept] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    if (accept)
      dialog->accept();
    else
      dialog->reject();
  });
}

TEST(EntryBrowserTest, ShowsTheFolderTheEntriesAndTheTextAndAnswersOkOrCancel) {
  testing::TempDir dir;
  dir.Write("sub/Other.zfm", "Spiral {\n  z = 1\n}\n");
  const std::string file =
      dir.Write("Mine.zfm", "Julia { ; the set\ndefault:\n  title=\"Julia set\"\n}\nMandel {\n}\n")
          .string();
  TKeepValue keep(ConfigManager().FormulaDirectory);
  ConfigManager().FormulaDirectory = dir.path().string() + "/";

  TEntryBrowser browser(TEntryBrowseKind::kFormula, file, "mandel");
  EXPECT_EQ(Column(browser.EntryList(), 0), (QStringList{"Julia", "Mandel"}));
  EXPECT_EQ(Column(browser.EntryList(), 1), (QStringList{"Julia set", "Mandel"}));
  EXPECT_EQ(browser.Choice()->EntryName, "Mandel");
  browser.EntryList().setCurrentItem(browser.EntryList().topLevelItem(0));
  EXPECT_EQ(browser.EntryTextView().toPlainText(),
            "Julia { ; the set\ndefault:\n  title=\"Julia set\"\n}");
  EXPECT_EQ(browser.Preview(), nullptr);

  QTreeWidgetItem* root = browser.FolderTree().topLevelItem(0);
  ASSERT_EQ(root->childCount(), 2);
  EXPECT_EQ(root->child(0)->text(0), "sub");
  EXPECT_EQ(browser.FolderTree().currentItem(), root->child(1));
  QTreeWidgetItem* other = root->child(0)->child(0);
  browser.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser));
  browser.FolderTree().expandItem(root->child(0));
  QApplication::processEvents();
  QTest::mouseClick(browser.FolderTree().viewport(), Qt::LeftButton, {},
                    browser.FolderTree().visualItemRect(other).center());
  EXPECT_EQ(browser.Choice()->FileName, dir.path().string() + "/sub/Other.zfm");
  EXPECT_EQ(browser.Choice()->EntryName, "Spiral");

  CloseDialogSoon(true);
  const auto chosen = TEntryBrowser::Choose(TEntryBrowseKind::kFormula, file, "Julia");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->FileName, file);
  EXPECT_EQ(chosen->EntryName, "Julia");
  CloseDialogSoon(false);
  EXPECT_FALSE(TEntryBrowser::Choose(TEntryBrowseKind::kFormula, file, "Julia").has_value());
}

TEST(EntryBrowserTest, APreviewStopsWhenTheChoiceChanges) {
  MainThreadDispatcher().MakeCurrentThreadMain();
  testing::TempDir dir;
  dir.Write("document.zfm",
            "Mandel {\ninit:\n  z = 0\nloop:\n  z = sqr(z) + #pixel\nbailout:\n  |z| < 4\n}\n"
            "Endless {\ninit:\n  float t = 0\nloop:\n  while true\n    t = t + 1\n"
            "  endwhile\n  z = t\nbailout:\n  |z| < 4\n}\n");
  const std::string sets =
      dir.Write("sets.zpr", Set("Slow", "Endless") + Set("Quick", "Mandel")).string();
  TKeepValue keep_formulas(ConfigManager().FormulaDirectory);
  TKeepValue keep_sets(ConfigManager().ParameterDirectory);
  ConfigManager().FormulaDirectory = dir.path().string() + "/";
  ConfigManager().ParameterDirectory = dir.path().string() + "/";

  TEntryBrowser browser(TEntryBrowseKind::kParameters, sets, "Slow");
  ASSERT_NE(browser.Preview(), nullptr);
  QSignalSpy ready(browser.Preview(), &TEntryPreview::Ready);
  ASSERT_TRUE(WaitUntil([&] {
    TFractal* slow = browser.Preview()->Document();
    return slow != nullptr && slow->IsCalculating();
  }));
  // The endless set calculates in the background while events run.
  EXPECT_EQ(browser.PreviewLabel().text(), "Calculating...");
  QTest::qWait(100);
  EXPECT_TRUE(browser.Preview()->Busy());

  browser.SelectEntry("Quick");
  EXPECT_EQ(browser.Preview()->Document(), nullptr);  // stopped and gone
  ASSERT_TRUE(WaitUntil([&] { return ready.count() > 0; }));
  ASSERT_EQ(ready.count(), 1);
  EXPECT_EQ(ready[0][1].toString(), "Quick");
  EXPECT_EQ(ready[0][0].value<QImage>().size(), QSize(240, 120));
  EXPECT_FALSE(browser.PreviewLabel().pixmap().isNull());
  EXPECT_FALSE(browser.Preview()->Busy());

  const struct {
    int Width, Height;
    QSize Size;
  } sizes[] = {{64, 32, {240, 120}}, {30, 90, {60, 180}}, {0, 5, {240, 180}}, {5000, 1, {240, 1}}};
  for (const auto& row : sizes)
    EXPECT_EQ(PreviewSize(row.Width, row.Height, QSize(240, 180)), row.Size) << row.Width;
}

}  // namespace
}  // namespace zt
