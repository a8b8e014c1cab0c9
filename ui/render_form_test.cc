// Tests of the rendering window: it runs a render to its image from its timer
// and shows the progress texts; Cancel leaves the .zdr file, from which the
// render resumes to the same image.
#include "ui/render_form.h"
#include "ui/testing/wait_until.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "document/disk/disk_render.h"
#include "document/settings/config_manager.h"
#include "document/testing/render_sets.h"
#include "platform/thread.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

class RenderFormTest : public ::testing::Test {
 protected:
  static bool WaitUntil(const std::function<bool()>& done) {
    return testing::WaitUntil(done, 60000);
  }
  // A window rendering a set of width x height into `name`.
  TRenderForm* Start(const std::string& name, int width, int height, int depth) {
    TRenderSettings settings;
    settings.Destination = (dir_.path() / name).string();
    settings.Width = width;
    settings.Height = height;
    settings.Depth = depth;
    settings.Format = TImageFormat::kBMP;
    const std::string set = testing::TestSet("Set", "Set", width, height,
                                             {testing::TestLayer("A", "linear", "-0.5/0")});
    return ShowRenderForm(TDiskRender::Start(settings, set, WindowRenderOptions(config_)), config_,
                          nullptr);
  }
  static std::vector<QString> Captions(QWidget& form) {
    std::vector<QString> captions;
    for (QLabel* label : form.findChildren<QLabel*>()) captions.push_back(label->text());
    return captions;
  }

  testing::TempDir dir_;
  testing::TempDir settings_dir_;
  TConfigManager config_{settings_dir_.path()};
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

TEST_F(RenderFormTest, RendersTheImageAndShowsItsProgress) {
  QPointer<TRenderForm> form = Start("small.bmp", 60, 40, 0);
  QSignalSpy finished(form.data(), &TRenderForm::Finished);
  const std::vector<QString> captions = Captions(*form);
  for (const char* text :
       {"Progress:", "Elapsed:", "Remaining:", "Pixels/sec:", "Temporary file:", "Destination:"})
    EXPECT_NE(std::find(captions.begin(), captions.end(), QString::fromUtf8(text)), captions.end())
        << text;
  EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("[0%] Rendering small.bmp")));
  ASSERT_TRUE(WaitUntil([&] { return finished.count() == 1; }));
  EXPECT_TRUE(finished.front().front().toBool());
  EXPECT_TRUE(fs::exists(dir_.path() / "small.bmp"));
  EXPECT_FALSE(fs::exists(dir_.path() / "small.zdr"));
  EXPECT_TRUE(WaitUntil([&] { return form.isNull(); }));  // closed and deleted
}

TEST_F(RenderFormTest, CancelLeavesAResumableFile) {
  QPointer<TRenderForm> form = Start("big.bmp", 400, 300, 1);
  QSignalSpy finished(form.data(), &TRenderForm::Finished);
  ASSERT_TRUE(WaitUntil([&] { return form->Job().Figures().Share > 0 || finished.count(); }));
  ASSERT_EQ(finished.count(), 0) << "the render ended before it could be cancelled";
  // Opening the file of a running render shows that render instead of a second one.
  EXPECT_EQ(ResumeRenderFile((dir_.path() / "big.zdr").string(), config_, nullptr), form.data());
  form->Cancel();
  ASSERT_EQ(finished.count(), 1);
  EXPECT_FALSE(finished.front().front().toBool());
  EXPECT_TRUE(fs::exists(dir_.path() / "big.zdr"));
  EXPECT_FALSE(fs::exists(dir_.path() / "big.bmp"));

  QPointer<TRenderForm> resumed =
      ResumeRenderFile((dir_.path() / "big.zdr").string(), config_, nullptr);
  ASSERT_FALSE(resumed.isNull());
  QSignalSpy resumed_finished(resumed.data(), &TRenderForm::Finished);
  ASSERT_TRUE(WaitUntil([&] { return resumed_finished.count() == 1; }));
  EXPECT_TRUE(resumed_finished.front().front().toBool());
  EXPECT_TRUE(fs::exists(dir_.path() / "big.bmp"));
  EXPECT_FALSE(fs::exists(dir_.path() / "big.zdr"));

  EXPECT_EQ(ResumeRenderFile((dir_.path() / "big.zdr").string(), config_, nullptr), nullptr);
  ASSERT_FALSE(ui_.Records().empty());
  EXPECT_EQ(ui_.Records().back().Text,
            "Could not open disk render file '" + (dir_.path() / "big.zdr").string() + "'");
}

}  // namespace
}  // namespace zt
