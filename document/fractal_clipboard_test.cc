// Tests of copying and pasting a document's parts: every part survives a copy
// and paste into another document in one undo step, wrong text is refused
// without a change, and a pasted fractal takes the override settings.
#include "document/fractal_clipboard.h"

#include <gtest/gtest.h>

#include "document/fractal_params.h"
#include "document/fractal_test_util.h"
#include "document/settings/config_manager.h"
#include "platform/user_interface.h"

namespace zt {
namespace {

using testing::TKeepValue;

class FractalClipboard : public testing::FractalTest {
 protected:
  void SetUp() override {
    FractalTest::SetUp();
    source_ = std::make_unique<TFractal>("Source");
    LoadParameterFile(*source_, (testing::SourceDir() / "data/Examples.zpr").string(),
                      "JuliaKaleidoscope");
    Shrink(*source_);
  }

  // Small images keep the calculations the changes start short.
  static void Shrink(TFractal& fractal) {
    fractal.BeginUpdate();
    fractal.SetWidth(8);
    fractal.SetHeight(6);
    fractal.EndUpdate();
  }

  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
  std::unique_ptr<TFractal> source_;
};

TEST_F(FractalClipboard, EveryPartRoundTripsInOneUndoStep) {
  const TDocumentPart parts[] = {
      TDocumentPart::kLayer,    TDocumentPart::kLocation,       TDocumentPart::kTransformation,
      TDocumentPart::kFormula,  TDocumentPart::kInsideColoring, TDocumentPart::kOutsideColoring,
      TDocumentPart::kGradient, TDocumentPart::kAlphaChannel,
  };
  for (TDocumentPart part : parts) {
    SCOPED_TRACE(static_cast<int>(part));
    const std::string copied = CopyPart(*source_, part);
    TFractal target("Target");
    Shrink(target);
    target.CurrentLayer().SetCaption("Rings");  // entries are named after it
    const std::string before = CopyPart(target, part);
    const int history = target.History().Count();
    ASSERT_TRUE(PastePart(target, part, copied));
    EXPECT_EQ(CopyPart(target, part), copied);
    EXPECT_EQ(target.History().Count(), history + 1);
    target.Undo();
    EXPECT_EQ(CopyPart(target, part), before);
    Finish(target);
  }
  EXPECT_TRUE(ui_.Records().empty());
}

TEST_F(FractalClipboard, APastedLayerIsInsertedAsTheCurrentLayer) {
  TFractal target("Target");
  ASSERT_TRUE(PastePart(target, TDocumentPart::kLayer, CopyPart(*source_, TDocumentPart::kLayer)));
  ASSERT_EQ(target.Layers().Count(), 2);
  EXPECT_EQ(target.CurrentIndex(), 0);
  EXPECT_EQ(target.CurrentLayer().Caption(), "Rings");
  EXPECT_EQ(target.Layers()[1].Caption(), "Layer 1");
  Finish(target);
}

TEST_F(FractalClipboard, TextOfAnotherKindChangesNothing) {
  const std::string formula = CopyPart(*source_, TDocumentPart::kFormula);
  const struct {
    std::string Text;
    TDocumentPart Part;
  } cases[] = {
      {formula, TDocumentPart::kLayer},
      {CopyPart(*source_, TDocumentPart::kInsideColoring), TDocumentPart::kGradient},
      {"plain words, no entry", TDocumentPart::kFractal},
      {"Fractint {\n  reset type=mandel\n}\n", TDocumentPart::kFractal},
      {"", TDocumentPart::kFormula},
  };
  TFractal target("Target");
  const std::string layer = CopyPart(target, TDocumentPart::kLayer);
  for (const auto& c : cases) {
    EXPECT_FALSE(PastePart(target, c.Part, c.Text)) << c.Text;
    EXPECT_EQ(CopyPart(target, TDocumentPart::kLayer), layer);
  }
  EXPECT_EQ(target.History().Count(), 1);
  // Both colorings read either coloring section.
  EXPECT_TRUE(PastePart(target, TDocumentPart::kOutsideColoring,
                        CopyPart(*source_, TDocumentPart::kInsideColoring)));
  EXPECT_EQ(target.CurrentLayer().OutsideColoring().Code().EntryName, "OrbitTrap");
  EXPECT_EQ(std::string(ClipboardErrorMessage(ClipboardKindOf(TDocumentPart::kGradient))),
            "Clipboard does not contain any gradient data");
  Finish(target);
}

TEST_F(FractalClipboard, APastedFractalTakesTheOverrideSettings) {
  TConfigManager& config = ConfigManager();
  TKeepValue keep_size(config.OverrideSize), keep_resolution(config.OverrideResolution);
  TKeepValue keep_width(config.DefaultImageWidth), keep_height(config.DefaultImageHeight);
  TKeepValue keep_dpi(config.DefaultImageResolution);
  source_->SetResolution(600);
  const std::string copied = CopyPart(*source_, TDocumentPart::kFractal);
  config.DefaultImageWidth = 12;
  config.DefaultImageHeight = 10;
  config.DefaultImageResolution = 150;
  const struct {
    bool Size, Resolution;
    int Width;
    double Dpi;
  } cases[] = {{false, false, 8, 600}, {true, true, 12, 150}};
  for (const auto& c : cases) {
    config.OverrideSize = c.Size;
    config.OverrideResolution = c.Resolution;
    TFractal target("Target");
    ASSERT_TRUE(PastePart(target, TDocumentPart::kFractal, copied));
    EXPECT_EQ(target.Width(), c.Width);
    EXPECT_EQ(target.Resolution(), c.Dpi);
    EXPECT_EQ(target.Title(), "Julia Kaleidoscope");
    EXPECT_EQ(target.Layers().Count(), 2);
    Finish(target);
  }
}

}  // namespace
}  // namespace zt
