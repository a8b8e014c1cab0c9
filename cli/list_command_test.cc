// Tests of `zt list`: names and titles of each kind of file, pinned, and the
// exit status of usage and file errors.
#include "cli/list_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_test_util.h"
#include "testing/test_support.h"

namespace zt::testing {
namespace {

TRun RunList(std::vector<std::string> args) { return RunCommand(RunListCommand, std::move(args)); }

TEST(ListCommandTest, ListsNamesAndTitlesOfEachKindOfFile) {
  TempDir dir;
  struct TCase {
    const char* Name;
    const char* Text;
    const char* Expected;
  };
  const TCase cases[] = {
      {"sets.zpr",
       "Spiral {\nfractal:\n  title=\"A spiral\" width=10\nlayer:\n  caption=\"x\"\n}\n"
       "NoTitle {\nfractal:\n  width=10\n}\n",
       "Spiral   A spiral\nNoTitle  NoTitle\n"},
      {"colors.ZGR", "Warm {\ngradient:\n  title=\"Warm colors\" smooth=yes\n}\n",
       "Warm  Warm colors\n"},
      {"masks.zal", "Fade {\nalpha:\n  title=\"Fade out\" numnodes=1\n}\n", "Fade  Fade out\n"},
      {"forms.zfm",
       "Quad {\nz = 0:\nz = z*z + #pixel\ndefault:\n  title = \"Quadratic\"\n}\n"
       "Bare { z = 0 }\n",
       "Quad  Quadratic\nBare  Bare\n"},
      // A parameter file's title lives in its fractal section, not a default one.
      {"other.zpr", "E {\ndefault:\n  title=\"wrong\"\n}\n", "E  E\n"},
      {"empty.zcl", "", ""},
      // Fractint parameter entries show the title they get when opened.
      {"old.par", "Big_spiral { ; a comment\n  reset type=mandel\n}\nx { }\n",
       "Big_spiral  Big spiral\nx           x\n"},
  };
  for (const TCase& c : cases) {
    const TRun run = RunList({dir.Write(c.Name, c.Text).string()});
    EXPECT_EQ(run.Status, 0) << c.Name;
    EXPECT_EQ(run.Out, c.Expected) << c.Name;
    EXPECT_EQ(run.Err, "") << c.Name;
  }
}

TEST(ListCommandTest, ShippedExamplesAreListed) {
  const TRun run = RunList({(SourceDir() / "data" / "Examples.zpr").string()});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out,
            "ClassicMandelbrot  Classic Mandelbrot\n"
            "SeahorseValley     Seahorse Valley\n"
            "JuliaKaleidoscope  Julia Kaleidoscope\n"
            "BurningShipSunset  Burning Ship Sunset\n"
            "NewtonCopper       Newton Copper\n"
            "PhoenixIce         Phoenix Ice\n"
            "ThreeLayerNova     Three Layer Nova\n");
}

TEST(ListCommandTest, UsageAndFileErrors) {
  TempDir dir;
  const std::string missing = (dir.path() / "none.zpr").string();
  struct TCase {
    std::vector<std::string> Args;
    int Status;
    std::string ErrStart;
  };
  const TCase cases[] = {
      {{}, 2, "Usage: zt list FILE\n"},
      {{"a.zpr", "b.zpr"}, 2, "Usage: zt list FILE\n"},
      {{"--all", "a.zpr"}, 2, "zt list: unknown option '--all'\n"},
      {{missing}, 2, "Could not open '" + missing + "'\n"},
      {{"fire.MAP"}, 2, "zt list: 'fire.MAP' is a MAP palette file, which holds no entries\n"},
  };
  for (const TCase& c : cases) {
    const TRun run = RunList(c.Args);
    EXPECT_EQ(run.Status, c.Status) << run.Err;
    EXPECT_EQ(run.Err.rfind(c.ErrStart, 0), 0u) << run.Err;
    EXPECT_EQ(run.Out, "");
  }
  const TRun help = RunList({"--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_EQ(help.Out.rfind("Usage: zt list FILE\n", 0), 0u);
}

}  // namespace
}  // namespace zt::testing
