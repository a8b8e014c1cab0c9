// Tests of the checks before a render starts and of the names of batch files.
#include "document/disk/render_checks.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "testing/test_support.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

TEST(RenderChecks, RequiredSpaceAndItsLimits) {
  EXPECT_DOUBLE_EQ(RequiredSpace(1024, 1024, 1, 0), 6);
  EXPECT_DOUBLE_EQ(RequiredSpace(1024, 1024, 3, 2), 18 + 16);
  const struct {
    double Required, Free;
    const char* Message;
  } cases[] = {{100, 100.05, ""},
               {100.2, 100, kNotEnoughSpaceText},
               {2039, 5000, ""},
               {2040, 5000, kTooLargeText},
               {3000, 10, kNotEnoughSpaceText}};
  for (const auto& c : cases) EXPECT_EQ(CheckSpace(c.Required, c.Free).Message, c.Message);
}

TEST(RenderChecks, DestinationsAndFolders) {
  testing::TempDir dir;
  const std::string image = (dir.path() / "image.png").string();
  EXPECT_EQ(CheckDiskRender(image, 0).Message, "");
  EXPECT_FALSE(fs::exists(image));  // made for the test, removed again
  EXPECT_EQ(CheckDiskRender((dir.path() / "no" / "image.png").string(), 0).Message,
            kInvalidDestinationText);

  const std::string sets = dir.Write("sets.zpr", "A {\n}\n").string();
  const std::string folder = (dir.path() / "out").string();
  const struct {
    std::string File;
    bool Skip, Confirmed;
    TRenderCheck::TResult Result;
    const char* Message;
  } cases[] = {
      {(dir.path() / "none.zpr").string(), false, false, TRenderCheck::TResult::kStop,
       kNoParameterFileText},
      {sets, false, false, TRenderCheck::TResult::kProceed, ""},  // makes the folder
      {sets, false, false, TRenderCheck::TResult::kAsk, kFolderExistsText},
      {sets, true, false, TRenderCheck::TResult::kProceed, ""},
      {sets, false, true, TRenderCheck::TResult::kProceed, ""},
  };
  for (const auto& c : cases) {
    const TRenderCheck check = CheckBatchRender(c.File, folder, c.Skip, c.Confirmed, 0);
    EXPECT_EQ(check.Result, c.Result) << c.Message;
    EXPECT_EQ(check.Message, c.Message);
  }
  EXPECT_EQ(CheckBatchRender(sets, sets + "/out", false, false, 0).Message, kFolderNotCreatedText);
}

TEST(RenderChecks, BatchNames) {
  const struct {
    const char* Title;
    TImageFormat Format;
    const char* Name;
  } cases[] = {{"Spiral: why?", TImageFormat::kPNG, "Spiral  why .png"},
               {"a\"b*c/d<e>f\\g|h", TImageFormat::kJPEG, "a b c d e f g h.jpg"},
               {"", TImageFormat::kPSD, "Image007.psd"},
               {"Plain", TImageFormat::kTGA, "Plain.tga"}};
  for (const auto& c : cases) EXPECT_EQ(BatchImageName(c.Title, 7, c.Format), c.Name);
  EXPECT_EQ(BatchTemporaryFile("/out", "/in/My sets.zpr", 1, 3), "/out/My sets-shard1of3.zdr");
  EXPECT_EQ(BatchLogFile("/out/My sets.zdr"), "/out/My sets.log");
  EXPECT_EQ(AspectHeight(640, 800, 600), 480);
  EXPECT_EQ(AspectHeight(100, 3, 1), 33);
  EXPECT_EQ(AspectHeight(1, 1000, 1), 1);
}

}  // namespace
}  // namespace zt
