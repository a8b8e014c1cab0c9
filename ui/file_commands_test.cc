// Tests of what follows the file dialogs: the extension rules of saving and
// exporting, the file name made from a title, and the checks of the "Save
// Parameters" window.
#include "ui/file_commands.h"

#include <QCheckBox>
#include <QLineEdit>
#include <filesystem>

#include "document/settings/config_manager.h"
#include "platform/user_interface.h"
#include "ui/save_parameters_dialog.h"
#include "ui/testing/window_test_util.h"

namespace zt::testing {
namespace {

class FileCommandsTest : public WindowTest {
 protected:
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

TEST_F(FileCommandsTest, ExportsAppendTheFormatsExtensionUnlessTheNameHasIt) {
  std::unique_ptr<TFractal> fractal = NewFractal(8, 6, "Mandel");
  Finish(*fractal);
  const std::string base = (dir_.path() / "image").string();
  const struct {
    std::string Chosen;
    int Format;
    std::string Written;
  } cases[] = {
      {base, 1, base + ".bmp"},
      {base + ".PSD", 2, base + ".PSD"},
      {base + ".bmp", 3, base + ".bmp.png"},
      {base + ".jpeg", 4, base + ".jpeg"},
      {base + ".Jpg", 4, base + ".Jpg"},
      {base, 5, base + ".tga"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExportDocumentTo(*fractal, c.Chosen, c.Format), c.Written);
    EXPECT_TRUE(std::filesystem::exists(c.Written)) << c.Written;
  }
  EXPECT_EQ(ExportDocumentTo(*fractal, "/no/such/folder/image", 3), "");
  ASSERT_EQ(ui_.Records().size(), 1u);
  EXPECT_EQ(ui_.Records()[0].Text, "Could not create '/no/such/folder/image.png'");
}

TEST_F(FileCommandsTest, SavingAppendsZfrAndACopyLeavesTheDocumentsFileAlone) {
  std::unique_ptr<TFractal> fractal = NewFractal(8, 6, "Mandel");
  Finish(*fractal);
  const std::string copy = (dir_.path() / "copy").string();
  ASSERT_TRUE(SaveDocumentTo(*fractal, copy, true));
  EXPECT_TRUE(std::filesystem::exists(copy + ".zfr"));
  EXPECT_EQ(fractal->FileName(), "");
  EXPECT_EQ(fractal->Title(), "Test");
  const std::string own = (dir_.path() / "Own.ZFR").string();
  ASSERT_TRUE(SaveDocumentTo(*fractal, own, false));
  EXPECT_EQ(fractal->FileName(), own);
  EXPECT_EQ(fractal->Title(), "Own");
}

TEST_F(FileCommandsTest, SaveParametersChecksTitleAndFileBeforeItSaves) {
  std::unique_ptr<TFractal> fractal = NewFractal(8, 6, "Mandel");
  const std::string file = (dir_.path() / "sets.zpr").string();
  TSaveParametersDialog dialog(*fractal);
  const struct {
    std::string File, Title;
    const char* Message;  // null: saved
  } cases[] = {
      {file, "  ", "Please enter a title for the parameter set."},
      {"/no/such/folder/sets.zpr", "My set", "Invalid file.\rPlease enter a valid filename."},
      {dir_.path().string(), "My set", "Invalid file.\rPlease enter a valid filename."},
      {file, "My set", nullptr},
  };
  for (const auto& c : cases) {
    const std::size_t before = ui_.Records().size();
    dialog.FileEdit()->setText(QString::fromStdString(c.File));
    dialog.TitleEdit()->setText(QString::fromStdString(c.Title));
    dialog.accept();
    if (c.Message != nullptr) {
      ASSERT_EQ(ui_.Records().size(), before + 1);
      EXPECT_EQ(ui_.Records().back().Text, c.Message);
      EXPECT_NE(dialog.result(), QDialog::Accepted);
    } else {
      EXPECT_EQ(ui_.Records().size(), before);
      EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
  }
  EXPECT_NE(ReadFile(file).find("MySet {"), std::string::npos);
  EXPECT_EQ(ConfigManager().ReadWindowValue("SaveParameters", "LastParamFile", ""), file);
  Finish(*fractal);
}

}  // namespace
}  // namespace zt::testing
