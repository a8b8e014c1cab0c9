// Tests of batch renders: images named by titles, a broken set logged while the
// others render, the batch file's layout, a stopped batch that resumes to the
// same images, skipping existing images, and the sets of a shard.
#include "document/disk/batch_render.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <set>

#include "document/disk/render_checks.h"
#include "document/testing/render_sets.h"
#include "platform/thread.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt {
namespace {

namespace fs = std::filesystem;
using testing::DriveJob;
using testing::ReadFile;
using testing::TestLayer;
using testing::TestSet;

template <typename T>
T At(const std::string& bytes, std::size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

class BatchRender : public ::testing::Test {
 protected:
  void SetUp() override {
    MainThreadDispatcher().MakeCurrentThreadMain();
    sets_ = TestSet("Plain", "Plain", 200, 100, {TestLayer("A", "linear", "-0.5/0")}) +
            TestSet("Asking", "What: why?", 100, 100, {TestLayer("B", "linear", "-0.6/0")}) +
            "Broken {\nfractal:\n  width=10 height=10 numlayers=2\n" +
            TestLayer("C", "linear", "0/0") + "}\n\n" +
            TestSet("Last", "", 100, 200, {TestLayer("D", "linear", "-0.7/0")});
    file_ = dir_.Write("sets.zpr", sets_).string();
  }

  TBatchSettings Settings(const std::string& folder) const {
    TBatchSettings settings;
    settings.ParameterFile = file_;
    settings.Folder = (dir_.path() / folder).string();
    fs::create_directories(settings.Folder);
    settings.Width = 100;
    settings.Height = 60;
    settings.Format = TImageFormat::kBMP;
    return settings;
  }

  std::string sets_;
  testing::TempDir dir_;
  std::string file_;
  TRenderOptions options_{2, 2};
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

TEST_F(BatchRender, RequiredSpaceCountsTheSetsAndTheirPhotoshopLayers) {
  TBatchSettings settings = Settings("space");
  EXPECT_EQ(BatchRequiredSpace(settings), RequiredSpace(100, 60, 4, 0));
  settings.Format = TImageFormat::kPSD;
  EXPECT_EQ(BatchRequiredSpace(settings), RequiredSpace(100, 60, 4, 5));  // Broken has two
  settings.ShardCount = 2;                                                // sets 1 and 3
  EXPECT_EQ(BatchRequiredSpace(settings), RequiredSpace(100, 60, 2, 3));
  settings.ParameterFile = (dir_.path() / "none.zpr").string();
  EXPECT_EQ(BatchRequiredSpace(settings), 0);
}

TEST_F(BatchRender, ABrokenSetIsLoggedAndTheOthersRendered) {
  TBatchSettings settings = Settings("out");
  settings.OriginalAspect = true;
  auto batch = TBatchRender::Start(settings, options_);
  const std::string temporary = batch->TemporaryFile();
  EXPECT_EQ(temporary, (dir_.path() / "out" / "sets.zdr").string());
  ASSERT_TRUE(DriveJob(*batch));
  EXPECT_FALSE(fs::exists(temporary));

  // Titles make the names, ":" and "?" blanks; an empty title gives the set's
  // number. Heights follow each set's aspect ratio at width 100.
  const struct {
    const char* Name;
    std::int32_t Height;
  } images[] = {{"Plain.bmp", 50}, {"What  why .bmp", 100}, {"Image004.bmp", 200}};
  for (const auto& image : images) {
    const std::string bytes = ReadFile(dir_.path() / "out" / image.Name);
    ASSERT_GT(bytes.size(), 54u) << image.Name;
    EXPECT_EQ(At<std::int32_t>(bytes, 22), image.Height) << image.Name;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path() / "out"), fs::directory_iterator()),
            4);
  const std::string log = ReadFile(batch->LogFile());
  EXPECT_EQ(log.rfind("Error reading parameter set 'Broken': Invalid file format (line ", 0), 0u);
  EXPECT_EQ(log.substr(log.size() - 3), ").\n");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
  EXPECT_EQ(batch->FinalMessage(),
            "One or more errors occurred while rendering.\rRefer to the file '" + batch->LogFile() +
                "' for more information.");
}

TEST_F(BatchRender, AStoppedBatchResumesToTheSameImages) {
  TBatchSettings settings = Settings("whole");
  settings.Depth = 1;
  ASSERT_TRUE(DriveJob(*TBatchRender::Start(settings, options_)));

  settings.Folder = (dir_.path() / "stopped").string();
  fs::create_directories(settings.Folder);
  auto batch = TBatchRender::Start(settings, options_);
  const std::string temporary = batch->TemporaryFile();
  // Stopped while the second set calculates.
  EXPECT_FALSE(DriveJob(*batch, [&] { return batch->Figures().Image == 2 && batch->Waiting(); }));
  const std::string bytes = ReadFile(temporary);
  EXPECT_EQ(bytes.substr(0, 8), "ZT_BATCH");
  const std::int32_t head[] = {3, 4, 1, 100, 60};
  for (std::size_t i = 0; i < std::size(head); ++i)
    EXPECT_EQ(At<std::int32_t>(bytes, 8 + 4 * i), head[i]) << 8 + 4 * i;
  EXPECT_EQ(At<std::uint16_t>(bytes, 28), 0);
  // The source block: format, options, threshold, depth, shard, the file's text.
  const std::uint32_t source = At<std::uint32_t>(bytes, 32);
  EXPECT_EQ(bytes.substr(36, 6), std::string(6, '\0'));
  EXPECT_EQ(At<double>(bytes, 42), 0.3);
  EXPECT_EQ(At<std::int32_t>(bytes, 50), 1);
  EXPECT_EQ(At<std::int32_t>(bytes, 54), 0);
  EXPECT_EQ(At<std::int32_t>(bytes, 58), 1);
  EXPECT_EQ(bytes.substr(62, source - 26), ReadFile(file_));
  // The finished set keeps its head and text; the second set's render follows.
  const std::size_t slot = 36 + source;
  const std::uint32_t finished = At<std::uint32_t>(bytes, slot);
  EXPECT_EQ(bytes.substr(slot + 4, 8), "ZTRENDER");
  EXPECT_EQ(finished, 86 + At<std::uint32_t>(bytes, slot + 4 + 16));
  EXPECT_EQ(bytes.substr(slot + 8 + finished, 8), "ZTRENDER");

  auto resumed = OpenRenderFile(temporary, options_);
  ASSERT_TRUE(DriveJob(*resumed));
  for (const char* name : {"Plain.bmp", "What  why .bmp", "Image004.bmp"})
    EXPECT_EQ(ReadFile(dir_.path() / "stopped" / name), ReadFile(dir_.path() / "whole" / name))
        << name;
}

// The log written before a stop is kept when the resumed batch logs more.
TEST_F(BatchRender, AResumedBatchAddsToItsLog) {
  const auto broken = [](const char* name) {
    return std::string(name) + " {\nfractal:\n  width=10 height=10 numlayers=2\n}\n";
  };
  dir_.Write("sets.zpr",
             broken("Early") +
                 TestSet("Plain", "Plain", 200, 100, {TestLayer("A", "linear", "-0.5/0")}) +
                 broken("Late"));
  auto batch = TBatchRender::Start(Settings("out"), options_);
  EXPECT_FALSE(DriveJob(*batch, [&] { return batch->Figures().Image == 2 && batch->Waiting(); }));
  const std::string log = batch->LogFile(), temporary = batch->TemporaryFile();
  batch.reset();
  ASSERT_TRUE(fs::exists(log));
  auto resumed = TBatchRender::Resume(temporary, options_);
  ASSERT_TRUE(DriveJob(*resumed));
  const std::string lines = ReadFile(log);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;
  EXPECT_NE(resumed->FinalMessage(), "");
}

// A batch file cut anywhere before the set under way's render is refused; one cut
// before that render's magic is whole holds no render yet, so the set starts
// afresh. Damaged fields of the head and the source block are refused too.
TEST_F(BatchRender, ACutOrDamagedBatchFileIsRefused) {
  auto batch = TBatchRender::Start(Settings("cut"), options_);
  const std::string name = batch->TemporaryFile();
  EXPECT_FALSE(DriveJob(*batch, [&] { return batch->Figures().Image == 2 && batch->Waiting(); }));
  batch.reset();
  const std::string bytes = ReadFile(name);
  const std::size_t slot = 36 + At<std::uint32_t>(bytes, 32);
  const std::size_t under_way = slot + 4 + At<std::uint32_t>(bytes, slot);
  const std::string invalid = "Invalid disk render file '" + name + "'";
  // Every size around the parts' ends, every 11th in between.
  std::set<std::size_t> sizes;
  for (std::size_t size = 0; size < under_way; size += 11) sizes.insert(size);
  for (std::size_t end : {std::size_t{36}, slot, slot + 4, under_way, under_way + 4})
    for (std::size_t size = end - 4; size < end + 4; ++size) sizes.insert(size);
  for (std::size_t size : sizes) {
    dir_.Write("cut/sets.zdr", bytes.substr(0, size));
    const std::string message = testing::ErrorMessageOf([&] { OpenRenderFile(name, options_); });
    EXPECT_EQ(message, size >= under_way ? "" : invalid) << size;
  }

  const auto put = [](std::string damaged, std::size_t at, auto value) {
    std::memcpy(damaged.data() + at, &value, sizeof value);
    return damaged;
  };
  const std::string not_batch = "Invalid disk render file: " + name;
  const struct {
    std::string Bytes;
    const std::string& Message;
  } cases[] = {
      {put(bytes, 0, 'X'), not_batch},
      {put(bytes, 8, 2), not_batch},
      {put(bytes, 12, -1), invalid},
      {put(bytes, 12, 5), invalid},  // not the file's set count
      {put(bytes, 16, 5), invalid},
      {put(bytes, 20, 0), invalid},
      {put(bytes, 24, 100001), invalid},
      {put(bytes, 28, std::uint8_t{2}), invalid},
      {put(bytes, 32, std::uint32_t{1} << 30), invalid},
      {put(bytes, 36, std::uint8_t{5}), invalid},
      {put(bytes, 42, std::nan("")), invalid},
      {put(bytes, 50, 7), invalid},
      {put(bytes, 54, 1), invalid},
      {put(bytes, 58, 0), invalid},
      {put(bytes, slot, std::uint32_t{1} << 30), invalid},
  };
  for (const auto& c : cases) {
    dir_.Write("cut/sets.zdr", c.Bytes);
    EXPECT_EQ(testing::ErrorMessageOf([&] { OpenRenderFile(name, options_); }), c.Message)
        << &c - cases;
  }
}

TEST_F(BatchRender, ExistingImagesAreSkippedOnRequest) {
  TBatchSettings settings = Settings("out");
  dir_.Write("out/Plain.bmp", "kept");
  settings.SkipExisting = true;
  ASSERT_TRUE(DriveJob(*TBatchRender::Start(settings, options_)));
  EXPECT_EQ(ReadFile(dir_.path() / "out" / "Plain.bmp"), "kept");
  EXPECT_TRUE(fs::exists(dir_.path() / "out" / "Image004.bmp"));
}

TEST(BatchShards, EverySetBelongsToOneShard) {
  std::string text;
  for (const char* name : {"A", "B", "comment", "C", "D", "E"})
    text += std::string(name) + " {\n}\n";
  const struct {
    int Index, Count;
    std::vector<int> Numbers;
  } cases[] = {{0, 1, {1, 2, 3, 4, 5}}, {0, 3, {1, 4}}, {1, 3, {2, 5}}, {2, 3, {3}}, {4, 5, {5}}};
  for (const auto& c : cases) {
    std::vector<int> numbers;
    for (const TBatchSet& set : ShardSets(text, c.Index, c.Count)) numbers.push_back(set.Number);
    EXPECT_EQ(numbers, c.Numbers) << c.Index << "/" << c.Count;
  }
}

}  // namespace
}  // namespace zt
