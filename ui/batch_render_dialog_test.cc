// Tests of the New Batch Render window: its checks and question give the
// engine's texts, and Render stores the choices and renders every set.
#include "ui/batch_render_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "document/disk/render_checks.h"
#include "document/settings/config_manager.h"
#include "document/testing/render_sets.h"
#include "platform/thread.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"
#include "ui/render_form.h"
#include "ui/render_size_fields.h"
#include "ui/testing/wait_until.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

class BatchRenderDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { MainThreadDispatcher().MakeCurrentThreadMain(); }

  testing::TempDir dir_;
  testing::TempDir settings_dir_;
  TConfigManager config_{settings_dir_.path()};
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

TEST_F(BatchRenderDialogTest, ChecksAskAndRenderEverySet) {
  const std::string sets =
      dir_.Write("sets.zpr", testing::TestSet("One", "First", 80, 40,
                                              {testing::TestLayer("A", "linear", "-0.5/0")}) +
                                 testing::TestSet("Two", "Second", 80, 40,
                                                  {testing::TestLayer("B", "linear", "-0.6/0")}))
          .string();
  const fs::path folder = dir_.path() / "images";
  fs::create_directories(folder);
  TBatchRenderDialog dialog(config_);
  dialog.FolderEdit()->setText(QString::fromStdString(folder.string()));
  dialog.FormatBox()->setCurrentIndex(static_cast<int>(TImageFormat::kTGA));
  dialog.Fields().AspectBox()->setChecked(false);
  dialog.Fields().AntiAliasBox()->setChecked(false);
  dialog.Fields().WidthBox()->setCurrentText(QStringLiteral("30"));
  dialog.Fields().HeightBox()->setCurrentText(QStringLiteral("20"));

  dialog.ParameterFileEdit()->setText(QString::fromStdString((dir_.path() / "none.zpr").string()));
  EXPECT_EQ(dialog.Render(), nullptr);
  ASSERT_FALSE(ui_.Records().empty());
  EXPECT_EQ(ui_.Records().back().Text, kNoParameterFileText);

  dialog.ParameterFileEdit()->setText(QString::fromStdString(sets));
  ui_.QueueAnswer(TAnswer::kNo);
  EXPECT_EQ(dialog.Render(), nullptr);
  EXPECT_TRUE(ui_.Records().back().Question);
  EXPECT_EQ(ui_.Records().back().Text, kFolderExistsText);
  EXPECT_EQ(config_.ExportFormat, 1);  // nothing stored yet

  ui_.QueueAnswer(TAnswer::kYes);
  QPointer<TRenderForm> form = dialog.Render();
  ASSERT_FALSE(form.isNull()) << ui_.Records().back().Text;
  EXPECT_EQ(config_.ExportFormat, 5);
  EXPECT_EQ(config_.Width, 30);
  EXPECT_FALSE(config_.AntiAliasing);
  QSignalSpy finished(form.data(), &TRenderForm::Finished);
  ASSERT_TRUE(testing::WaitUntil([&] { return finished.count() == 1; }, 60000));
  EXPECT_TRUE(finished.front().front().toBool());
  for (const char* image : {"First.tga", "Second.tga"})
    EXPECT_EQ(fs::file_size(folder / image), 18u + 30u * 20u * 3u) << image;
}

}  // namespace
}  // namespace zt
