// Tests of fractal files: exact head bytes, a full round trip of pixels,
// calculation states and time, an interrupted calculation that finishes after
// reopening, hostile and damaged input, and failed writes that keep the old file.
#include "document/fractal_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include "document/fractal_test_util.h"
#include "document/params/par_writer.h"
#include "document/settings/config_manager.h"
#include "platform/user_interface.h"

namespace zt {
namespace {

using testing::ErrorMessageOf;
using testing::TRecordingWindow;

std::uint32_t U32(const std::string& bytes, std::size_t at) {
  std::uint32_t value;
  std::memcpy(&value, bytes.data() + at, 4);
  return value;
}

void PutU32(std::string& bytes, std::size_t at, std::uint32_t value) {
  std::memcpy(bytes.data() + at, &value, 4);
}

// The parameter text names the formula file without its folder: the formula
// folder is the test's folder.
class FractalFile : public testing::FractalTest {
 protected:
  void SetUp() override {
    FractalTest::SetUp();
    ConfigManager().FormulaDirectory = dir_.path().string();
  }

  std::string PathOf(const std::string& name) const { return (dir_.path() / name).string(); }

  // A calculated two-layer document with non-default settings.
  std::unique_ptr<TFractal> Calculated(int width, int height) {
    auto fractal = NewFractal(width, height, "Mandel");
    // Changed inside the document's bracket: a calculating layer's mapping must
    // not change under its threads.
    fractal->BeginUpdate();
    fractal->AddLayer("Second").Mapping().SetMagnification(2);
    fractal->SetGamma(1.5);
    fractal->EndUpdate();
    Finish(*fractal);
    fractal->Timer().SetElapsed(0.125);
    return fractal;
  }

  std::unique_ptr<TFractal> Open(const std::string& path) {
    auto fractal = std::make_unique<TFractal>("Opened");
    ReadInto(*fractal, path);
    return fractal;
  }

  static void ReadInto(TFractal& target, const std::string& path) {
    TFractalReader reader(target, path);
    reader.Execute();
  }

  // Saves a small calculated document to `name` and returns the file's bytes.
  std::string SavedBytes(const std::string& name) {
    Calculated(6, 5)->SaveToFile(PathOf(name));
    return testing::ReadFile(PathOf(name));
  }

  static std::string Text(TFractal& fractal) {
    TParWriter w("Text");
    fractal.SaveToParameters(w, nullptr);
    return w.Text();
  }

  testing::TKeepValue<std::string> formulas_{ConfigManager().FormulaDirectory};
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

TEST_F(FractalFile, HeadTextStatesAndStreamsAreLaidOutExactly) {
  auto fractal = NewFractal(4, 3, "Mandel");
  Finish(*fractal);
  fractal->Timer().SetElapsed(0.5);
  const std::string path = PathOf("Small file.zfr");
  fractal->SaveToFile(path);
  const std::string bytes = testing::ReadFile(path);

  TParWriter w("Small_file");
  fractal->SaveToParameters(w, nullptr);
  const std::string text = w.Text();
  const std::uint32_t n = static_cast<std::uint32_t>(text.size());
  std::string head(64, '\0');
  head.replace(0, 12, "ZENTROPEFILE");
  head[12] = 2;
  const std::uint32_t fields[] = {64, n, 64 + n, 1968, 64 + n + 1968, 4, 3, 1};
  for (std::size_t i = 0; i < std::size(fields); ++i) PutU32(head, 16 + 4 * i, fields[i]);
  const double elapsed = 0.5;
  std::memcpy(head.data() + 48, &elapsed, 8);
  ASSERT_GT(bytes.size(), 64 + n + 1968);
  EXPECT_EQ(bytes.substr(0, 64), head);
  EXPECT_EQ(bytes.substr(64, n), text);

  std::string record(1968, '\0');
  const std::vector<std::uint8_t> state = fractal->CurrentLayer().SaveState();
  record.replace(0, state.size(), std::string(state.begin(), state.end()));
  EXPECT_EQ(bytes.substr(64 + n, 1968), record);

  // One level-9 stream of the 12 pixels, as compress2 makes it.
  const std::vector<std::uint16_t> pixels = Pixels(fractal->CurrentLayer());
  std::vector<Bytef> stream(compressBound(24));
  uLongf size = stream.size();
  compress2(stream.data(), &size, reinterpret_cast<const Bytef*>(pixels.data()), 24, 9);
  EXPECT_EQ(bytes.substr(64 + n + 1968), std::string(stream.begin(), stream.begin() + size));
}

// The entry name comes from the file name; characters that the entry header
// reads specially must not reach it.
TEST_F(FractalFile, FileNamesWithHeaderCharactersOpenAgain) {
  for (const char* name : {"a;b.zfr", "x{y}z.zfr", "f(1) g.zfr", "tab\there.zfr", ";.zfr"}) {
    NewFractal(3, 2, "")->SaveToFile(PathOf(name));
    EXPECT_NO_THROW(Open(PathOf(name))) << name;
  }
}

TEST_F(FractalFile, ARoundTripKeepsPixelsStatesAndTime) {
  auto saved = Calculated(40, 30);
  const std::string path = PathOf("Round trip.zfr");
  TRecordingWindow window;
  TProgressWindowGuard window_guard(window);
  saved->SaveAs(path);
  EXPECT_EQ(saved->Title(), "Round trip");
  EXPECT_FALSE(saved->Modified());

  TFractal opened("Opened");
  opened.LoadFromFile(path);
  EXPECT_EQ(opened.FileName(), path);
  EXPECT_EQ(opened.Title(), "Round trip");
  EXPECT_FALSE(opened.Modified());
  EXPECT_EQ(opened.Timer().Elapsed(), 0.125);
  EXPECT_EQ(Text(opened), Text(*saved));
  ASSERT_EQ(opened.Layers().Count(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Pixels(opened.Layers()[i]), Pixels(saved->Layers()[i])) << i;
    EXPECT_EQ(opened.Layers()[i].SaveState(), saved->Layers()[i].SaveState()) << i;
    EXPECT_EQ(opened.Layers()[i].State(), kLayerIdle);
  }
  EXPECT_FALSE(opened.IsCalculating());
  EXPECT_EQ(window.Shown, (std::vector<std::string>{"Saving fractal file:" + path,
                                                    "Opening fractal file:" + path}));
  EXPECT_EQ(window.Seen.back(), 1.0);
}

TEST_F(FractalFile, AnInterruptedLayerFinishesAfterReopeningAsIfNeverStopped) {
  auto fresh = NewFractal(160, 120, "Mandel");
  fresh->CurrentLayer().Formula().SetMaxIterations(3000);
  Finish(*fresh);

  auto stopped = NewFractal(160, 120, "Mandel");
  TLayer& layer = stopped->CurrentLayer();
  layer.Formula().SetMaxIterations(3000);
  MainThreadDispatcher().WaitFor([&] { return layer.Statistics().PixelsDone > 500; });
  layer.Stop();
  ASSERT_EQ(layer.State(), kLayerInterrupted);
  const std::string path = PathOf("half.zfr");
  stopped->SaveToFile(path);
  EXPECT_EQ(layer.State(), kLayerInterrupted);

  auto opened = Open(path);
  EXPECT_TRUE(opened->IsCalculating() || opened->CurrentLayer().State() == kLayerIdle);
  Finish(*opened);
  EXPECT_EQ(opened->CurrentLayer().State(), kLayerIdle);
  EXPECT_EQ(Pixels(opened->CurrentLayer()), Pixels(fresh->CurrentLayer()));
}

TEST_F(FractalFile, AWriterResumesTheLayersItStopped) {
  auto fractal = NewFractal(16, 12, "Endless");
  ASSERT_EQ(fractal->CurrentLayer().State(), kLayerCalculating);
  fractal->SaveToFile(PathOf("running.zfr"));
  EXPECT_EQ(fractal->CurrentLayer().State(), kLayerCalculating);
  auto opened = Open(PathOf("running.zfr"));
  EXPECT_EQ(opened->CurrentLayer().State(), kLayerCalculating);
}

// Every prefix of a valid file is refused with a specified message; any damaged
// byte of the head, of a state record's fields or of the pixel streams gives a
// readable document or one of the program's errors, never a crash or another
// exception. One target serves every read: a failed read leaves a usable document.
TEST_F(FractalFile, CutOrDamagedFilesAreReadOrRefused) {
  const std::string path = PathOf("whole.zfr");
  const std::string bytes = SavedBytes("whole.zfr");
  const std::string cut = PathOf("cut.zfr");
  const std::string corrupt = "Could not read '" + cut + "'. The file is corrupted";
  TFractal target("Target");
  dir_.Write("cut.zfr", bytes);
  for (std::size_t size = bytes.size(); size-- > 0;) {
    std::filesystem::resize_file(cut, size);
    const std::string message = ErrorMessageOf([&] { ReadInto(target, cut); });
    if (message != corrupt) {
      EXPECT_EQ(message.rfind("Error -", 0), 0u) << size << ": " << message;
    }
  }
  const std::size_t states = U32(bytes, 24);
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    if ((at >= 64 && at < states) || (at >= states + 108 && at < U32(bytes, 32))) continue;
    std::string damaged = bytes;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x5a);
    dir_.Write("cut.zfr", damaged);
    EXPECT_NO_THROW(ErrorMessageOf([&] { ReadInto(target, cut); })) << at;
  }
  EXPECT_NO_THROW(Open(path));
}

TEST_F(FractalFile, DamagedHeadsAreRefusedBeforeAnythingIsAllocated) {
  const std::string good = SavedBytes("good.zfr");
  const std::uint32_t text_length = U32(good, 20);
  struct TCase {
    const char* What;
    std::size_t At;
    std::uint32_t Value;
  } cases[] = {
      {"wrong magic", 0, 0x4e455a5a},
      {"layer count differs from the text", 44, 3},
      {"width differs from the text", 36, 7},
      {"a huge image", 36, 30000},
      {"text beyond the end", 20, text_length + 100000},
      {"pixels beyond the end", 32, 0x7fffffff},
      {"states beyond the end", 24, 0x7fffff00},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    std::string bytes = good;
    PutU32(bytes, c.At, c.Value);
    if (c.At == 36 && c.Value == 30000) PutU32(bytes, 40, 30000);
    const std::string bad = dir_.Write("bad.zfr", bytes).string();
    TFractal target("Target");
    EXPECT_EQ(ErrorMessageOf([&] { ReadInto(target, bad); }),
              "Could not read '" + bad + "'. The file is corrupted");
  }
}

TEST_F(FractalFile, WithoutStateRecordsThePixelsOpenAndTheLayersStartAfresh) {
  auto fractal = Calculated(6, 5);
  const std::string path = PathOf("nostate.zfr");
  fractal->SaveToFile(path);
  std::string bytes = testing::ReadFile(path);
  PutU32(bytes, 28, 0);
  dir_.Write("nostate.zfr", bytes);
  auto opened = Open(path);
  Finish(*opened);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(Pixels(opened->Layers()[i]), Pixels(fractal->Layers()[i]));
}

TEST_F(FractalFile, AFailedWriteKeepsTheOldFile) {
  auto fractal = Calculated(64, 48);
  const std::string path = PathOf("keep.zfr");
  const std::string old = "old contents";
  const std::function<void(TAtomicOutputFile&)> sabotages[] = {
      [](TAtomicOutputFile& f) { f.FailWrite(1); },
      [](TAtomicOutputFile& f) { ASSERT_TRUE(f.DivertToDevFull()); },
  };
  for (const auto& sabotage : sabotages) {
    dir_.Write("keep.zfr", old);
    TFractalWriter writer(*fractal, path);
    writer.OnOutputCreated = sabotage;
    EXPECT_EQ(ErrorMessageOf([&] { writer.Execute(); }),
              "Error writing '" + path + "'. Probably the destination disk is full");
    EXPECT_EQ(testing::ReadFile(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 2);
  }
  EXPECT_EQ(ErrorMessageOf([&] { fractal->SaveToFile(PathOf("missing/x.zfr")); }),
            "Could not create '" + PathOf("missing/x.zfr") + "'");
}

TEST_F(FractalFile, AFailedOpenNamesTheFileAndKeepsTheDocumentsName) {
  TFractal fractal("Kept");
  fractal.SetModified(true);
  const std::string missing = PathOf("none.zfr");
  EXPECT_EQ(ErrorMessageOf([&] { fractal.LoadFromFile(missing); }),
            "Error opening '" + missing + "'");
  ASSERT_EQ(ui_.Records().size(), 1u);
  EXPECT_EQ(ui_.Records()[0].Text, "Could not open '" + missing + "'");
  EXPECT_EQ(fractal.Title(), "Kept");
  EXPECT_TRUE(fractal.Modified());
  EXPECT_EQ(ErrorMessageOf([&] { Open(dir_.path().string()); }),
            "Could not open '" + dir_.path().string() + "'");
}

TEST(ZlibCheck, AMismatchEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // the process has threads already
  CheckZlibVersion();
  CheckZlibVersion("1.2.13", "1.2.13");
  EXPECT_EXIT(CheckZlibVersion("1.2.11", "1.2.13"), ::testing::ExitedWithCode(1),
              "The ZLIB.DLL file is corrupted. Please reinstall Zentrope.");
}

}  // namespace
}  // namespace zt
