// Tests of single disk renders: the image equals the one rendered in memory,
// stops anywhere (inside a layer's calculation, inside an anti-aliasing pass,
// at random moments) resume to the same image, the file's bytes are laid out
// as described, all-hidden layers give black, and damaged files are refused
// with the specified messages.
#include "document/disk/disk_render.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <set>
#include <sstream>

#include "document/disk/render_checks.h"
#include "document/export/export_bmp.h"
#include "document/export/fractal_exporter.h"
#include "document/params/par_reader.h"
#include "document/testing/render_sets.h"
#include "platform/text.h"
#include "platform/thread.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt {
namespace {

namespace fs = std::filesystem;
using testing::DriveJob;
using testing::ReadFile;
using testing::RenderInMemory;
using testing::TestLayer;
using testing::TestSet;

// 3000 pixels wide: 17 rows a strip, so 40 rows make three strips, the last short.
constexpr int kWidth = 3000;
constexpr int kHeight = 40;

template <typename T>
T At(const std::string& bytes, std::size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

class DiskRender : public ::testing::Test {
 protected:
  void SetUp() override { MainThreadDispatcher().MakeCurrentThreadMain(); }

  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }

  TRenderSettings Settings(const std::string& name, int depth = 0) const {
    TRenderSettings settings;
    settings.Destination = Path(name);
    settings.Width = kWidth;
    settings.Height = kHeight;
    settings.Depth = depth;
    settings.Threshold = 0.2;
    settings.Format = EndsWithText(name, ".psd") ? TImageFormat::kPSD : TImageFormat::kBMP;
    return settings;
  }

  // Renders `text` uninterrupted and returns the image's bytes.
  std::string Uninterrupted(const std::string& text, const TRenderSettings& settings) {
    auto render = TDiskRender::Start(settings, text, options_);
    EXPECT_TRUE(DriveJob(*render));
    EXPECT_FALSE(fs::exists(render->TemporaryFile()));
    return ReadFile(settings.Destination);
  }

  // Steps until the first layer is colored and its anti-aliasing pass runs.
  static void StepIntoAntiAliasing(TDiskRender& render) {
    while (!render.AntiAliasing()) {
      MainThreadDispatcher().WaitFor([&] { return !render.Waiting(); });
      render.Step();
    }
  }

  testing::TempDir dir_;
  TRenderOptions options_{2, 2};
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

const std::string kTwoLayers =
    TestSet("Two", "Two layers", kWidth, kHeight,
            {TestLayer("Top", "multipass", "-0.7/0.3", "mergemode=screen opacity=60"),
             TestLayer("Bottom", "linear", "-0.5/0")});

TEST_F(DiskRender, MatchesTheImageRenderedInMemory) {
  const std::string three = TestSet(
      "Three", "Three", kWidth, kHeight,
      {TestLayer("Glass", "linear", "-0.6/0.1", "inalpha=90 alpha=yes mergemode=overlay"),
       TestLayer("Hidden", "linear", "0/0", "visible=no"), TestLayer("Base", "", "-0.5/0")});
  const struct {
    const std::string& Text;
    const char* File;
  } cases[] = {{kTwoLayers, "two.bmp"}, {kTwoLayers, "two.psd"}, {three, "three.bmp"}};
  for (const auto& c : cases) {
    const std::string memory =
        RenderInMemory(c.Text, dir_.path() / ("memory-" + std::string(c.File)));
    EXPECT_EQ(Uninterrupted(c.Text, Settings(c.File)), memory) << c.File;
  }
  EXPECT_TRUE(ui_.Records().empty());
}

// Stops inside the first layer's calculation and inside its anti-aliasing pass
// are made deterministically (by stepping); the rest come at random moments.
TEST_F(DiskRender, StopsAnywhereResumeToTheSameImage) {
  const TRenderSettings settings = Settings("stopped.psd", 1);
  const std::string expected = Uninterrupted(kTwoLayers, settings);
  const std::string temporary = TemporaryFileFor(settings.Destination);
  const auto head = [&] { return ReadFile(temporary).substr(0, kRenderHeadSize); };

  auto render = TDiskRender::Start(settings, kTwoLayers, options_);
  render->Step();  // the bottom layer of strip 0 calculates
  render->Cancel();
  EXPECT_EQ(At<std::int32_t>(head(), 32), 0);  // layer marker: the bottom layer
  EXPECT_EQ(At<std::int32_t>(head(), 60), 0);
  render = TDiskRender::Resume(temporary, options_);
  StepIntoAntiAliasing(*render);
  render->Cancel();
  EXPECT_EQ(At<std::int32_t>(head(), 60), 1);

  // Ten more stops at random moments, then to the end.
  std::mt19937 random(12);
  std::uniform_int_distribution<int> delay(1, 40);
  for (int stops = 0;; ++stops) {
    const double elapsed = At<double>(head(), 70);
    auto resumed = OpenRenderFile(temporary, options_);
    EXPECT_GE(resumed->Figures().Elapsed, elapsed);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(delay(random));
    if (DriveJob(*resumed, [&] { return stops < 10 && std::chrono::steady_clock::now() >= until; }))
      break;
  }
  EXPECT_EQ(ReadFile(settings.Destination), expected);
}

// The shipped Classic Mandelbrot anti-aliased: pixels whose four corners are
// one color keep it, and the others take colors between their neighbours'
// (all but the few where detail finer than a pixel shows colors that no
// neighbour has).
TEST_F(DiskRender, AntiAliasedEdgesLieBetweenTheirNeighbours) {
  const TParameterSet set = ReadParameterSet(
      (testing::SourceDir() / "data" / "Examples.zpr").string(), "ClassicMandelbrot");
  TRenderSettings settings = Settings("plain.bmp");
  settings.Width = 160;
  settings.Height = 120;
  ASSERT_TRUE(DriveJob(*TDiskRender::Start(settings, set.Text, options_)));
  const std::string plain = ReadFile(settings.Destination);
  settings.Destination = Path("smooth.bmp");
  settings.Depth = 1;
  settings.Threshold = 0.3;
  ASSERT_TRUE(DriveJob(*TDiskRender::Start(settings, set.Text, options_)));
  const std::string smooth = ReadFile(settings.Destination);

  // BMP rows stand bottom up, 480 bytes each.
  const auto channel = [](const std::string& image, int x, int y, int c) {
    return static_cast<std::uint8_t>(image[54 + (119 - y) * 480 + 3 * x + c]);
  };
  int edges = 0, between = 0;
  for (int y = 1; y < 118; ++y) {
    for (int x = 1; x < 158; ++x) {
      bool alike = true, inside = true;
      for (int c = 0; c < 3; ++c) {
        const int own = channel(plain, x, y, c);
        int low = 255, high = 0;
        for (int j = -1; j <= 2; ++j)
          for (int i = -1; i <= 2; ++i) {
            const int v = channel(plain, x + i, y + j, c);
            if (i >= 0 && i <= 1 && j >= 0 && j <= 1 && v != own) alike = false;
            low = std::min(low, v);
            high = std::max(high, v);
          }
        const int mixed = channel(smooth, x, y, c);
        inside = inside && mixed >= low && mixed <= high;
      }
      if (alike) {
        for (int c = 0; c < 3; ++c) ASSERT_EQ(channel(smooth, x, y, c), channel(plain, x, y, c));
        continue;
      }
      ++edges;
      between += inside ? 1 : 0;
    }
  }
  EXPECT_GT(edges, 1000);
  EXPECT_GE(between, edges * 99 / 100) << between << " of " << edges;
}

std::set<std::string> ThreadIds() {
  std::set<std::string> ids;
  for (const auto& task : fs::directory_iterator("/proc/self/task"))
    ids.insert(task.path().filename());
  return ids;
}

// The nice values of the process's threads now, but for the threads in
// `others` (threads that end meanwhile are left out).
std::set<int> ThreadNiceValues(const std::set<std::string>& others) {
  std::set<int> values;
  for (const auto& task : fs::directory_iterator("/proc/self/task")) {
    if (others.count(task.path().filename()) != 0) continue;
    std::string stat;
    try {
      std::ifstream in(task.path() / "stat");
      stat.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
      continue;  // the thread ended while it was listed
    }
    const auto close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    // From the state (field 3) to the nice value (field 19).
    for (int i = 3; i <= 19 && fields >> field; ++i)
      if (i == 19) values.insert(std::stoi(field));
  }
  return values;
}

TEST_F(DiskRender, APriorityReachesTheRunningCalculation) {
  // The test's own threads keep the nice value the process was started with.
  const std::set<std::string> test_threads = ThreadIds();
  auto render = TDiskRender::Start(Settings("priority.bmp", 1), kTwoLayers, options_);
  bool lowered = false;
  // A thread that has just finished its piece may keep the old value until it
  // ends, so a later look must find the calculation at the new value only.
  bool settled = false;
  EXPECT_TRUE(DriveJob(*render, [&] {
    const std::set<int> seen = ThreadNiceValues(test_threads);
    if (lowered && seen.count(19) != 0 && seen.count(10) == 0) settled = true;
    if (!lowered && seen.count(10) != 0) {  // priority 2 runs at nice 10
      render->SetPriority(1);
      lowered = true;
    }
    return false;
  }));
  ASSERT_TRUE(lowered);
  EXPECT_TRUE(settled);
}

// An image that cannot be written ends the render with the disk-full message
// and keeps the temporary file, from which the render finishes later.
TEST_F(DiskRender, AnImageThatCannotBeWrittenKeepsTheRender) {
  const TRenderSettings settings = Settings("blocked.bmp");
  fs::create_directory(settings.Destination);
  auto render = TDiskRender::Start(settings, kTwoLayers, options_);
  EXPECT_EQ(
      testing::ErrorMessageOf([&] { DriveJob(*render); }),
      "Error rendering '" + settings.Destination + "'. Probably the destination disk is full");
  render.reset();
  fs::remove(settings.Destination);
  ASSERT_TRUE(DriveJob(*OpenRenderFile(TemporaryFileFor(settings.Destination), options_)));
  EXPECT_EQ(ReadFile(settings.Destination),
            RenderInMemory(kTwoLayers, dir_.path() / "blocked-memory.bmp"));
}

TEST_F(DiskRender, AllLayersHiddenGiveBlackWithoutCalculating) {
  const std::string hidden = TestSet("Hidden", "Hidden", kWidth, kHeight,
                                     {TestLayer("A", "linear", "0/0", "visible=no"),
                                      TestLayer("B", "linear", "0/0", "visible=no")});
  const TRenderSettings settings = Settings("black.bmp");
  auto render = TDiskRender::Start(settings, hidden, options_);
  EXPECT_EQ(render->Head().Layers, 0);
  ASSERT_TRUE(DriveJob(*render));
  const std::string image = ReadFile(settings.Destination);
  ASSERT_EQ(image.size(), 54u + 3u * kWidth * kHeight);
  EXPECT_EQ(image.find_first_not_of('\0', 54), std::string::npos);
  // A Photoshop file without layers to list is written without its layer section.
  render = TDiskRender::Start(Settings("black.psd"), hidden, options_);
  EXPECT_FALSE(render->Head().Options.PSDLayers);
}

// Strip 0 of a Photoshop render with layers, and the overlap rows behind it,
// against the layers and the merged image of the same set in memory.
TEST_F(DiskRender, HeadStripsAndOverlapRowsAreLaidOutExactly) {
  TRenderSettings settings = Settings("layout.psd");
  auto render = TDiskRender::Start(settings, kTwoLayers, options_);
  const std::string temporary = render->TemporaryFile();
  // Stepped until strip 0 is finished, then stopped before strip 1 starts.
  while (At<std::int32_t>(ReadFile(temporary), 28) < 0) {
    render->Step();
    MainThreadDispatcher().WaitFor([&] { return !render->Waiting(); });
  }
  render->Cancel();
  const std::string bytes = ReadFile(temporary);
  render.reset();

  TRenderDocument document(kTwoLayers);
  const std::string text = document.ParameterText(kWidth, kHeight);
  EXPECT_EQ(bytes.substr(0, 8), "ZTRENDER");
  const std::int32_t fields[] = {
      1,       86, std::int32_t(text.size()), 86 + std::int32_t(text.size()), 17, 0, -1, kWidth,
      kHeight, 2};
  for (std::size_t i = 0; i < std::size(fields); ++i)
    EXPECT_EQ(At<std::int32_t>(bytes, 8 + 4 * i), fields[i]) << "field at " << 8 + 4 * i;
  EXPECT_EQ(At<double>(bytes, 48), 0.2);
  EXPECT_EQ(At<std::int32_t>(bytes, 56), 0);
  EXPECT_EQ(At<std::int32_t>(bytes, 60), 0);
  EXPECT_EQ(bytes.substr(64, 6), std::string("\1\1\0\0\0\0", 6));
  EXPECT_GT(At<double>(bytes, 70), 0);
  EXPECT_EQ(bytes.substr(86, text.size()), text);

  // The in-memory document's layer rows and merged rows.
  TFractal fractal("Memory");
  TParReader r;
  r.LoadFromText(kTwoLayers);
  fractal.LoadFromParameters(r, false);
  MainThreadDispatcher().WaitFor([&] { return !fractal.IsCalculating(); });
  TExportBMPImage unused(Path("unused.bmp"));
  TFractalExporter memory(fractal, unused);
  const std::size_t width = kWidth;
  const std::size_t data = 86 + text.size();
  const std::uint64_t resume = At<std::uint64_t>(bytes, 78);
  EXPECT_EQ(resume, data + 2 * 17 * width * (4 * 2 + 3));
  ASSERT_EQ(bytes.size(), resume + 2 * (width + 1) * 4);
  std::string row(width * 4, '\0');
  const auto layer_row = [&](int layer, int y) {
    memory.GetLayerRow(layer, y, reinterpret_cast<std::uint8_t*>(row.data()));
    return row;
  };
  for (int y = 0; y < 17; ++y) {
    // Blocks in calculation order: the bottom layer (list index 1) first.
    EXPECT_EQ(bytes.substr(data + y * width * 4, width * 4), layer_row(1, y)) << y;
    EXPECT_EQ(bytes.substr(data + (17 + y) * width * 4, width * 4), layer_row(0, y)) << y;
    std::string merged(width * 3, '\0');
    memory.GetRow(y, reinterpret_cast<std::uint8_t*>(merged.data()));
    EXPECT_EQ(bytes.substr(data + 34 * width * 4 + y * width * 3, width * 3), merged) << y;
  }
  // The overlap rows in list order: row 17, the first of the next strip.
  for (int layer = 0; layer < 2; ++layer)
    EXPECT_EQ(bytes.substr(resume + layer * (width + 1) * 4, width * 4), layer_row(layer, 17));
}

// Every way a render file can be cut short or damaged is refused with one of
// the three specified messages, and nothing is allocated for what a damaged
// head claims.
TEST_F(DiskRender, DamagedFilesAreRefusedWithTheirMessages) {
  // A render that has just begun: the head and the parameter text.
  const TRenderSettings settings = Settings("damaged.psd", 1);
  const std::string name = TemporaryFileFor(settings.Destination);
  TDiskRender::Start(settings, kTwoLayers, options_).reset();
  const std::string started = ReadFile(name);
  // One stopped inside a layer's calculation.
  auto render = TDiskRender::Start(settings, kTwoLayers, options_);
  render->Step();
  render->Cancel();
  const std::string calculating = ReadFile(name);
  // One stopped inside an anti-aliasing pass: all four kinds of resume data.
  render = TDiskRender::Start(settings, kTwoLayers, options_);
  StepIntoAntiAliasing(*render);
  render->Cancel();
  render.reset();
  const std::string stopped = ReadFile(name);

  const std::string invalid = "Invalid disk render file '" + name + "'";
  const std::string not_render = "Invalid disk render file: " + name;
  const std::string corrupted = "Disk render file is corrupted: " + name;
  const auto open = [&](const std::string& bytes) {
    dir_.Write("damaged.zdr", bytes);
    return testing::ErrorMessageOf([&] { OpenRenderFile(name, options_); });
  };
  // Cut ever shorter in place.
  const auto cut = [&](const std::string& bytes, std::vector<std::uint64_t> sizes) {
    std::sort(sizes.rbegin(), sizes.rend());
    dir_.Write("damaged.zdr", bytes);
    for (std::uint64_t size : sizes) {
      fs::resize_file(name, size);
      ASSERT_EQ(testing::ErrorMessageOf([&] { OpenRenderFile(name, options_); }), invalid) << size;
    }
  };
  std::vector<std::uint64_t> sizes(started.size());
  std::iota(sizes.begin(), sizes.end(), 0);
  cut(started, sizes);
  // The stopped file is too long to cut everywhere: every 61st byte and around
  // each part's end.
  const std::uint64_t resume = At<std::uint64_t>(stopped, 78);
  const std::uint64_t grid = std::uint64_t(kWidth + 1) * 18 * 4;
  const std::uint64_t overlap = std::uint64_t(kWidth + 1) * 2 * 4;
  const std::uint64_t store = std::uint64_t(kWidth + 1) * 18 * 2 + 1968;
  sizes.clear();
  for (std::uint64_t end : {resume, resume + grid, resume + grid + overlap,
                            resume + grid + overlap + store, resume + 2 * grid + overlap + store})
    for (std::uint64_t size : {end - 1, end, end + 1}) sizes.push_back(size);
  for (std::uint64_t size = started.size(); size < stopped.size(); size += 61)
    sizes.push_back(size);
  std::erase_if(sizes, [&](std::uint64_t size) { return size >= stopped.size(); });
  cut(stopped, sizes);
  EXPECT_EQ(open(stopped), "");

  const auto put = [](std::string bytes, std::size_t at, auto value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
    return bytes;
  };
  const struct {
    std::string Bytes;
    const std::string& Message;
  } cases[] = {
      {put(started, 0, 'X'), not_render},
      {put(started, 8, 2), not_render},
      {put(started, 12, 87), invalid},
      {put(started, 16, At<std::int32_t>(started, 16) - 1), invalid},
      {put(started, 24, 18), invalid},
      {put(started, 28, 3), invalid},
      {put(started, 32, 2), invalid},
      {put(started, 36, kWidth - 1), invalid},
      {put(started, 40, 100001), invalid},
      {put(started, 44, 1), corrupted},
      {put(started, 44, 1000000), invalid},
      {put(started, 48, std::nan("")), invalid},
      {put(started, 56, 7), invalid},
      {put(started, 60, 1), invalid},
      {put(started, 64, std::uint8_t{5}), invalid},
      {put(started, 65, std::uint8_t{2}), invalid},
      {put(started, 70, -1.0), invalid},
      {put(started, 78, std::uint64_t{5}), invalid},
      {put(started, 90, std::uint8_t{'{'}), invalid},
      {put(calculating, At<std::uint64_t>(calculating, 78) + grid + overlap + store - 1968 + 44,
           33),
       invalid},
      {put(stopped, resume + 2 * grid + overlap + store + 16, std::uint8_t{7}), invalid},
      {put(stopped, resume + 2 * grid + overlap + store, 5), invalid},
  };
  for (const auto& c : cases) EXPECT_EQ(open(c.Bytes), c.Message);
}

}  // namespace
}  // namespace zt
