// Tests of the Render to Disk window: its checks give the engine's texts, the
// height follows the document's aspect ratio, the format follows the name, and
// Render stores the choices and renders the document.
#include "ui/render_to_disk_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "document/disk/render_checks.h"
#include "document/fractal_test_util.h"
#include "document/settings/config_manager.h"
#include "platform/user_interface.h"
#include "ui/render_form.h"
#include "ui/render_size_fields.h"
#include "ui/testing/wait_until.h"

namespace zt::testing {
namespace {

namespace fs = std::filesystem;

class RenderToDiskTest : public FractalTest {
 protected:
  void SetUp() override {
    FractalTest::SetUp();
    // The render reloads the document's text, which names the collection only.
    ConfigManager().FormulaDirectory = dir_.path().string() + "/";
    fractal_ = NewFractal(16, 12, "Mandel");
  }
  static void SetSize(TRenderToDiskDialog& dialog, int width, int height, bool aspect) {
    dialog.Fields().AspectBox()->setChecked(aspect);
    dialog.Fields().WidthBox()->setCurrentText(QString::number(width));
    if (!aspect) dialog.Fields().HeightBox()->setCurrentText(QString::number(height));
  }

  TKeepValue<std::string> keep_folder_{ConfigManager().FormulaDirectory};
  TempDir settings_dir_;
  TConfigManager config_{settings_dir_.path()};
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
  std::unique_ptr<TFractal> fractal_;
};

TEST_F(RenderToDiskTest, ChecksShowTheEngineTexts) {
  TRenderToDiskDialog dialog(*fractal_, config_);
  const std::string big = (dir_.path() / "big.png").string();
  const struct {
    std::string Destination;
    int Width, Height;
    std::string Expected;
  } kCases[] = {
      {"", 20, 15, kInvalidDestinationText},
      {"/no/such/folder/x.png", 20, 15, kInvalidDestinationText},
      {big, 100000, 100000,
       CheckSpace(RequiredSpace(100000, 100000, 1, 0), FreeSpace(big)).Message},
  };
  for (const auto& c : kCases) {
    dialog.DestinationEdit()->setText(QString::fromStdString(c.Destination));
    SetSize(dialog, c.Width, c.Height, false);
    EXPECT_EQ(dialog.Render(), nullptr) << c.Destination;
    ASSERT_FALSE(ui_.Records().empty());
    EXPECT_EQ(ui_.Records().back().Text, c.Expected) << c.Destination;
  }
  EXPECT_FALSE(fs::exists(big));
  EXPECT_EQ(config_.Width, 640);  // refused renders store nothing
}

TEST_F(RenderToDiskTest, HeightFollowsTheAspectAndFormatTheName) {
  TRenderToDiskDialog dialog(*fractal_, config_);
  SetSize(dialog, 100, 0, true);
  EXPECT_EQ(dialog.Fields().ImageHeight(), 75);
  EXPECT_FALSE(dialog.Fields().HeightBox()->isEnabled());
  dialog.Fields().AntiAliasBox()->setChecked(false);
  EXPECT_EQ(dialog.Fields().Depth(), 0);

  const struct {
    const char* Name;
    TImageFormat Format;
    const char* Destination;
  } kNames[] = {{"a.PNG", TImageFormat::kPNG, "a.PNG"},
                {"a.jpeg", TImageFormat::kJPEG, "a.jpeg"},
                {"a.tga", TImageFormat::kTGA, "a.tga"},
                {"a.psd", TImageFormat::kPSD, "a.psd"},
                {"a.b", TImageFormat::kBMP, "a.b.bmp"}};  // ExportFormat 1
  for (const auto& n : kNames) {
    dialog.DestinationEdit()->setText(QString::fromUtf8(n.Name));
    EXPECT_EQ(dialog.Format(), n.Format) << n.Name;
    EXPECT_EQ(dialog.Destination(), n.Destination);
  }
}

TEST_F(RenderToDiskTest, RenderStoresTheChoicesAndWritesTheImage) {
  TRenderToDiskDialog dialog(*fractal_, config_);
  const fs::path image = dir_.path() / "out" / "image.bmp";
  fs::create_directories(image.parent_path());
  dialog.DestinationEdit()->setText(QString::fromStdString(image.string()));
  SetSize(dialog, 40, 25, false);
  QPointer<TRenderForm> form = dialog.Render();
  ASSERT_FALSE(form.isNull()) << (ui_.Records().empty() ? "" : ui_.Records().back().Text);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(config_.Width, 40);
  EXPECT_EQ(config_.Height, 25);
  EXPECT_FALSE(config_.OriginalAspect);
  EXPECT_EQ(config_.ExportDirectory, image.parent_path().string() + "/");
  QSignalSpy finished(form.data(), &TRenderForm::Finished);
  ASSERT_TRUE(testing::WaitUntil([&] { return finished.count() == 1; }, 60000));
  EXPECT_TRUE(finished.front().front().toBool());
  EXPECT_EQ(fs::file_size(image), 54u + 40u * 3u * 25u);  // rows of 120 bytes need no padding
}

}  // namespace
}  // namespace zt::testing
