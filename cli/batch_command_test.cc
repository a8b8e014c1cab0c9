// Tests of `zt batch`: usage errors, the checks, a shard, and a broken set's
// final message and exit status.
#include "cli/batch_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_test_util.h"
#include "platform/thread.h"
#include "platform/user_interface.h"
#include "testing/test_support.h"

namespace zt::testing {
namespace {

namespace fs = std::filesystem;

int Batch(int argc, char** argv, std::ostream& out, std::ostream& err) {
  return RunBatchCommand(argc, argv, out, err);
}
TRun RunBatch(std::vector<std::string> args) { return RunCommand(Batch, std::move(args)); }

class BatchCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainThreadDispatcher().MakeCurrentThreadMain();
    std::string text;
    for (const std::string name : {"One", "Two", "Three", "Four"})
      text += name + " {\nfractal:\n  title=\"" + name +
              "\" width=40 height=30 numlayers=1\n"
              "layer:\n  method=linear\nmapping:\n  center=-0.5/0 magn=1 angle=0\n"
              "formula:\n  filename=\"Standard.zfm\" entry=\"Mandelbrot\" maxiter=30\n}\n\n";
    sets_ = dir_.Write("sets.zpr", text).string();
  }
  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }

  TempDir dir_;
  std::string sets_;
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

TEST_F(BatchCommandTest, UsageErrors) {
  const struct {
    std::vector<std::string> Args;
    const char* Err;
  } cases[] = {
      {{"a.zpr"}, "zt batch: expected FILE.zpr and -d DIR\n"},
      {{"a.zpr", "b.zpr", "-d", "x"}, "zt batch: expected one parameter file, got 'b.zpr' too\n"},
      {{"a.zpr", "-d", "x", "--format", "gif"},
       "zt batch: --format needs png, bmp, jpg, tga or psd, got 'gif'\n"},
      {{"a.zpr", "-d", "x", "--shard", "3/3"},
       "zt batch: --shard needs I/N with 0 <= I < N, got '3/3'\n"},
      {{"a.zpr", "-d", "x", "--size", "9"},
       "zt batch: --size needs WIDTHxHEIGHT from 1 to 100000, got '9'\n"},
      {{"a.zpr", "-d"}, "zt batch: -d needs a value\n"},
      {{"a.zpr", "-d", "x", "--all"}, "zt batch: unknown option '--all'\n"},
  };
  for (const auto& c : cases) {
    const TRun run = RunBatch(c.Args);
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Err, std::string(c.Err) + "Run 'zt batch --help' for the options.\n");
  }
  EXPECT_EQ(RunBatch({"--help"}).Out.rfind("Usage: zt batch FILE.zpr -d DIR [OPTIONS]\n", 0), 0u);
}

TEST_F(BatchCommandTest, ChecksShardsAndTheFinalMessage) {
  TRun run = RunBatch({Path("none.zpr"), "-d", Path("out")});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err, "Parameter file does not exist.\nPlease specify a valid filename.\n");

  run = RunBatch({sets_, "-d", Path("out"), "--shard", "1/2", "--format", "bmp", "--aa", "0",
                  "--size", "40x30"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(fs::exists(Path("out/Two.bmp")));
  EXPECT_TRUE(fs::exists(Path("out/Four.bmp")));
  EXPECT_FALSE(fs::exists(Path("out/One.bmp")));

  run = RunBatch({sets_, "-d", Path("out")});
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err,
            "The destination folder already exists. If you proceed, \nexisting images in this "
            "folder may be overwritten.\n\nDo you want to proceed?\n(--yes answers Yes)\n");

  std::string text = ReadFile(sets_);
  text.replace(text.find("numlayers=1"), 11, "numlayers=2");
  dir_.Write("sets.zpr", text);
  run = RunBatch({sets_, "-d", Path("out"), "--skip-existing", "--aa", "0", "--size", "40x30"});
  EXPECT_EQ(run.Status, 1);
  const std::string log = Path("out/sets.log");
  EXPECT_EQ(run.Err, "One or more errors occurred while rendering.\nRefer to the file '" + log +
                         "' for more information.\n");
  EXPECT_TRUE(fs::exists(Path("out/Three.png")));
}

}  // namespace
}  // namespace zt::testing
