// Tests of `zt render` and `zt info`: usage errors, every output format from a
// tiny parameter set, Fractint parameter entries, failing destinations that
// leave nothing behind, and a fractal file whose interrupted calculation is
// finished.
#include "cli/render_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_test_util.h"
#include "cli/info_command.h"
#include "document/fractal.h"
#include "document/fractal_params.h"
#include "platform/thread.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt::testing {
namespace {

namespace fs = std::filesystem;

int Render(int argc, char** argv, std::ostream& out, std::ostream& err) {
  return RunRenderCommand(argc, argv, out, err);
}
TRun RunRender(std::vector<std::string> args) { return RunCommand(Render, std::move(args)); }
TRun RunInfo(std::vector<std::string> args) { return RunCommand(RunInfoCommand, std::move(args)); }

// One single-layer Mandelbrot set; the collection files come from the program's folder.
std::string Set(const std::string& name, const std::string& size, const std::string& caption,
                const std::string& iteration) {
  return name + " {\nfractal:\n  title=\"" + name + "\" " + size +
         " numlayers=1\n"
         "layer:\n  caption=\"" +
         caption +
         "\" visible=yes alpha=no\n"
         "mapping:\n  center=-0.5/0 magn=1 angle=0\n"
         "formula:\n  filename=\"Standard.zfm\" entry=\"Mandelbrot\" " +
         iteration +
         "\n"
         "inside:\n  filename=\"Standard.zcl\" entry=\"Iterations\" transfer=none\n"
         "outside:\n  filename=\"Standard.zcl\" entry=\"Iterations\" transfer=linear\n}\n\n";
}

class RenderCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainThreadDispatcher().MakeCurrentThreadMain();
    sets_ = dir_.Write("sets.zpr",
                       Set("Tiny", "width=24 height=16", "Dots", "maxiter=40 percheck=normal") +
                           Set("Slow", "width=300 height=200", "Deep", "maxiter=3000 percheck=off"))
                .string();
  }
  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }

  TempDir dir_;
  std::string sets_;
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

TEST_F(RenderCommandTest, UsageErrors) {
  struct TCase {
    std::vector<std::string> Args;
    const char* Err;
  };
  const TCase cases[] = {
      {{}, "zt render: expected FILE and at most one ENTRY\n"},
      {{"a.zpr", "b", "c", "-o", "x.png"}, "zt render: expected FILE and at most one ENTRY\n"},
      {{"a.zpr"}, "zt render: no output file (-o OUT)\n"},
      {{"a.zpr", "-o"}, "zt render: -o needs a value\n"},
      {{"a.zpr", "-o", "x.gif"},
       "zt render: cannot tell the format of 'x.gif' (use .png .bmp .jpg .tga .psd or .zfr)\n"},
      {{"a.zpr", "-o", "x.png", "--size", "64"},
       "zt render: --size needs WIDTHxHEIGHT from 1 to 100000, got '64'\n"},
      {{"a.zpr", "-o", "x.png", "--size", "0x10"},
       "zt render: --size needs WIDTHxHEIGHT from 1 to 100000, got '0x10'\n"},
      {{"a.zpr", "-o", "x.png", "--threads", "17"},
       "zt render: --threads needs a number from 1 to 16, got '17'\n"},
      {{"a.zpr", "-o", "x.png", "--threads", "-2"},
       "zt render: --threads needs a number from 1 to 16, got '-2'\n"},
      {{"a.zpr", "-o", "x.png", "--fast"}, "zt render: unknown option '--fast'\n"},
      {{"a.zfr", "Entry", "-o", "x.png"},
       "zt render: a fractal file has no entries; leave ENTRY out\n"},
      {{"a.zpr", "-o", "x.png", "--aa", "7"},
       "zt render: --aa needs a depth from 0 to 6, got '7'\n"},
      {{"a.zpr", "-o", "x.png", "--aa-threshold", "3.5"},
       "zt render: --aa-threshold needs a number from 0 to 3, got '3.5'\n"},
      {{"a.zdr", "-o", "x.png"},
       "zt render: a render file continues as it was started; only --threads applies\n"},
  };
  for (const TCase& c : cases) {
    const TRun run = RunRender(c.Args);
    EXPECT_EQ(run.Status, 2) << c.Err;
    const bool after_parse = std::string(c.Err).find("leave ENTRY out") != std::string::npos;
    EXPECT_EQ(run.Err, after_parse
                           ? std::string(c.Err)
                           : std::string(c.Err) + "Run 'zt render --help' for the options.\n");
    EXPECT_EQ(run.Out, "");
  }
  const TRun help = RunRender({"x", "--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_EQ(help.Out.rfind("Usage: zt render FILE [ENTRY] -o OUT [OPTIONS]\n", 0), 0u);
}

TEST_F(RenderCommandTest, InputErrorsExitWithTwo) {
  const std::string missing = Path("none.zpr");
  TRun run = RunRender({missing, "-o", Path("x.png")});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "Could not open '" + missing + "'\n");
  run = RunRender({sets_, "Absent", "-o", Path("x.png")});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "Could not find the entry 'Absent' in '" + sets_ + "'\n");
  EXPECT_FALSE(fs::exists(Path("x.png")));
}

TEST_F(RenderCommandTest, EntriesThatCannotBeUsedWriteNothing) {
  dir_.Write("Broken.zfm", "Bad {\ninit:\n  z = #pixel +\nloop:\n  z = z * z\n}\n");
  const std::string broken = Path("Broken.zfm");
  const std::string set =
      "fractal:\n  width=8 height=8 numlayers=1\nlayer:\n  visible=yes alpha=no\n"
      "mapping:\n  center=0/0 magn=1 angle=0\nformula:\n  filename=\"" +
      broken + "\" entry=";
  const std::string sets = dir_.Write("bad.zpr", "Uncompiled {\n" + set +
                                                     "\"Bad\"\n}\n\n"
                                                     "Missing {\n" +
                                                     set + "\"Gone\"\n}\n")
                               .string();
  TRun run = RunRender({sets, "Uncompiled", "-o", Path("x.png")});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "Could not compile 'Bad' in '" + broken +
                         "' (line 3, column 15)\n"
                         "Run 'zt compile' on the files above for the compiler's messages\n");
  run = RunRender({sets, "Missing", "-o", Path("x.png")});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "Some entries of '" + sets + "' could not be found\n");
  EXPECT_FALSE(fs::exists(Path("x.png")));
}

TEST_F(RenderCommandTest, FractintParameterEntriesAreImported) {
  const std::string file =
      dir_.Write("old.par",
                 "Old { ; a Mandelbrot set\n  type=mandel center-mag=-0.5/0/1\n"
                 "  maxiter=50 colors=000<254>zzz\n}\n"
                 "Cloud { type=plasma }\n")
          .string();
  TRun run = RunRender({file, "Old", "-o", Path("old.png"), "--size", "16x12"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out, "Wrote " + Path("old.png") + " (16 x 12, 1 layer)\n");
  run = RunRender({file, "Cloud", "-o", Path("cloud.png")});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "Could not find the entry 'plasma' in 'Fractint.zfm'\nSome entries of '" +
                         file + "' could not be found\n");
  EXPECT_FALSE(fs::exists(Path("cloud.png")));
}

TEST_F(RenderCommandTest, EveryFormatIsWritten) {
  struct TCase {
    const char* Name;
    std::string Magic;
  };
  const TCase cases[] = {
      {"t.png", "\x89PNG\r\n\x1a\n"},      {"t.bmp", "BM"},   {"t.jpg", "\xFF\xD8\xFF"},
      {"t.JPEG", "\xFF\xD8\xFF"},          {"t.psd", "8BPS"}, {"t.zfr", "ZENTROPEFILE"},
      {"t.tga", std::string("\0\0\2", 3)},
  };
  for (const TCase& c : cases) {
    const TRun run = RunRender({sets_, "-o", Path(c.Name), "--threads", "2"});
    EXPECT_EQ(run.Status, 0) << c.Name << ": " << run.Err;
    EXPECT_EQ(run.Out, "Wrote " + Path(c.Name) + " (24 x 16, 1 layer)\n");
    EXPECT_EQ(ReadFile(Path(c.Name)).substr(0, c.Magic.size()), c.Magic) << c.Name;
  }
  const TRun sized = RunRender({sets_, "Tiny", "-o", Path("s.bmp"), "--size", "7x5"});
  EXPECT_EQ(sized.Status, 0) << sized.Err;
  EXPECT_EQ(ReadFile(Path("s.bmp")).size(), 54u + 5 * 24);
}

TEST_F(RenderCommandTest, FailingDestinationLeavesNothingBehind) {
  const std::string missing = Path("no/such/t.png");
  TRun run = RunRender({sets_, "-o", missing});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "Could not create '" + missing + "'\n");
  EXPECT_FALSE(fs::exists(Path("no")));
  // A full disk: the destination is a link to /dev/full.
  if (fs::is_character_file("/dev/full")) {
    fs::create_symlink("/dev/full", Path("full.bmp"));
    run = RunRender({sets_, "-o", Path("full.bmp")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err,
              "Error writing '" + Path("full.bmp") + "'. Probably the destination disk is full\n");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
  }
  for (const auto& entry : fs::directory_iterator(dir_.path()))
    EXPECT_TRUE(entry.path().filename() == "sets.zpr" || entry.path().filename() == "full.bmp")
        << "left behind: " << entry.path();
}

// One linear layer: the disk render's image equals the in-memory one to the byte.
TEST_F(RenderCommandTest, DiskRendersWriteTheImageOfMemory) {
  const std::string sets =
      dir_.Write("linear.zpr",
                 Set("Line", "width=640 height=60", "Dots", "maxiter=40 percheck=off") + "")
          .string();
  std::string text = ReadFile(sets);
  text.replace(text.find("visible=yes"), 11, "method=linear visible=yes");
  dir_.Write("linear.zpr", text);
  TRun run = RunRender({sets, "-o", Path("memory.bmp"), "--aa", "0"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  run = RunRender({sets, "-o", Path("disk.bmp"), "--disk", "--aa", "0"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out, "Wrote " + Path("disk.bmp") + " (640 x 60)\n");
  EXPECT_EQ(ReadFile(Path("disk.bmp")), ReadFile(Path("memory.bmp")));
  EXPECT_FALSE(fs::exists(Path("disk.zdr")));

  // Beyond the memory budget on its own, and with anti-aliasing.
  setenv("ZENTROPE_MEMORY_BUDGET", "0", 1);
  run = RunRender({sets, "-o", Path("budget.bmp")});
  unsetenv("ZENTROPE_MEMORY_BUDGET");
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Err,
            "zt render: a 640 x 60 image of 1 layer needs about 0.2 MB in memory, more than the "
            "budget of 0.0 MB: it is rendered strip by strip\n");
  EXPECT_EQ(ReadFile(Path("budget.bmp")), ReadFile(Path("memory.bmp")));
  run = RunRender({sets, "-o", Path("smooth.bmp"), "--aa", "1"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(ReadFile(Path("smooth.bmp")), ReadFile(Path("memory.bmp")));

  run = RunRender({sets, "-o", Path("x.zfr"), "--disk"});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(
      run.Err,
      "zt render: a disk render writes images (.png .bmp .jpg .tga .psd), not fractal files\n");
  dir_.Write("damaged.zdr", "ZTRENDER");
  run = RunRender({Path("damaged.zdr")});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "Invalid disk render file '" + Path("damaged.zdr") + "'\n");
}

// That the continued pixels equal an uninterrupted calculation's is the fractal
// file tests' business; here `zt info` tells the two files apart.
TEST_F(RenderCommandTest, InterruptedFractalFileIsCalculatedToTheEnd) {
  {
    TFractal fractal("Slow");
    LoadParameterFile(fractal, sets_, "Slow");
    for (int i = 0; i < fractal.Layers().Count(); ++i) fractal.Layers()[i].Stop();
    ASSERT_TRUE(fractal.IsPartlyCalculated());
    fractal.SaveToFile(Path("partial.zfr"));
  }
  TRun info = RunInfo({Path("partial.zfr")});
  EXPECT_EQ(info.Status, 0) << info.Err;
  EXPECT_NE(info.Out.find("Calculation: partly calculated\n"), std::string::npos) << info.Out;

  TRun run = RunRender({Path("partial.zfr"), "-o", Path("done.zfr")});
  ASSERT_EQ(run.Status, 0) << run.Err;
  info = RunInfo({Path("done.zfr")});
  EXPECT_EQ(info.Status, 0);
  const std::string fixed =
      "Title: done\n"  // a loaded file is titled by its name
      "Size: 300 x 200\n"
      "Layers: 1\n"
      "  1. \"Deep\": formula Mandelbrot (Standard.zfm), calculated\n"
      "Calculation: complete\n"
      "Elapsed time: ";
  EXPECT_EQ(info.Out.substr(0, fixed.size()), fixed);
  EXPECT_EQ(info.Out.back(), '\n');
}

TEST_F(RenderCommandTest, InfoUsageAndFileErrors) {
  EXPECT_EQ(RunInfo({}).Status, 2);
  TRun run = RunInfo({"a.zfr", "b.zfr"});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err.rfind("zt info: unexpected argument 'b.zfr'\n", 0), 0u) << run.Err;
  const std::string missing = Path("none.zfr");
  run = RunInfo({missing});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "Error opening '" + missing + "'\n");
  run = RunInfo({sets_});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err,
            "zt info: '" + sets_ + "' is not a fractal file; zt info reads fractal files (.zfr)\n");
  EXPECT_EQ(RunInfo({"--help"}).Status, 0);
}

}  // namespace
}  // namespace zt::testing
